#include "framework/qt/control_view.h"

#include "framework/dialog_template.h"
#include "framework/qt/control_kinds.h"
#include "framework/window_styles.h"

std::unique_ptr<ControlView> CreateControlView(const WindowState& state, QWidget* parent,
                                               const ImageSource& images) {
    const std::string& windowClass = state.windowClass;
    if (windowClass == kStaticClass) {
        return (state.style & SS_TYPEMASK) == SS_BITMAP ? MakePictureView(state, parent, images)
                                                        : MakeLabelView(parent);
    }
    if (windowClass == kButtonClass) {
        switch (state.style & BS_TYPEMASK) {
            case BS_GROUPBOX:
                return MakeGroupBoxView(parent);
            case BS_AUTORADIOBUTTON:
                return MakeRadioButtonView(state.hwnd, parent);
            default:
                return MakePushButtonView(state.hwnd, parent);
        }
    }
    if (windowClass == kEditClass) {
        return MakeEditView(state.hwnd, parent);
    }
    if (windowClass == kComboBoxClass) {
        return MakeComboBoxView(state, parent);
    }
    if (windowClass == kProgressClass) {
        return MakeProgressView(parent);
    }
    return nullptr;
}
