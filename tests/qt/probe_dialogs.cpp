#include "tests/qt/probe_dialogs.h"

#include <algorithm>

#include "framework/controls.h"
#include "res/resource.h"

namespace qt_test {

namespace {
constexpr UINT_PTR kTickTimer = 14;
}  // namespace

BEGIN_MESSAGE_MAP(ProbeMainDialog, ScriptedDialog)
ON_BN_CLICKED(IDC_BUTTON_SENSOR_SET, &ProbeMainDialog::OnSensorSet)
ON_BN_CLICKED(IDC_BUTTON_USB_SET, &ProbeMainDialog::OnUsbSet)
ON_BN_CLICKED(IDC_RADIO_LORAWAN, &ProbeMainDialog::OnModeRadio)
ON_BN_CLICKED(IDC_RADIO_NB, &ProbeMainDialog::OnModeRadio)
END_MESSAGE_MAP()

ProbeMainDialog::ProbeMainDialog() : ScriptedDialog(IDD_KALDOSENSORSETTING_DIALOG) {}

BOOL ProbeMainDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    const std::pair<int, int> limits[] = {{IDC_EDIT_ADDRESS, 5},
                                          {IDC_EDIT_APP_EUI, 16},
                                          {IDC_EDIT_APP_KEY, 32},
                                          {IDC_EDIT_SERVER_IP, 15},
                                          {IDC_EDIT_SERVER_PORT, 5}};
    for (const auto& [id, limit] : limits) {
        GetDlgItem(id)->SendMessage(EM_LIMITTEXT, static_cast<WPARAM>(limit));
    }
    GetDlgItem(IDC_EDIT_SERVER_IP)->EnableWindow(FALSE);
    GetDlgItem(IDC_EDIT_SERVER_PORT)->EnableWindow(FALSE);
    auto fill = [this](int id, std::initializer_list<const char*> items, int selected) {
        CWnd* combo = GetDlgItem(id);
        for (const char* item : items) {
            combo->SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
        }
        combo->SendMessage(CB_SETCURSEL, static_cast<WPARAM>(selected));
    };
    fill(IDC_COMBO_COM_PORT, {"COM3", "COM5"}, 0);
    fill(IDC_COMBO_BAUDRATE, {"4800", "9600", "115200"}, 2);
    fill(IDC_COMBO_INTERVAL, {"15", "30", "60", "120", "240", "480", "960"}, 2);
    CheckRadioButton(IDC_RADIO_LORAWAN, IDC_RADIO_NB, IDC_RADIO_LORAWAN);
    Announce();
    return TRUE;
}

LRESULT ProbeMainDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && lParam != 0) {
        std::lock_guard lock(mutex_);
        notifications_.emplace_back(LOWORD(static_cast<DWORD>(wParam)),
                                    HIWORD(static_cast<DWORD>(wParam)));
    }
    return ScriptedDialog::WindowProc(message, wParam, lParam);
}

int ProbeMainDialog::Notifications(int controlId, WORD code) const {
    std::lock_guard lock(mutex_);
    return static_cast<int>(std::count(notifications_.begin(), notifications_.end(),
                                       std::pair<int, WORD>(controlId, code)));
}

// The program writes into the controls; none of it may come back as the user's doing.
void ProbeMainDialog::OnSensorSet() {
    GetDlgItem(IDC_EDIT_LOW_ALARM)->SetWindowText("77");
    GetDlgItem(IDC_COMBO_COM_PORT)->SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("COM7"));
    GetDlgItem(IDC_COMBO_COM_PORT)->SendMessage(CB_SETCURSEL, 2);
    GetDlgItem(IDC_EDIT_HIGH_ALARM)->SetFocus();
}

void ProbeMainDialog::OnUsbSet() {
    MessageBox("Intial Serial Port sucessful");
    ++usbSetReturned;
}

void ProbeMainDialog::OnModeRadio() {
    const int checked = GetCheckedRadioButton(IDC_RADIO_LORAWAN, IDC_RADIO_NB);
    if (checked == 0) {
        return;
    }
    const BOOL loraWan = checked == IDC_RADIO_LORAWAN ? TRUE : FALSE;
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
    bar->SendMessage(PBM_SETBARCOLOR, 0, static_cast<LPARAM>(RGB(0, 255, 0)));
    SetTimer(kTickTimer, 10, nullptr);
    Announce();
    return TRUE;
}

void ProbeProgressDialog::OnTimer(UINT_PTR nIDEvent) {
    if (nIDEvent == kTickTimer) {
        ++ticks;
    }
}

}  // namespace qt_test
