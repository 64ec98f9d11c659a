#include "sensor/exchange.h"

namespace sensor {

std::uint32_t ReplyThreshold(bool bLoraWan) {
    return bLoraWan ? REPLY_THRESHOLD_LORAWAN : REPLY_THRESHOLD_NB;
}

CString FirstLine(const CString& strRx) {
    const int nLineEnd = strRx.Find("\r\n");
    return nLineEnd > 0 ? strRx.Left(nLineEnd) : strRx;
}

bool HasReadMark(const CString& strLine) {
    return strLine.Find("1000") != -1;
}

}  // namespace sensor
