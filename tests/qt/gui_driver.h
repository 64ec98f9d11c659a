// Driving a dialog under the Qt presenter: the test's thread owns the QApplication and runs
// DoModal; a script on a second thread runs code on the GUI thread while the framework's loop
// sleeps in Qt's dispatcher.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <type_traits>

#include <QString>

#include "framework/dialog.h"
#include "framework/qt/qt_presenter.h"

namespace qt_test {

using namespace std::chrono_literals;

inline constexpr auto kPatience = 10s;

QtPresenter& Presenter();

// Runs fn on the GUI thread and waits; fails the test if the GUI thread does not take it.
bool RunOnGui(const std::function<void()>& fn);

template <typename F>
auto OnGui(F fn) -> std::invoke_result_t<F> {
    using Result = std::invoke_result_t<F>;
    if constexpr (std::is_void_v<Result>) {
        RunOnGui(fn);
    } else {
        Result result{};
        RunOnGui([&] { result = fn(); });
        return result;
    }
}

// Re-checks cond on the GUI thread until it holds or the patience runs out.
bool WaitOnGui(const std::function<bool()>& cond);

// Runs dialog.DoModal() here while script runs on its own thread once the dialog is shown and
// active; a dialog still open when the script returns is cancelled. Returns DoModal's result.
INT_PTR RunWithScript(CDialog& dialog, const std::function<void()>& script);
// From a script: waits until the dialog's modal loop has returned.
bool WaitUntilEnded();

// Waits for a message box on screen; its id, or 0 if none came.
int WaitForBox();
// Waits for a message box saying text and presses its OK button.
bool Acknowledge(const QString& text);

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

}  // namespace qt_test
