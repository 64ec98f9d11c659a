// The settings record: its binding to the controls, the checks before a set, and its way into a
// command and back out of a reply.
#include "ui/main_dialog.h"
#include "ui/settings_fields.h"

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

sensor::VariantTexts CKaldoSensorSettingDlg::VariantTexts() const {
    const TextField* fields = VariantFields(m_bLoraWan);
    sensor::VariantTexts texts;
    for (int i = 0; i < SETTINGS_VARIANT_FIELD_COUNT; ++i) {
        texts[i] = this->*fields[i].pstrText;
    }
    return texts;
}

BOOL CKaldoSensorSettingDlg::CheckSettingsForSet() {
    UpdateData(TRUE);
    CString failure;
    if (!m_bPortOpen) {
        failure = "Please Initial the Serial Port sucessfully again";
    } else if (!m_bParamsRead) {
        failure = "Please Click the Sensor Initial button Firstly";
    } else {
        failure = sensor::VariantRefusal(m_bLoraWan, VariantTexts());
    }
    if (!failure.IsEmpty()) {
        ShowOutcome(sensor::Outcome::SetRefused, failure);
        return FALSE;
    }
    return TRUE;
}

void CKaldoSensorSettingDlg::SendCommand(int nKind) {
    // The counter advances on every call, whatever the kind.
    const int nSequence = m_Exchange.NextSequence();

    UpdateData(TRUE);

    CString strCommand;
    if (nKind == CMD_READ) {
        strCommand = sensor::ReadCommand(m_bLoraWan, nSequence);
    } else if (nKind == CMD_SET) {
        // The interval travels as the list shows it, not as typed.
        CString strEntry;
        m_cbInterval.GetLBText(m_cbInterval.GetCurSel(), strEntry);
        m_nInterval = atoi(strEntry);

        sensor::Fields fields;
        int nField = 0;
        for (const NumberField& field : kNumberFields) {
            this->*field.pstrHex = sensor::HexField(this->*field.pnValue);
            fields[nField++] = this->*field.pstrHex;
        }
        for (const CString& strText : VariantTexts()) {
            fields[nField++] = strText;
        }
        strCommand = sensor::SetCommand(m_bLoraWan, nSequence, fields);
    } else {
        return;
    }
    SendToSensor(strCommand, nKind);
}

int CKaldoSensorSettingDlg::ParseReply(CString strReply) {
    const std::optional<sensor::Fields> fields = sensor::SplitReply(strReply);
    if (!fields) {
        return -1;
    }
    int nField = 0;
    for (const NumberField& field : kNumberFields) {
        this->*field.pstrHex = (*fields)[nField++];
        this->*field.pnValue = HexToInt(this->*field.pstrHex);
    }

    // The interval list follows the reply: an unknown interval is appended, then selected.
    m_strInterval.Format("%d", m_nInterval);
    int nIndex = m_cbInterval.FindStringExact(-1, m_strInterval);
    if (nIndex == CB_ERR) {
        nIndex = m_cbInterval.InsertString(m_cbInterval.GetCount(), m_strInterval);
    }
    m_cbInterval.SetCurSel(nIndex);

    const TextField* variant = VariantFields(m_bLoraWan);
    for (int i = 0; i < SETTINGS_VARIANT_FIELD_COUNT; ++i) {
        this->*variant[i].pstrText = (*fields)[nField++];
    }

    UpdateData(FALSE);
    return 1;
}
