// A dialog on screen: a top-level widget with a client area that holds its controls' widgets,
// laid out in dialog units of the dialog's font. It shows the framework's state of the dialog
// and its controls, and reports the keys and the close box that act on the dialog as a whole.
#pragma once

#include <QWidget>
#include <memory>
#include <vector>

#include "framework/qt/control_view.h"
#include "framework/qt/dialog_units.h"

class DialogWindow final : public QWidget {
public:
    // owner: the owner's window, which this one stays above; null for a window of its own.
    DialogWindow(const WindowState& state, QWidget* owner);

    HWND Handle() const { return hwnd_; }
    UINT TemplateId() const { return templateId_; }
    DialogBaseUnits BaseUnits() const { return units_; }
    // Where the controls are: inside the border this window draws itself, if it has no caption.
    QWidget* ClientArea() const { return client_; }

    void Apply(const WindowState& state);
    // Controls come in template order, which is also their tab order.
    void AddControl(const WindowState& state, const ImageSource& images);
    void ApplyControl(const WindowState& state);
    void RemoveControl(HWND hwnd);

    // The control whose widget is `widget` or contains it; null if none.
    HWND ControlOf(const QWidget* widget) const;
    // The first control with the id; null if none.
    QWidget* ControlWidget(int id) const;
    std::vector<QWidget*> ControlWidgets() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    struct Control {
        HWND hwnd;
        int id;
        DWORD style;
        bool focused;
        std::unique_ptr<ControlView> view;
    };

    Control* Find(HWND hwnd);
    void Stack(const ControlView& view);
    // A disabled dialog (the owner of a modal dialog or box) takes no input but looks as
    // before, as on Windows; Qt's setEnabled(false) would grey out every control.
    void BlockInput(bool blocked);
    // Placed (centred on the owner or the screen) and given its first focus on the first showing.
    void Show();
    void FocusFirstTabStop();
    void Post(UserInput::Kind kind) const;

    HWND hwnd_;
    UINT templateId_;
    DialogBaseUnits units_;
    DWORD style_;
    DWORD exStyle_;
    int frameWidth_ = 0;  // the edges this window draws around its client area
    QWidget* client_;
    std::vector<Control> controls_;
    bool shownBefore_ = false;
    bool inputBlocked_ = false;
    const QWidget* focusingFromState_ = nullptr;
};
