#include "tests/qt/gui_driver.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "framework/controls.h"
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

void ScriptedDialog::OnWindowDestroyed() {
    CDialog::OnWindowDestroyed();
    destroyed_.store(true);
}

bool ScriptedDialog::WaitUntilDestroyed() const {
    return Poll([this] { return destroyed_.load(); });
}

INT_PTR RunWithScript(ScriptedDialog& dialog, const std::function<void()>& script) {
    std::thread driver([&] {
        if (!WaitOnGui([&] {
                QWidget* window = Presenter().DialogWidget(dialog.TemplateId());
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

BEGIN_MESSAGE_MAP(ProbeMainDialog, ScriptedDialog)
ON_BN_CLICKED(IDC_BUTTON_SENSOR_INITIAL, &ProbeMainDialog::OnSensorInitial)
ON_BN_CLICKED(IDC_RADIO_LORAWAN, &ProbeMainDialog::OnModeRadio)
ON_BN_CLICKED(IDC_RADIO_NB, &ProbeMainDialog::OnModeRadio)
END_MESSAGE_MAP()

ProbeMainDialog::ProbeMainDialog() : ScriptedDialog(IDD_KALDOSENSORSETTING_DIALOG) {}

BOOL ProbeMainDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    GetDlgItem(IDC_EDIT_SERVER_IP)->EnableWindow(FALSE);
    GetDlgItem(IDC_EDIT_SERVER_PORT)->EnableWindow(FALSE);
    CheckRadioButton(IDC_RADIO_LORAWAN, IDC_RADIO_NB, IDC_RADIO_LORAWAN);
    Announce();
    return TRUE;
}

void ProbeMainDialog::OnSensorInitial() {
    ++initialClicks;
}

void ProbeMainDialog::OnModeRadio() {
    const BOOL loraWan =
        GetCheckedRadioButton(IDC_RADIO_LORAWAN, IDC_RADIO_NB) == IDC_RADIO_LORAWAN ? TRUE : FALSE;
    GetDlgItem(IDC_EDIT_APP_EUI)->EnableWindow(loraWan);
    GetDlgItem(IDC_EDIT_APP_KEY)->EnableWindow(loraWan);
    GetDlgItem(IDC_EDIT_SERVER_IP)->EnableWindow(!loraWan);
    GetDlgItem(IDC_EDIT_SERVER_PORT)->EnableWindow(!loraWan);
}

BEGIN_MESSAGE_MAP(ProbeProgressDialog, ScriptedDialog)
ON_WM_TIMER()
END_MESSAGE_MAP()

ProbeProgressDialog::ProbeProgressDialog() : ScriptedDialog(IDD_SENSOR_PROGRESS) {}

BOOL ProbeProgressDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    CWnd* bar = GetDlgItem(IDC_PROGRESS_BAR);
    bar->SendMessage(PBM_SETRANGE, 0, MAKELPARAM(0, 500));
    bar->SendMessage(PBM_SETPOS, 300);
    SetTimer(1, 10, nullptr);
    Announce();
    return TRUE;
}

void ProbeProgressDialog::OnTimer(UINT_PTR) {
    ++ticks;
}

}  // namespace qt_test
