#include "ui/main_dialog.h"

#include <cstdio>
#include <string>

#include "platform/port_identity.h"
#include "platform/port_problem.h"

namespace {
constexpr int kProbeBaud = 115200;
constexpr const char* kBaudRates[] = {"4800", "9600", "115200"};
constexpr int kDefaultBaudIndex = 2;
constexpr int kDefaultIntervalIndex = 2;
// "COMn": what precedes the number.
constexpr int kPortNamePrefixLength = 3;
}  // namespace

CKaldoSensorSettingDlg::CKaldoSensorSettingDlg(CWnd* pParent) : CDialog(IDD, pParent) {}

BEGIN_MESSAGE_MAP(CKaldoSensorSettingDlg, CDialog)
ON_MESSAGE(UWM_PORT_RXBYTE, &CKaldoSensorSettingDlg::OnRxByte)
ON_WM_TIMER()
ON_BN_CLICKED(IDC_BUTTON_USB_SET, &CKaldoSensorSettingDlg::OnUsbSet)
ON_BN_CLICKED(IDC_BUTTON_SENSOR_INITIAL, &CKaldoSensorSettingDlg::OnSensorInitial)
ON_BN_CLICKED(IDC_BUTTON_SENSOR_SET, &CKaldoSensorSettingDlg::OnSensorSet)
ON_BN_CLICKED(IDC_RADIO_LORAWAN, &CKaldoSensorSettingDlg::OnModeRadio)
ON_BN_CLICKED(IDC_RADIO_NB, &CKaldoSensorSettingDlg::OnModeRadio)
END_MESSAGE_MAP()

BOOL CKaldoSensorSettingDlg::OnInitDialog() {
    CDialog::OnInitDialog();

    // Each probe closes the port the one before it left open; the first port found stays
    // selected.
    for (int i = m_nFirstProbedPort; i <= m_nLastProbedPort; ++i) {
        if (m_Port.OpenPort(this, i, kProbeBaud)) {
            CString strName;
            strName.Format("COM%d", i);
            m_cbComPort.AddString(strName);
            m_strComPort = strName;
            m_cbComPort.SetCurSel(0);
            m_bPortFound = true;
        }
    }
    ExplainPorts();

    GetDlgItem(IDC_EDIT_ADDRESS)->SendMessage(EM_LIMITTEXT, ADDRESS_LIMIT);
    GetDlgItem(IDC_EDIT_APP_EUI)->SendMessage(EM_LIMITTEXT, APP_EUI_LIMIT);
    GetDlgItem(IDC_EDIT_APP_KEY)->SendMessage(EM_LIMITTEXT, APP_KEY_LIMIT);
    GetDlgItem(IDC_EDIT_SERVER_IP)->SendMessage(EM_LIMITTEXT, SERVER_IP_LIMIT);
    GetDlgItem(IDC_EDIT_SERVER_PORT)->SendMessage(EM_LIMITTEXT, SERVER_PORT_LIMIT);

    GetDlgItem(IDC_EDIT_APP_EUI)->EnableWindow(TRUE);
    GetDlgItem(IDC_EDIT_APP_KEY)->EnableWindow(TRUE);
    GetDlgItem(IDC_EDIT_SERVER_IP)->EnableWindow(FALSE);
    GetDlgItem(IDC_EDIT_SERVER_PORT)->EnableWindow(FALSE);

    for (const char* rate : kBaudRates) {
        m_cbBaudRate.AddString(rate);
    }
    m_strBaudRate = "115200";
    m_cbBaudRate.SetCurSel(kDefaultBaudIndex);

    for (const char* interval : kIntervals) {
        m_cbInterval.AddString(interval);
    }
    m_cbInterval.SetCurSel(kDefaultIntervalIndex);

    CheckRadioButton(IDC_RADIO_LORAWAN, IDC_RADIO_NB, 0);
    CheckRadioButton(IDC_RADIO_LORAWAN, IDC_RADIO_NB, IDC_RADIO_LORAWAN);
    m_bLoraWan = true;
    return TRUE;
}

// A port that cannot be opened is not listed. Why not is worth saying, once, at start-up, in the
// list's tool tip and on standard error: most often a user outside the group that may open serial
// devices, or a modem manager probing a fresh device. The tool tip also says which device each
// listed number is, which the system's device names do not tell.
void CKaldoSensorSettingDlg::ExplainPorts() {
    CString strReasons;
    for (int i = m_nFirstProbedPort; i <= m_nLastProbedPort; ++i) {
        CString strName;
        strName.Format("COM%d", i);
        if (m_cbComPort.FindStringExact(-1, strName) != CB_ERR) {
            const std::string what = platform::DescribePortIdentity(platform::IdentifyComPort(i));
            if (!strReasons.IsEmpty()) {
                strReasons += '\n';
            }
            strReasons += strName + ": " + what.c_str();
            continue;
        }
        const std::string reason = platform::DescribePortProblem(platform::DiagnoseComPort(i));
        // A device linked under two numbers is one problem.
        if (reason.empty() || strReasons.Find(reason.c_str()) >= 0) {
            continue;
        }
        std::fprintf(stderr, "%s\n", reason.c_str());
        if (!strReasons.IsEmpty()) {
            strReasons += '\n';
        }
        strReasons += reason.c_str();
    }
    m_cbComPort.SetToolTipText(strReasons);
}

void CKaldoSensorSettingDlg::OnUsbSet() {
    UpdateData(TRUE);
    CString strPort = m_strComPort;
    strPort.Delete(0, kPortNamePrefixLength);
    const int nPort = atoi(strPort);
    // Only initialisation sets the rate; the baud-rate list's selection is not read back.
    const int nBaud = atoi(m_strBaudRate);

    if (m_bPortFound) {
        sensor::Outcome outcome = sensor::Outcome::PortOpened;
        if (!m_Port.OpenPort(this, nPort, nBaud)) {
            outcome = sensor::Outcome::PortHeld;
        } else if (static_cast<unsigned>(nPort) > static_cast<unsigned>(LAST_COM_PORT)) {
            m_bPortOpen = false;
            outcome = sensor::Outcome::PortBeyondLast;
        } else {
            m_Port.StartMonitor();
            m_bPortOpen = true;
        }
        ShowOutcome(outcome);
    }
    UpdateData(FALSE);
    UpdateData(FALSE);
}

void CKaldoSensorSettingDlg::OnModeRadio() {
    UpdateData(TRUE);
    switch (GetCheckedRadioButton(IDC_RADIO_LORAWAN, IDC_RADIO_NB)) {
        case IDC_RADIO_LORAWAN:
            m_bLoraWan = true;
            GetDlgItem(IDC_EDIT_APP_EUI)->EnableWindow(TRUE);
            GetDlgItem(IDC_EDIT_APP_KEY)->EnableWindow(TRUE);
            GetDlgItem(IDC_EDIT_SERVER_IP)->EnableWindow(FALSE);
            GetDlgItem(IDC_EDIT_SERVER_PORT)->EnableWindow(FALSE);
            break;
        case IDC_RADIO_NB:
            m_bLoraWan = false;
            GetDlgItem(IDC_EDIT_APP_EUI)->EnableWindow(FALSE);
            GetDlgItem(IDC_EDIT_APP_KEY)->EnableWindow(FALSE);
            GetDlgItem(IDC_EDIT_SERVER_IP)->EnableWindow(TRUE);
            GetDlgItem(IDC_EDIT_SERVER_PORT)->EnableWindow(TRUE);
            break;
        default:
            break;
    }
    UpdateData(FALSE);
}
