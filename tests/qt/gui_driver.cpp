#include "tests/qt/gui_driver.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace qt_test {

QtPresenter& Presenter() {
    return static_cast<QtPresenter&>(GetPresenter());
}

bool RunOnGui(const std::function<void()>& fn) {
    struct Call {
        std::mutex mutex;
        std::condition_variable done;
        bool started = false;
        bool finished = false;
        bool dropped = false;
    };
    auto call = std::make_shared<Call>();
    Presenter().RunOnGuiThread([call, &fn] {
        {
            std::lock_guard lock(call->mutex);
            if (call->dropped) {
                return;  // the caller gave up; fn's captures may be gone
            }
            call->started = true;
        }
        fn();
        std::lock_guard lock(call->mutex);
        call->finished = true;
        call->done.notify_all();
    });
    std::unique_lock lock(call->mutex);
    if (!call->done.wait_for(lock, kPatience, [&] { return call->finished; })) {
        if (!call->started) {
            call->dropped = true;
            ADD_FAILURE() << "the GUI thread did not take the call";
            return false;
        }
        call->done.wait(lock, [&] { return call->finished; });
    }
    return true;
}

bool WaitOnGui(const std::function<bool()>& cond) {
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    for (;;) {
        bool met = false;
        if (!RunOnGui([&] { met = cond(); })) {
            return false;
        }
        if (met) {
            return true;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(2ms);  // poll step; the deadline decides
    }
}

void ScriptedDialog::OnWindowDestroyed() {
    CDialog::OnWindowDestroyed();
    destroyed_.store(true);
}

bool ScriptedDialog::WaitUntilDestroyed() const {
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    while (!destroyed_.load()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(2ms);  // poll step; the deadline decides
    }
    return true;
}

INT_PTR RunWithScript(ScriptedDialog& dialog, const std::function<void()>& script) {
    std::thread driver([&] {
        if (!WaitOnGui([&] {
                QWidget* window = Presenter().DialogWidget(dialog.TemplateId());
                // Active too: only then does focus moved by a script reach the framework.
                return dialog.Window() != nullptr && window != nullptr && window->isVisible() &&
                       window->isActiveWindow();
            })) {
            ADD_FAILURE() << "the dialog was not shown";
        } else {
            script();
        }
        if (dialog.Window() != nullptr) {
            ::PostMessage(dialog.Window(), WM_COMMAND, IDCANCEL, 0);
        }
    });
    const INT_PTR result = dialog.DoModal();
    driver.join();
    return result;
}

std::string FrameworkText(CWnd& dialog, int controlId) {
    CString text;
    dialog.GetDlgItem(controlId)->GetWindowText(text);
    return std::string(text.GetString(), static_cast<std::size_t>(text.GetLength()));
}

}  // namespace qt_test
