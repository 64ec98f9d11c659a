// A user's actions, carried out on the window's own thread as Windows handles input: only a
// visible, enabled control of a visible, enabled dialog takes input; a modal dialog or message
// box disables its owner, so the owner's controls ignore clicks meanwhile.
#include <algorithm>

#include "framework/cwnd.h"
#include "framework/dialog_template.h"
#include "framework/message_queue.h"
#include "framework/presenter.h"
#include "framework/window_table.h"

namespace framework {
namespace {

bool TakesInput(const WindowData* w) {
    return w != nullptr && w->IsVisible() && w->IsEnabled();
}

void Notify(const WindowData& control, WORD code) {
    ::SendMessage(control.parent, WM_COMMAND, MAKELONG(static_cast<WORD>(control.id), code),
                  reinterpret_cast<LPARAM>(control.hwnd));
}

bool IsPushButton(const WindowData& w) {
    return w.windowClass == kButtonClass && (w.style & BS_TYPEMASK) <= BS_DEFPUSHBUTTON;
}

bool IsRadio(const WindowData& w) {
    return w.windowClass == kButtonClass && (w.style & BS_TYPEMASK) == BS_AUTORADIOBUTTON;
}

// An auto radio button checks itself and clears the others of its group.
void CheckInGroup(WindowData& radio) {
    WindowData* dialog = FindWindowData(radio.parent);
    const auto& siblings = dialog->children;
    auto self = std::find(siblings.begin(), siblings.end(), radio.hwnd);
    auto first = self;
    while (first != siblings.begin() && (FindWindowData(*first)->style & WS_GROUP) == 0) {
        --first;
    }
    for (auto it = first; it != siblings.end(); ++it) {
        WindowData* w = FindWindowData(*it);
        if (it != first && (w->style & WS_GROUP) != 0) {
            break;
        }
        if (IsRadio(*w)) {
            ::SendMessage(w->hwnd, BM_SETCHECK, w == &radio ? BST_CHECKED : BST_UNCHECKED, 0);
        }
    }
}

void Click(WindowData& control) {
    CWnd::FromHandle(control.hwnd)->SetFocus();
    if (IsRadio(control)) {
        CheckInGroup(control);
        Notify(control, BN_CLICKED);
    } else if (IsPushButton(control)) {
        Notify(control, BN_CLICKED);
    }
}

void SetText(WindowData& control, const std::string& text) {
    CWnd::FromHandle(control.hwnd)->SetFocus();
    if (control.windowClass == kEditClass) {
        const std::size_t limit = EditTypingLimit(control.limit, control.text.size());
        ::SendMessage(control.hwnd, WM_SETTEXT, 0,
                      reinterpret_cast<LPARAM>(text.substr(0, limit).c_str()));
        Notify(control, EN_CHANGE);
    } else if (control.windowClass == kComboBoxClass && (control.style & 0x3) != CBS_DROPDOWNLIST) {
        control.curSel = -1;
        ::SendMessage(control.hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
        Notify(control, CBN_EDITCHANGE);
    }
}

void SelectItem(WindowData& control, int index) {
    if (control.windowClass != kComboBoxClass || index < 0 ||
        index >= static_cast<int>(control.items.size())) {
        return;
    }
    CWnd::FromHandle(control.hwnd)->SetFocus();
    ::SendMessage(control.hwnd, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    Notify(control, CBN_SELCHANGE);
}

// Enter on a focused push button presses it; elsewhere it is the dialog's OK.
void Enter(WindowData& dialog) {
    for (HWND child : dialog.children) {
        WindowData* control = FindWindowData(child);
        if (control->focused && IsPushButton(*control) && TakesInput(control)) {
            Notify(*control, BN_CLICKED);
            return;
        }
    }
    ::SendMessage(dialog.hwnd, WM_COMMAND, IDOK, 0);
}

void CarryOut(const UserInput& input, WindowData& target) {
    const bool isDialog = (target.style & WS_CHILD) == 0;
    WindowData* dialog = isDialog ? &target : FindWindowData(target.parent);
    if (!TakesInput(dialog) || (!isDialog && !TakesInput(&target))) {
        return;
    }
    switch (input.kind) {
        case UserInput::Kind::Click:
            Click(target);
            break;
        case UserInput::Kind::Focus:
            CWnd::FromHandle(target.hwnd)->SetFocus();
            break;
        case UserInput::Kind::SetText:
            SetText(target, input.text);
            break;
        case UserInput::Kind::SelectItem:
            SelectItem(target, input.index);
            break;
        case UserInput::Kind::Enter:
            Enter(*dialog);
            break;
        case UserInput::Kind::Escape:
            ::SendMessage(dialog->hwnd, WM_COMMAND, IDCANCEL, 0);
            break;
        case UserInput::Kind::Close:
            ::SendMessage(dialog->hwnd, WM_CLOSE, 0, 0);
            break;
    }
}

}  // namespace

void ProcessUserInput(const UserInput& input) {
    WindowData* target = FindWindowData(input.hwnd);
    if (target == nullptr) {
        return;
    }
    const bool carriesValue =
        input.kind == UserInput::Kind::SetText || input.kind == UserInput::Kind::SelectItem;
    if (carriesValue) {
        ++target->inputsTaken;
    }
    CarryOut(input, *target);
    // Also when the value changed nothing or was refused: the view waits for the count.
    if (WindowData* after = FindWindowData(input.hwnd); after != nullptr && carriesValue) {
        PublishWindow(*after);
    }
}

}  // namespace framework
