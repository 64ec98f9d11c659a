// How the user-interface thread sleeps under the Windows presenter: in the system's message
// wait, so that while the framework's loop waits for its own messages, the thread's windows are
// served too. The framework's loop stays the one loop; the system's wait is only where it
// blocks. Other threads hand work to the sleeping thread through a queue and an event.
#include <algorithm>
#include <deque>
#include <mutex>
#include <thread>

#include "framework/win32/native_screen.h"

namespace win32 {
namespace {

std::thread::id g_uiThread;
HWND g_lastFocus = nullptr;      // the focus as last reported or given from the state
HWND g_reportedFocus = nullptr;  // reported, and not yet shown back in the framework's state

class UiThreadSleeper final : public platform::Sleeper {
public:
    UiThreadSleeper() : wake_(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}

    void Sleep(std::unique_lock<std::mutex>& lock,
               std::optional<platform::TimePoint> realDeadline) override {
        // Window procedures and posted tasks post input or close boxes, which take the hub lock.
        lock.unlock();
        EndSystemLoop();
        if (!RunPosted()) {
            MsgWaitForMultipleObjectsEx(1, &wake_, TimeoutTo(realDeadline), QS_ALLINPUT,
                                        MWMO_INPUTAVAILABLE);
            PumpWindows();
            RunPosted();
        }
        lock.lock();
    }

    // Any thread, with the hub lock held.
    void Wake() override { SetEvent(wake_); }

    void Post(std::function<void()> task) {
        {
            std::lock_guard lock(postedMutex_);
            posted_.push_back(std::move(task));
        }
        SetEvent(wake_);
    }

private:
    static DWORD TimeoutTo(std::optional<platform::TimePoint> deadline) {
        if (!deadline) {
            return INFINITE;
        }
        // Rounded up, so that the wait does not end just before the deadline and spin.
        const auto left =
            std::chrono::ceil<std::chrono::milliseconds>(*deadline - platform::SteadyClock::now());
        return static_cast<DWORD>(
            std::clamp<std::chrono::milliseconds::rep>(left.count(), 0, INFINITE - 1));
    }

    // Runs the tasks posted so far; false if there were none.
    bool RunPosted() {
        std::deque<std::function<void()>> tasks;
        {
            std::lock_guard lock(postedMutex_);
            tasks.swap(posted_);
        }
        for (auto& task : tasks) {
            task();
        }
        return !tasks.empty();
    }

    static void PumpWindows() {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            // Before the input that follows it: Enter goes to the push button focused first.
            ReportFocus();
            const HWND root = msg.hwnd != nullptr ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
            const bool dialogKey = root != nullptr && msg.message == WM_KEYDOWN &&
                                   (msg.wParam == VK_RETURN || msg.wParam == VK_ESCAPE);
            if (dialogKey && (TakeDialogKey(root, msg.wParam) || TakeBoxKey(root, msg.wParam))) {
                continue;
            }
            // Tab, the arrows in a group and mnemonics, as in a dialog.
            if (root != nullptr && IsDialogMessageW(root, &msg)) {
                continue;
            }
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        ReportFocus();
    }

    // Focus the user moved into a control is the framework's to know.
    static void ReportFocus() {
        const HWND focus = GetFocus();
        if (focus == g_lastFocus) {
            return;
        }
        g_lastFocus = focus;
        if (focus == nullptr) {
            return;
        }
        if (Dialog* dialog = DialogOfWindow(focus)) {
            if (Control* control = ControlOfWindow(*dialog, focus)) {
                g_reportedFocus = control->hwnd;
                PostInput(Input::Focus, control->key);
            }
        }
    }

    HANDLE wake_;
    std::mutex postedMutex_;
    std::deque<std::function<void()>> posted_;
};

UiThreadSleeper& Sleeper() {
    static UiThreadSleeper sleeper;
    return sleeper;
}

}  // namespace

void StartLoop() {
    g_uiThread = std::this_thread::get_id();
    Sleeper();
}

bool IsUiThread() {
    return std::this_thread::get_id() == g_uiThread;
}

platform::Sleeper& UiSleeper() {
    return Sleeper();
}

void RunOnUiThread(std::function<void()> task) {
    if (IsUiThread()) {
        task();
    } else {
        Sleeper().Post(std::move(task));
    }
}

void FocusFromState(HWND hwnd, bool moved) {
    if (g_reportedFocus == hwnd) {
        g_reportedFocus = nullptr;  // the framework has taken the user's move in
    }
    // A state from before the user's move must not pull the focus back.
    if (!moved || g_reportedFocus != nullptr || GetFocus() == hwnd || IsChild(hwnd, GetFocus())) {
        return;
    }
    SetFocus(hwnd);
    g_lastFocus = GetFocus();
}

}  // namespace win32
