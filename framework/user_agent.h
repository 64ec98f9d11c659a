// A user for tests: acts on the dialogs shown by the headless presenter and reads what they
// show. Dialogs are named by template id; actions are queued as input for the user-interface
// thread, which carries them out when it next takes input (let the system go idle to see the
// effect).
#pragma once

#include <optional>
#include <string>

#include "framework/headless_presenter.h"

class UserAgent {
public:
    explicit UserAgent(HeadlessPresenter& presenter) : presenter_(presenter) {}

    bool IsShown(UINT dialogId) const;
    std::optional<WindowState> Dialog(UINT dialogId) const;
    std::optional<WindowState> Control(UINT dialogId, int controlId) const;
    std::string Text(UINT dialogId, int controlId) const;

    void Click(UINT dialogId, int controlId);
    void Type(UINT dialogId, int controlId, const std::string& text);
    void Pick(UINT dialogId, int controlId, int index);
    void PressEnter(UINT dialogId);
    void PressEscape(UINT dialogId);
    void CloseBox(UINT dialogId);  // the dialog's close box

    std::vector<ShownMessageBox> Boxes() const { return presenter_.Boxes(); }
    std::vector<std::string> BoxTexts() const;
    std::optional<MessageBoxState> OpenMessageBox() const;  // the latest one still open
    // Presses OK on the latest open box; false if none is open.
    bool CloseMessageBox();
    bool WaitForMessageBox(std::chrono::milliseconds timeout = std::chrono::seconds(20));

private:
    void Post(UserInput::Kind kind, HWND hwnd, const std::string& text = {}, int index = -1);
    HWND DialogHandle(UINT dialogId) const;
    HWND ControlHandle(UINT dialogId, int controlId) const;

    HeadlessPresenter& presenter_;
};
