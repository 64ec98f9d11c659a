#include "framework/win32/win32_presenter.h"

#include "framework/image_resource.h"
#include "framework/message_queue.h"
#include "framework/win32/bridge.h"
#include "framework/window_styles.h"

namespace {

win32::Shown ShownOf(const WindowState& state) {
    win32::Shown shown;
    shown.key = state.hwnd;
    shown.parent = state.parent;
    shown.isDialog = state.IsDialog();
    shown.id = state.id;
    shown.windowClass = state.windowClass;
    shown.style = state.style;
    shown.exStyle = state.exStyle;
    shown.text = state.text;
    shown.checked = state.checked;
    shown.items = state.items;
    shown.curSel = state.curSel;
    // A USER32 edit keeps longer text the program sets by itself; the limit is for typing.
    shown.typingLimit = EditTypingLimit(state.limit, 0);
    shown.rangeMin = state.rangeMin;
    shown.rangeMax = state.rangeMax;
    shown.pos = state.pos;
    shown.barColored = state.barColor != CLR_DEFAULT;
    shown.barColor = state.barColor;
    shown.left = state.rect.left;
    shown.top = state.rect.top;
    shown.right = state.rect.right;
    shown.bottom = state.rect.bottom;
    shown.imageId = state.imageId;
    shown.fontFace = state.fontFace;
    shown.fontPointSize = state.fontPointSize;
    shown.focused = state.focused;
    shown.toolTip = state.toolTip;
    shown.inputsTaken = state.inputsTaken;
    return shown;
}

HWND HandleOf(win32::WindowKey key) {
    return static_cast<HWND>(const_cast<void*>(key));
}

}  // namespace

Win32Presenter::Win32Presenter() : uiThread_(std::this_thread::get_id()) {
    win32::StartScreen();
}

void Win32Presenter::WindowCreated(const WindowState& state) {
    win32::CreateShown(ShownOf(state));
}

void Win32Presenter::WindowChanged(const WindowState& state) {
    win32::ChangeShown(ShownOf(state));
}

void Win32Presenter::WindowDestroyed(HWND hwnd) {
    win32::DestroyShown(hwnd);
}

void Win32Presenter::MessageBoxOpened(const MessageBoxState& box) {
    const win32::ShownBox shown{box.id, box.owner, box.text, box.caption, box.type};
    win32::RunOnUiThread([shown] { win32::OpenBox(shown); });
}

void Win32Presenter::MessageBoxClosed(int boxId) {
    win32::RunOnUiThread([boxId] { win32::CloseBox(boxId); });
}

platform::Sleeper* Win32Presenter::SleeperForCurrentThread() {
    return std::this_thread::get_id() == uiThread_ ? &win32::UiSleeper() : nullptr;
}

namespace win32 {

void PostInput(Input input, WindowKey key, const std::string& text, int index) {
    static constexpr UserInput::Kind kKinds[] = {
        UserInput::Kind::Click, UserInput::Kind::SetText, UserInput::Kind::SelectItem,
        UserInput::Kind::Enter, UserInput::Kind::Escape,  UserInput::Kind::Close,
        UserInput::Kind::Focus};
    PostUserInput({kKinds[static_cast<int>(input)], HandleOf(key), text, index});
}

void BoxDone(int boxId) {
    ::CloseMessageBox(boxId, IDOK);
}

void ServeFramework() {
    MSG msg;
    while (::PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::DispatchMessage(&msg);
    }
}

std::span<const unsigned char> ImageBytes(int resourceId) {
    const auto bytes = FindImageResource(resourceId);
    return bytes ? *bytes : std::span<const unsigned char>();
}

}  // namespace win32
