#include "sensor/reply_parser.h"

#include <cstdint>

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

namespace sensor {

std::optional<Fields> SplitReply(const CString& strReply) {
    // A field with a NUL in it would be shown cut where the dialog shows it, and a set would send
    // the cut text back: no field of a sensor's holds one, so such a reply is not taken.
    if (strReply.Find('\0') != -1) {
        return std::nullopt;
    }
    // Further commas belong to field 10; the table keeps the first fifteen.
    int aComma[REPLY_MAX_COMMAS] = {0};
    int nCommas = 0;
    for (int nPos = strReply.Find(',', 1); nPos != -1 && nCommas < REPLY_MAX_COMMAS;
         nPos = strReply.Find(',', nPos + 1)) {
        aComma[nCommas++] = nPos;
    }
    if (nCommas < SETTINGS_FIELD_COUNT) {
        return std::nullopt;
    }
    Fields fields;
    for (int k = 0; k < SETTINGS_FIELD_COUNT - 1; ++k) {
        fields[k] = strReply.Mid(aComma[k] + 1, aComma[k + 1] - aComma[k] - 1);
    }
    fields[SETTINGS_FIELD_COUNT - 1] = strReply.Mid(aComma[SETTINGS_FIELD_COUNT - 1] + 1);
    return fields;
}

}  // namespace sensor
