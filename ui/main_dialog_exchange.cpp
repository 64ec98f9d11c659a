// Reading and writing a sensor: the buttons, the received bytes and the timers that tie them.
#include "ui/main_dialog.h"

int g_nTimeoutTicks = 0;

LRESULT CKaldoSensorSettingDlg::OnRxByte(WPARAM wParam, LPARAM /*lParam*/) {
    m_nRxCount += 1;
    if (m_strRx.GetLength() < REPLY_KEEP_BYTES) {
        m_strRx.AppendChar(static_cast<char>(wParam));
    }
    return 1;
}

void CKaldoSensorSettingDlg::SendToSensor(const CString& strCommand, int nKind) {
    m_strLastCommand = strCommand;
    m_Port.QueueWrite(strCommand.GetString(), strCommand.GetLength());
    if (nKind == CMD_READ) {
        SetTimer(TIMER_READ_REPLY, READ_REPLY_PERIOD_MS, nullptr);
        KillTimer(TIMER_SET_REPLY);
    } else {
        SetTimer(TIMER_SET_REPLY, SET_REPLY_PERIOD_MS, nullptr);
        KillTimer(TIMER_READ_REPLY);
    }
}

void CKaldoSensorSettingDlg::CloseProgress() {
    // Nothing happens if the user already closed it.
    m_dlgProgress.KillTimer(TIMER_PROGRESS_STEP);
    m_dlgProgress.OnOK();
}

void CKaldoSensorSettingDlg::OnSensorInitial() {
    UpdateData(TRUE);
    if (!m_bPortOpen) {
        MessageBox("Please intial the Serial COM firstly");
        return;
    }
    SetTimer(TIMER_READ_POLL, READ_POLL_PERIOD_MS, nullptr);
    m_dlgProgress.DoModal();
    // One more request: it re-arms the reply timer, which keeps ticking until the next set.
    SendCommand(CMD_READ);
}

void CKaldoSensorSettingDlg::OnSensorSet() {
    if (!CheckSettingsForSet()) {
        return;
    }
    m_bParamsRead = false;
    SendCommand(CMD_SET);
    SetTimer(TIMER_SET_WATCHDOG, SET_WATCHDOG_PERIOD_MS, nullptr);
    m_dlgProgress.DoModal();
}

void CKaldoSensorSettingDlg::OnTimer(UINT_PTR nIDEvent) {
    BOOL bEnded = FALSE;
    switch (nIDEvent) {
        case TIMER_READ_REPLY:
            bEnded = OnReadReplyTimer();
            break;
        case TIMER_SET_REPLY:
            bEnded = OnSetReplyTimer();
            break;
        case TIMER_READ_POLL:
            OnReadPollTimer();
            break;
        case TIMER_SET_WATCHDOG:
            OnSetWatchdogTimer();
            break;
        default:
            break;
    }
    if (!bEnded) {
        CDialog::OnTimer(nIDEvent);
    }
}

void CKaldoSensorSettingDlg::OnReadPollTimer() {
    // The tick is counted before the request goes out: a request may show the integer message,
    // and the ticks that come while it is open must find the count moved on, or each would send
    // again, inside the box before it, ten a second, for ever.
    const bool bRequest = g_nTimeoutTicks % READ_REQUEST_EVERY_TICKS == 0;
    g_nTimeoutTicks += 1;
    if (bRequest) {
        SendCommand(CMD_READ);
    }
    if (g_nTimeoutTicks > READ_TIMEOUT_TICKS) {
        g_nTimeoutTicks = 0;
        KillTimer(TIMER_READ_POLL);
        CloseProgress();
        MessageBox("Initial is FAIL, please try again");
    }
}

void CKaldoSensorSettingDlg::OnSetWatchdogTimer() {
    g_nTimeoutTicks += 1;
    if (g_nTimeoutTicks > SET_TIMEOUT_TICKS) {
        g_nTimeoutTicks = 0;
        KillTimer(TIMER_SET_WATCHDOG);
        CloseProgress();
        MessageBox("Setting is FAIL, please try again");
    }
}

BOOL CKaldoSensorSettingDlg::TakeReplyLine() {
    const std::uint32_t nThreshold = sensor::ReplyThreshold(m_bLoraWan);
    if (m_nRxCount < nThreshold) {
        return FALSE;
    }
    // A reply whose line end has not come yet is taken once the line has gone quiet: still
    // arriving, it would be parsed cut, its last field short. A line that keeps talking past any
    // reply's length is taken as it is.
    const bool bQuiet = m_nRxCount == m_nRxCountAtLastTick;
    m_nRxCountAtLastTick = m_nRxCount;
    if (m_strRx.Find("\r\n") < 0 && !bQuiet && m_nRxCount < 2 * nThreshold) {
        return FALSE;
    }
    // Lets the rest of the line arrive; bytes that come meanwhile wait in the port.
    Sleep(REPLY_SETTLE_MS);
    m_strRx = sensor::FirstLine(m_strRx);
    return TRUE;
}

BOOL CKaldoSensorSettingDlg::OnReadReplyTimer() {
    if (!TakeReplyLine()) {
        return FALSE;
    }
    if (sensor::HasReadMark(m_strRx) && !m_bParamsRead) {
        const bool bAccepted = ParseReply(m_strRx) >= 1;
        if (bAccepted) {
            m_bParamsRead = true;
        }
        KillTimer(TIMER_READ_REPLY);
        KillTimer(TIMER_READ_POLL);
        MessageBox(bAccepted ? "The Parameters have been Display correctly\r\n" : "Failuer\r\n");
        g_nTimeoutTicks = 0;
        CloseProgress();
    }
    // Whatever came while a box was open goes too.
    m_nRxCount = 0;
    m_nRxCountAtLastTick = 0;
    m_strRx.Empty();
    return TRUE;
}

BOOL CKaldoSensorSettingDlg::OnSetReplyTimer() {
    if (!TakeReplyLine()) {
        return FALSE;
    }
    // Only the exact echo of the set counts; any other line is dropped.
    if (m_strRx.Compare(m_strLastCommand) == 0) {
        const int nResult = ParseReply(m_strRx);
        KillTimer(TIMER_SET_REPLY);
        KillTimer(TIMER_SET_WATCHDOG);
        MessageBox(nResult >= 1 ? "The Parameters have been set correctly\r\n" : "Failure\r\n");
        g_nTimeoutTicks = 0;
        CloseProgress();
    }
    m_nRxCount = 0;
    m_nRxCountAtLastTick = 0;
    m_strRx.Empty();
    return TRUE;
}
