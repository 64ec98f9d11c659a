// The settings record's binding to the controls and the checks before a set.
#include <initializer_list>

#include "ui/main_dialog.h"

namespace {

struct TypedField {
    const CString& strText;
    const char* pszLabel;
};

// Lengths pass with a separator inside a field, which would shift every later field of the
// command; the sensor would echo it back and the set would look correct. Gives the refusal for
// the first such field, or an empty text.
CString FramingFailure(std::initializer_list<TypedField> fields) {
    CString strFailure;
    for (const TypedField& field : fields) {
        for (const char chSeparator : {',', '\r', '\n'}) {
            if (field.strText.Find(chSeparator) != -1) {
                strFailure.Format("%s must not contain commas or line breaks", field.pszLabel);
                return strFailure;
            }
        }
    }
    return strFailure;
}

}  // namespace

void CKaldoSensorSettingDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_COMBO_INTERVAL, m_cbInterval);
    DDX_Control(pDX, IDC_COMBO_BAUDRATE, m_cbBaudRate);
    DDX_Control(pDX, IDC_COMBO_COM_PORT, m_cbComPort);
    DDX_Text(pDX, IDC_EDIT_HIGH_ALARM, m_nHighAlarm);
    DDX_Text(pDX, IDC_EDIT_LOW_ALARM, m_nLowAlarm);
    DDX_Text(pDX, IDC_EDIT_APP_EUI, m_strAppEui);
    DDX_Text(pDX, IDC_EDIT_APP_KEY, m_strAppKey);
    DDX_Text(pDX, IDC_EDIT_DEV_EUI, m_strDevEui);
    DDX_Text(pDX, IDC_EDIT_FREQUENCY, m_strFrequency);
    DDX_Text(pDX, IDC_EDIT_NB_BAND, m_strNbBand);
    DDX_Text(pDX, IDC_EDIT_IMEI, m_strImei);
    DDX_Text(pDX, IDC_EDIT_SERVER_IP, m_strServerIp);
    DDX_Text(pDX, IDC_EDIT_SERVER_PORT, m_strServerPort);
    DDX_Text(pDX, IDC_EDIT_ADDRESS, m_nAddress);
    DDX_Text(pDX, IDC_EDIT_RANGE_MAX, m_nRangeMax);
    DDX_Text(pDX, IDC_EDIT_RANGE_MIN, m_nRangeMin);
    DDX_CBString(pDX, IDC_COMBO_COM_PORT, m_strComPort);
}

BOOL CKaldoSensorSettingDlg::CheckSettingsForSet() {
    UpdateData(TRUE);
    CString failure;
    if (!m_bPortOpen) {
        failure = "Please Initial the Serial Port sucessfully again";
    } else if (!m_bParamsRead) {
        failure = "Please Click the Sensor Initial button Firstly";
    } else if (m_bLoraWan) {
        if (m_strFrequency.GetLength() < 1) {
            failure = "Please check the Lora Frequency";
        } else if (m_strDevEui.GetLength() != 16) {
            failure = "Please check the Lora EUI";
        } else if (m_strAppEui.GetLength() != 16) {
            failure = "Please input the right APPEUI";
        } else if (m_strAppKey.GetLength() != 32) {
            failure = "Please input the right APPKey";
        }
    } else {
        if (m_strNbBand.GetLength() < 1) {
            failure = "Please check the NB band";
        } else if (m_strImei.GetLength() != 15) {
            failure = "Please check the NB IMEI";
        } else if (m_strServerIp.GetLength() < 7) {
            failure = "Please check the Server IP";
        } else if (m_strServerPort.GetLength() < 1) {
            failure = "Please check the Server Port";
        }
    }
    if (failure.IsEmpty()) {
        failure =
            m_bLoraWan
                ? FramingFailure({{m_strAppEui, "APP EUI"}, {m_strAppKey, "APP Key"}})
                : FramingFailure({{m_strServerIp, "Server IP"}, {m_strServerPort, "Server Port"}});
    }
    if (!failure.IsEmpty()) {
        MessageBox(failure);
        return FALSE;
    }
    return TRUE;
}
