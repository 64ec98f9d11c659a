// The kinds of control views, one maker per window class and style; CreateControlView picks.
#pragma once

#include "framework/qt/control_view.h"

class QLineEdit;

std::unique_ptr<ControlView> MakeLabelView(QWidget* parent);
std::unique_ptr<ControlView> MakePictureView(const WindowState& state, QWidget* parent,
                                             const ImageSource& images);
std::unique_ptr<ControlView> MakePushButtonView(HWND hwnd, QWidget* parent);
std::unique_ptr<ControlView> MakeRadioButtonView(HWND hwnd, QWidget* parent);
std::unique_ptr<ControlView> MakeGroupBoxView(QWidget* parent);
std::unique_ptr<ControlView> MakeEditView(HWND hwnd, QWidget* parent);
std::unique_ptr<ControlView> MakeComboBoxView(const WindowState& state, QWidget* parent);
std::unique_ptr<ControlView> MakeProgressView(QWidget* parent);

// Counts the inputs a view posts that carry a value its widget already shows (text, selection).
// Until the framework has taken all of them in, its state is older than the widget: showing it
// would drop keys the user has typed.
class PostedValues {
public:
    void Post(const UserInput& input) {
        ++posted_;
        PostUserInput(input);
    }
    bool Ahead(const WindowState& state) const { return posted_ != state.inputsTaken; }

private:
    unsigned posted_ = 0;
};

// Reports the user's edits of the line as SetText with the whole text, and shows its context
// menu without a nested event loop (the framework's loop must keep running meanwhile).
void ReportEdits(QLineEdit* line, HWND hwnd, PostedValues& values);
