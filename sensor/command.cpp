// Composition of the read and set commands from the settings record.
#include "ui/main_dialog.h"

void CKaldoSensorSettingDlg::SendCommand(int nKind) {
    // The counter advances on every call, whatever the kind.
    CString strSequence;
    strSequence.Format(HEX_FIELD_FORMAT, m_nSequence++);

    UpdateData(TRUE);

    CString strCommand;
    if (nKind == CMD_READ) {
        strCommand = (m_bLoraWan ? CMD_PREFIX_READ_LORAWAN : CMD_PREFIX_READ_NB) + strSequence;
    } else if (nKind == CMD_SET) {
        m_strAddressHex.Format(HEX_FIELD_FORMAT, m_nAddress);

        CString strEntry;
        m_cbInterval.GetLBText(m_cbInterval.GetCurSel(), strEntry);
        m_strInterval = strEntry;
        m_nInterval = atoi(m_strInterval);
        m_strInterval.Format(HEX_FIELD_FORMAT, m_nInterval);

        m_strRangeMaxHex.Format(HEX_FIELD_FORMAT, m_nRangeMax);
        m_strRangeMinHex.Format(HEX_FIELD_FORMAT, m_nRangeMin);
        m_strHighAlarmHex.Format(HEX_FIELD_FORMAT, m_nHighAlarm);
        m_strLowAlarmHex.Format(HEX_FIELD_FORMAT, m_nLowAlarm);

        strCommand = strSequence + "," + m_strAddressHex + "," + m_strInterval + "," +
                     m_strRangeMaxHex + "," + m_strRangeMinHex + "," + m_strHighAlarmHex + "," +
                     m_strLowAlarmHex;
        if (m_bLoraWan) {
            strCommand +=
                "," + m_strFrequency + "," + m_strDevEui + "," + m_strAppEui + "," + m_strAppKey;
            strCommand = CMD_PREFIX_SET_LORAWAN + strCommand;
        } else {
            strCommand +=
                "," + m_strNbBand + "," + m_strImei + "," + m_strServerIp + "," + m_strServerPort;
            strCommand = CMD_PREFIX_SET_NB + strCommand;
        }
    } else {
        return;
    }
    SendToSensor(strCommand, nKind);
}
