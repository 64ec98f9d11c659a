// Reading a reply (or a set's echo) back into the settings record.
#include "sensor/reply_parser.h"

#include <cstdint>

#include "ui/main_dialog.h"

namespace {

int HexDigitValue(char ch) {
    if (ch >= '0' && ch <= '9') {
        return ch - '0';
    }
    if (ch >= 'a' && ch <= 'f') {
        return ch - 'a' + 10;
    }
    if (ch >= 'A' && ch <= 'F') {
        return ch - 'A' + 10;
    }
    return 0;  // anything else, the 'x' of "0x" included, counts as 0
}

}  // namespace

int HexToInt(const CString& strField) {
    const int nLength = strField.GetLength();
    if (nLength == 0 || nLength > 8) {
        return -1;
    }
    // Right-aligned into eight places: missing leading places are "0", so every length from
    // 1 to 8 reads the same way. 0x8000 to 0xFFFF stay positive: the value goes back to the
    // sensor with "%0.4X", and a negative one would grow to eight digits.
    std::uint32_t nValue = 0;
    for (int i = 0; i < nLength; ++i) {
        nValue = (nValue << 4) | static_cast<std::uint32_t>(HexDigitValue(strField.GetAt(i)));
    }
    return static_cast<int>(nValue);
}

int CKaldoSensorSettingDlg::ParseReply(CString strReply) {
    // Further commas belong to field 10; the table keeps the first fifteen.
    int aComma[REPLY_MAX_COMMAS] = {0};
    int nCommas = 0;
    for (int nPos = strReply.Find(',', 1); nPos != -1 && nCommas < REPLY_MAX_COMMAS;
         nPos = strReply.Find(',', nPos + 1)) {
        aComma[nCommas++] = nPos;
    }
    if (nCommas < REPLY_FIELD_COUNT) {
        return -1;
    }

    CString aField[REPLY_FIELD_COUNT];
    for (int k = 0; k < REPLY_FIELD_COUNT - 1; ++k) {
        aField[k] = strReply.Mid(aComma[k] + 1, aComma[k + 1] - aComma[k] - 1);
    }
    aField[REPLY_FIELD_COUNT - 1] = strReply.Mid(aComma[REPLY_FIELD_COUNT - 1] + 1);

    m_strAddressHex = aField[0];
    m_nAddress = HexToInt(m_strAddressHex);
    m_strInterval = aField[1];
    m_nInterval = HexToInt(m_strInterval);
    m_strRangeMaxHex = aField[2];
    m_nRangeMax = HexToInt(m_strRangeMaxHex);
    m_strRangeMinHex = aField[3];
    m_nRangeMin = HexToInt(m_strRangeMinHex);
    m_strHighAlarmHex = aField[4];
    m_nHighAlarm = HexToInt(m_strHighAlarmHex);
    m_strLowAlarmHex = aField[5];
    m_nLowAlarm = HexToInt(m_strLowAlarmHex);

    // The interval list follows the reply: an unknown interval is appended, then selected.
    m_strInterval.Format("%d", m_nInterval);
    int nIndex = m_cbInterval.FindStringExact(-1, m_strInterval);
    if (nIndex == CB_ERR) {
        nIndex = m_cbInterval.InsertString(m_cbInterval.GetCount(), m_strInterval);
    }
    m_cbInterval.SetCurSel(nIndex);

    if (m_bLoraWan) {
        m_strFrequency = aField[6];
        m_strDevEui = aField[7];
        m_strAppEui = aField[8];
        m_strAppKey = aField[9];
    } else {
        m_strNbBand = aField[6];
        m_strImei = aField[7];
        m_strServerIp = aField[8];
        m_strServerPort = aField[9];
    }

    UpdateData(FALSE);
    return 1;
}
