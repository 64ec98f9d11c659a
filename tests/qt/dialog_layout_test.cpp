// The dialogs build from their templates: every control as the widget of its class, showing what
// the framework holds for it, on screen inside its dialog, no two that take input overlapping.
#include <gtest/gtest.h>

#include <QProgressBar>

#include "framework/dialog_template.h"
#include "framework/window_styles.h"
#include "res/resource.h"
#include "tests/qt/gui_driver.h"
#include "ui/main_dialog.h"

namespace qt_test {
namespace {

const char* WidgetClassOf(const ControlTemplate& control) {
    const auto type = control.style & BS_TYPEMASK;
    return control.windowClass == kStaticClass     ? "QLabel"
           : control.windowClass == kEditClass     ? "QLineEdit"
           : control.windowClass == kComboBoxClass ? "QComboBox"
           : control.windowClass != kButtonClass   ? "QProgressBar"
           : type == BS_GROUPBOX                   ? "QGroupBox"
           : type == BS_AUTORADIOBUTTON            ? "QRadioButton"
                                                   : "QPushButton";
}

void ExpectBuiltFromTemplate(CDialog& dialog, UINT templateId) {
    const DialogTemplate* dialogTemplate = FindDialogTemplate(templateId);
    QWidget* window = Presenter().DialogWidget(templateId);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->windowTitle().toStdString(), dialogTemplate->caption);
    const std::vector<QWidget*> widgets = Presenter().ControlWidgets(templateId);
    ASSERT_EQ(widgets.size(), dialogTemplate->controls.size());
    std::vector<QRect> taken;  // of the shown controls that take input
    for (std::size_t i = 0; i < widgets.size(); ++i) {
        const ControlTemplate& control = dialogTemplate->controls[i];
        QWidget* widget = widgets[i];
        SCOPED_TRACE(testing::Message() << "control " << control.id << " \"" << control.caption);
        EXPECT_TRUE(widget->inherits(WidgetClassOf(control))) << widget->metaObject()->className();
        const char* shown = widget->inherits("QGroupBox") ? "title" : "text";
        if (widget->inherits("QLabel") || widget->inherits("QAbstractButton")) {
            EXPECT_EQ(widget->property(shown).toString().toStdString(), control.caption);
        }
        EXPECT_EQ(widget->isVisible(), (control.style & WS_VISIBLE) != 0);
        if (control.id != IDC_STATIC) {
            EXPECT_EQ(widget->isEnabled(), dialog.GetDlgItem(control.id)->IsWindowEnabled() != 0);
        }
        EXPECT_TRUE(window->rect().contains(widget->geometry())) << "clipped";
        if (widget->isVisible() && !widget->inherits("QLabel") && !widget->inherits("QGroupBox")) {
            for (const QRect& other : taken) {
                EXPECT_FALSE(other.intersects(widget->geometry())) << "overlaps another control";
            }
            taken.push_back(widget->geometry());
        }
    }
}

TEST(QtDialogLayout, BothDialogsShowEveryControlOfTheirTemplates) {
    CKaldoSensorSettingDlg main;
    RunWithScript(main, [&] {
        OnGui([&] { ExpectBuiltFromTemplate(main, IDD_KALDOSENSORSETTING_DIALOG); });
    });

    ProbeProgressDialog progress;
    RunWithScript(progress, [&] {
        OnGui([&] {
            ExpectBuiltFromTemplate(progress, IDD_SENSOR_PROGRESS);
            QWidget* window = Presenter().DialogWidget(IDD_SENSOR_PROGRESS);
            EXPECT_TRUE(window->windowFlags().testFlag(Qt::FramelessWindowHint));
            auto* bar = qobject_cast<QProgressBar*>(
                Presenter().ControlWidget(IDD_SENSOR_PROGRESS, IDC_PROGRESS_BAR));
            EXPECT_EQ(bar->maximum(), 500);
            EXPECT_EQ(bar->value(), 300);
        });
    });
}

}  // namespace
}  // namespace qt_test
