// The settings record: its binding to the controls, the checks before a set, and its way into a
// command and back out of a reply.
#include "ui/main_dialog.h"

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
    if (m_bLoraWan) {
        return {m_strFrequency, m_strDevEui, m_strAppEui, m_strAppKey};
    }
    return {m_strNbBand, m_strImei, m_strServerIp, m_strServerPort};
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
        MessageBox(failure);
        return FALSE;
    }
    return TRUE;
}

void CKaldoSensorSettingDlg::SendCommand(int nKind) {
    // The counter advances on every call, whatever the kind.
    const int nSequence = m_nSequence++;

    UpdateData(TRUE);

    CString strCommand;
    if (nKind == CMD_READ) {
        strCommand = sensor::ReadCommand(m_bLoraWan, nSequence);
    } else if (nKind == CMD_SET) {
        m_strAddressHex = sensor::HexField(m_nAddress);

        CString strEntry;
        m_cbInterval.GetLBText(m_cbInterval.GetCurSel(), strEntry);
        m_nInterval = atoi(strEntry);
        m_strInterval = sensor::HexField(m_nInterval);

        m_strRangeMaxHex = sensor::HexField(m_nRangeMax);
        m_strRangeMinHex = sensor::HexField(m_nRangeMin);
        m_strHighAlarmHex = sensor::HexField(m_nHighAlarm);
        m_strLowAlarmHex = sensor::HexField(m_nLowAlarm);

        const sensor::VariantTexts variant = VariantTexts();
        strCommand = sensor::SetCommand(
            m_bLoraWan, nSequence,
            {m_strAddressHex, m_strInterval, m_strRangeMaxHex, m_strRangeMinHex, m_strHighAlarmHex,
             m_strLowAlarmHex, variant[0], variant[1], variant[2], variant[3]});
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
    const sensor::Fields& field = *fields;

    m_strAddressHex = field[0];
    m_nAddress = HexToInt(m_strAddressHex);
    m_strInterval = field[1];
    m_nInterval = HexToInt(m_strInterval);
    m_strRangeMaxHex = field[2];
    m_nRangeMax = HexToInt(m_strRangeMaxHex);
    m_strRangeMinHex = field[3];
    m_nRangeMin = HexToInt(m_strRangeMinHex);
    m_strHighAlarmHex = field[4];
    m_nHighAlarm = HexToInt(m_strHighAlarmHex);
    m_strLowAlarmHex = field[5];
    m_nLowAlarm = HexToInt(m_strLowAlarmHex);

    // The interval list follows the reply: an unknown interval is appended, then selected.
    m_strInterval.Format("%d", m_nInterval);
    int nIndex = m_cbInterval.FindStringExact(-1, m_strInterval);
    if (nIndex == CB_ERR) {
        nIndex = m_cbInterval.InsertString(m_cbInterval.GetCount(), m_strInterval);
    }
    m_cbInterval.SetCurSel(nIndex);

    if (m_bLoraWan) {
        m_strFrequency = field[6];
        m_strDevEui = field[7];
        m_strAppEui = field[8];
        m_strAppKey = field[9];
    } else {
        m_strNbBand = field[6];
        m_strImei = field[7];
        m_strServerIp = field[8];
        m_strServerPort = field[9];
    }

    UpdateData(FALSE);
    return 1;
}
