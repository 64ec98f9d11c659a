#include "tests/qt/gui_driver.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>

#include "framework/qt/dialog_window.h"
#include "res/resource.h"

namespace qt_test {
namespace {

// Polls cond until it holds or the patience runs out.
template <typename Cond>
bool Poll(Cond cond) {
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    while (!cond()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(2ms);
    }
    return true;
}

std::atomic<bool> modalEnded{false};

// The id of the message box on screen, or 0 (GUI thread).
int ShownBoxId() {
    const std::vector<int> ids = Presenter().OpenMessageBoxIds();
    return !ids.empty() && Presenter().MessageBoxWidget(ids.back())->isVisible() ? ids.back() : 0;
}

}  // namespace

QtPresenter& Presenter() {
    return static_cast<QtPresenter&>(GetPresenter());
}

bool RunOnGui(const std::function<void()>& fn) {
    struct Call {
        std::mutex mutex;
        std::condition_variable done;
        bool started = false, finished = false, dropped = false;
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
    bool taken = true;
    const bool met = Poll([&] {
        bool result = false;
        taken = RunOnGui([&] { result = cond(); });
        return !taken || result;
    });
    return taken && met;
}

INT_PTR RunWithScript(CDialog& dialog, const std::function<void()>& script) {
    modalEnded = false;
    std::thread driver([&] {
        HWND window = nullptr;
        if (!WaitOnGui([&] {
                auto* shown = dynamic_cast<DialogWindow*>(QApplication::activeWindow());
                window = dialog.m_hWnd;
                return window != nullptr && shown != nullptr && shown->Handle() == window;
            })) {
            ADD_FAILURE() << "the dialog was not shown";
        } else {
            script();
        }
        if (window != nullptr) {
            ::PostMessage(window, WM_COMMAND, IDCANCEL, 0);
        }
    });
    const INT_PTR result = dialog.DoModal();
    modalEnded = true;
    driver.join();
    return result;
}

bool WaitUntilEnded() {
    return Poll([] { return modalEnded.load(); });
}

int WaitForBox() {
    int id = 0;
    WaitOnGui([&] { return (id = ShownBoxId()) != 0; });
    return id;
}

bool Acknowledge(const QString& text) {
    int id = 0;
    if (!WaitOnGui([&] {
            id = ShownBoxId();
            return id != 0 && Presenter().MessageBoxWidget(id)->text() == text;
        })) {
        ADD_FAILURE() << "no box saying " << text.toStdString();
        return false;
    }
    OnGui([id] {
        QTest::mouseClick(Presenter().MessageBoxWidget(id)->button(QMessageBox::Ok),
                          Qt::LeftButton);
    });
    return true;
}

BEGIN_MESSAGE_MAP(ProbeProgressDialog, CDialog)
ON_WM_TIMER()
END_MESSAGE_MAP()

ProbeProgressDialog::ProbeProgressDialog() : CDialog(IDD_SENSOR_PROGRESS) {}

BOOL ProbeProgressDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    CWnd* bar = GetDlgItem(IDC_PROGRESS_BAR);
    bar->SendMessage(PBM_SETRANGE, 0, MAKELPARAM(0, 500));
    bar->SendMessage(PBM_SETPOS, 300);
    SetTimer(1, 10, nullptr);
    return TRUE;
}

void ProbeProgressDialog::OnTimer(UINT_PTR) {
    ++ticks;
}

}  // namespace qt_test
