#include "sensor/exchange.h"

namespace sensor {
namespace {

constexpr const char* kLineEnd = "\r\n";
constexpr int kLineEndLength = 2;

std::uint32_t ReplyThreshold(bool bLoraWan) {
    return bLoraWan ? REPLY_THRESHOLD_LORAWAN : REPLY_THRESHOLD_NB;
}

}  // namespace

const char* OutcomeText(Outcome outcome) {
    switch (outcome) {
        case Outcome::PortOpened:
            return "Intial Serial Port sucessful";
        case Outcome::PortHeld:
            return "The port is used by others";
        case Outcome::PortBeyondLast:
            return "The numbers of HOST is exceed 10";
        case Outcome::ReadWithoutPort:
            return "Please intial the Serial COM firstly";
        case Outcome::ReadAccepted:
            return "The Parameters have been Display correctly\r\n";
        case Outcome::ReadRejected:
            return "Failuer\r\n";
        case Outcome::ReadTimedOut:
            return "Initial is FAIL, please try again";
        case Outcome::SetAccepted:
            return "The Parameters have been set correctly\r\n";
        case Outcome::SetRejected:
            return "Failure\r\n";
        case Outcome::SetTimedOut:
            return "Setting is FAIL, please try again";
        case Outcome::Pending:
        case Outcome::SetRefused:
            break;
    }
    return nullptr;
}

bool HasReadMark(const CString& strLine) {
    return strLine.Find("1000") != -1;
}

void Exchange::TakeByte(char byte) {
    m_nRxCount += 1;
    if (m_strRx.GetLength() < REPLY_KEEP_BYTES) {
        m_strRx.AppendChar(byte);
    }
}

bool Exchange::ReadPollTick() {
    // Counted before the request goes out: a request may show the integer message, and the ticks
    // that come while it is open must find the count moved on, or each would send again, inside
    // the box before it, ten a second, for ever.
    const bool bRequest = m_nTimeoutTicks % READ_REQUEST_EVERY_TICKS == 0;
    m_nTimeoutTicks += 1;
    return bRequest;
}

bool Exchange::ReadTimedOut() {
    if (m_nTimeoutTicks <= READ_TIMEOUT_TICKS) {
        return false;
    }
    m_nTimeoutTicks = 0;
    return true;
}

bool Exchange::SetWatchdogTick() {
    m_nTimeoutTicks += 1;
    if (m_nTimeoutTicks <= SET_TIMEOUT_TICKS) {
        return false;
    }
    m_nTimeoutTicks = 0;
    return true;
}

bool Exchange::ReplyDue(bool bLoraWan) {
    const std::uint32_t nThreshold = ReplyThreshold(bLoraWan);
    if (m_nRxCount < nThreshold) {
        return false;
    }
    // A reply whose line end has not come yet is taken once the line has gone quiet: still
    // arriving, it would be parsed cut, its last field short. A line that keeps talking past any
    // reply's length is taken as it is.
    const bool bQuiet = m_nRxCount == m_nRxCountAtLastTick;
    m_nRxCountAtLastTick = m_nRxCount;
    return m_strRx.Find(kLineEnd) >= 0 || bQuiet || m_nRxCount >= 2 * nThreshold;
}

CString Exchange::FirstLine() const {
    const int nLineEnd = m_strRx.Find(kLineEnd);
    return nLineEnd > 0 ? m_strRx.Left(nLineEnd) : m_strRx;
}

bool Exchange::TakeEcho() {
    if (FirstLine().Compare(m_strLastCommand) == 0) {
        return true;
    }
    // The answer to the read's last request may come just before the echo, or with it.
    const int nLineEnd = m_strRx.Find(kLineEnd);
    if (nLineEnd < 0) {
        Forget();
        return false;
    }
    m_strRx = m_strRx.Mid(nLineEnd + kLineEndLength);
    m_nRxCount = static_cast<std::uint32_t>(m_strRx.GetLength());
    m_nRxCountAtLastTick = m_nRxCount;
    return false;
}

void Exchange::Forget() {
    m_nRxCount = 0;
    m_nRxCountAtLastTick = 0;
    m_strRx.Empty();
}

}  // namespace sensor
