// Driving a dialog under the Windows presenter: the test's thread runs DoModal (it is the
// user-interface thread); a script on a second thread acts on the windows as a user would, and
// runs code on the user-interface thread while the framework's loop sleeps in the system's wait.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <type_traits>

#include "framework/dialog.h"
#include "tests/win32/screen.h"

namespace win32_test {

using namespace std::chrono_literals;

inline constexpr auto kPatience = 20s;

// Runs fn on the user-interface thread and waits; fails the test if that thread does not take it.
bool RunOnUi(const std::function<void()>& fn);

template <typename F>
auto OnUi(F fn) -> std::invoke_result_t<F> {
    using Result = std::invoke_result_t<F>;
    if constexpr (std::is_void_v<Result>) {
        RunOnUi(fn);
    } else {
        Result result{};
        RunOnUi([&] { result = fn(); });
        return result;
    }
}

// Re-checks cond on the user-interface thread until it holds or the patience runs out.
bool WaitOnUi(const std::function<bool()>& cond);

// Runs dialog.DoModal() here while script runs on its own thread once the dialog is shown; a
// dialog still open when the script returns is cancelled. Returns DoModal's result.
INT_PTR RunWithScript(CDialog& dialog, const std::function<void()>& script);
bool WaitUntilEnded();

// The dialog's control on screen (the dialog by its caption).
screen::Window Item(const std::string& caption, int id);
// Waits for a message box saying text, checks its caption if given, presses its OK button and
// waits for it to close.
bool Acknowledge(const std::string& text, const std::string& caption = {});

// The progress dialog with a ticking timer.
class ProbeProgressDialog : public CDialog {
public:
    ProbeProgressDialog();
    std::atomic<int> ticks{0};

protected:
    BOOL OnInitDialog() override;
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    DECLARE_MESSAGE_MAP()
};

}  // namespace win32_test
