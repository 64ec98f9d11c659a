#include "framework/user_agent.h"

#include "framework/window_styles.h"

namespace {
bool IsDialog(const WindowState& w) {
    return (w.style & WS_CHILD) == 0;
}
}  // namespace

std::optional<WindowState> UserAgent::Dialog(UINT dialogId) const {
    const auto windows = presenter_.Windows();
    // The latest one: a dialog opened again is a new window.
    for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
        if (IsDialog(*it) && it->templateId == dialogId) {
            return *it;
        }
    }
    return std::nullopt;
}

bool UserAgent::IsShown(UINT dialogId) const {
    auto dialog = Dialog(dialogId);
    return dialog && dialog->IsVisible();
}

std::optional<WindowState> UserAgent::Control(UINT dialogId, int controlId) const {
    auto dialog = Dialog(dialogId);
    if (!dialog) {
        return std::nullopt;
    }
    for (const auto& w : presenter_.Windows()) {
        if (w.parent == dialog->hwnd && (w.style & WS_CHILD) != 0 && w.id == controlId) {
            return w;
        }
    }
    return std::nullopt;
}

std::string UserAgent::Text(UINT dialogId, int controlId) const {
    auto control = Control(dialogId, controlId);
    return control ? control->text : std::string();
}

HWND UserAgent::DialogHandle(UINT dialogId) const {
    auto dialog = Dialog(dialogId);
    return dialog ? dialog->hwnd : nullptr;
}

HWND UserAgent::ControlHandle(UINT dialogId, int controlId) const {
    auto control = Control(dialogId, controlId);
    return control ? control->hwnd : nullptr;
}

void UserAgent::Post(UserInput::Kind kind, HWND hwnd, const std::string& text, int index) {
    if (hwnd != nullptr) {
        PostUserInput(UserInput{kind, hwnd, text, index});
    }
}

void UserAgent::Click(UINT dialogId, int controlId) {
    Post(UserInput::Kind::Click, ControlHandle(dialogId, controlId));
}

void UserAgent::Type(UINT dialogId, int controlId, const std::string& text) {
    Post(UserInput::Kind::SetText, ControlHandle(dialogId, controlId), text);
}

void UserAgent::Pick(UINT dialogId, int controlId, int index) {
    Post(UserInput::Kind::SelectItem, ControlHandle(dialogId, controlId), {}, index);
}

void UserAgent::PressEnter(UINT dialogId) {
    Post(UserInput::Kind::Enter, DialogHandle(dialogId));
}

void UserAgent::PressEscape(UINT dialogId) {
    Post(UserInput::Kind::Escape, DialogHandle(dialogId));
}

void UserAgent::CloseBox(UINT dialogId) {
    Post(UserInput::Kind::Close, DialogHandle(dialogId));
}

std::vector<std::string> UserAgent::BoxTexts() const {
    std::vector<std::string> texts;
    for (const auto& shown : presenter_.Boxes()) {
        texts.push_back(shown.box.text);
    }
    return texts;
}

std::optional<MessageBoxState> UserAgent::OpenMessageBox() const {
    const auto boxes = presenter_.Boxes();
    for (auto it = boxes.rbegin(); it != boxes.rend(); ++it) {
        if (it->open) {
            return it->box;
        }
    }
    return std::nullopt;
}

bool UserAgent::CloseMessageBox() {
    auto box = OpenMessageBox();
    return box && ::CloseMessageBox(box->id, IDOK);
}

bool UserAgent::WaitForMessageBox(std::chrono::milliseconds timeout) {
    return presenter_.WaitFor([this] { return OpenMessageBox().has_value(); }, timeout);
}
