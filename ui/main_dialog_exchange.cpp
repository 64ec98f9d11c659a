// Reading and writing a sensor: the buttons, the received bytes and the timers that tie them.
#include "ui/main_dialog.h"

LRESULT CKaldoSensorSettingDlg::OnRxByte(WPARAM wParam, LPARAM /*lParam*/) {
    m_Exchange.TakeByte(static_cast<char>(wParam));
    return 1;
}

void CKaldoSensorSettingDlg::SendToSensor(const CString& strCommand, int nKind) {
    m_Exchange.CommandSent(strCommand);
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

void CKaldoSensorSettingDlg::ShowOutcome(sensor::Outcome outcome, const char* pszText) {
    m_Exchange.Record(outcome);
    MessageBox(pszText != nullptr ? pszText : sensor::OutcomeText(outcome));
}

void CKaldoSensorSettingDlg::OnSensorInitial() {
    UpdateData(TRUE);
    if (!m_bPortOpen) {
        ShowOutcome(sensor::Outcome::ReadWithoutPort);
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
    if (m_Exchange.ReadPollTick()) {
        SendCommand(CMD_READ);
    }
    if (m_Exchange.ReadTimedOut()) {
        KillTimer(TIMER_READ_POLL);
        CloseProgress();
        ShowOutcome(sensor::Outcome::ReadTimedOut);
    }
}

void CKaldoSensorSettingDlg::OnSetWatchdogTimer() {
    if (m_Exchange.SetWatchdogTick()) {
        KillTimer(TIMER_SET_WATCHDOG);
        CloseProgress();
        ShowOutcome(sensor::Outcome::SetTimedOut);
    }
}

BOOL CKaldoSensorSettingDlg::ReplySettled() {
    if (!m_Exchange.ReplyDue(m_bLoraWan)) {
        return FALSE;
    }
    // Lets the rest of the line arrive; bytes that come meanwhile wait in the port.
    Sleep(REPLY_SETTLE_MS);
    return TRUE;
}

BOOL CKaldoSensorSettingDlg::OnReadReplyTimer() {
    if (!ReplySettled()) {
        return FALSE;
    }
    const CString strLine = m_Exchange.FirstLine();
    if (sensor::HasReadMark(strLine) && !m_bParamsRead) {
        const bool bAccepted = ParseReply(strLine) >= 1;
        if (bAccepted) {
            m_bParamsRead = true;
        }
        KillTimer(TIMER_READ_REPLY);
        KillTimer(TIMER_READ_POLL);
        ShowOutcome(bAccepted ? sensor::Outcome::ReadAccepted : sensor::Outcome::ReadRejected);
        m_Exchange.EndOperation();
        CloseProgress();
    }
    // Whatever came while a box was open goes too.
    m_Exchange.Forget();
    return TRUE;
}

BOOL CKaldoSensorSettingDlg::OnSetReplyTimer() {
    if (!ReplySettled()) {
        return FALSE;
    }
    // Only the exact echo of the set counts.
    if (!m_Exchange.TakeEcho()) {
        return TRUE;
    }
    const int nResult = ParseReply(m_Exchange.FirstLine());
    KillTimer(TIMER_SET_REPLY);
    KillTimer(TIMER_SET_WATCHDOG);
    ShowOutcome(nResult >= 1 ? sensor::Outcome::SetAccepted : sensor::Outcome::SetRejected);
    m_Exchange.EndOperation();
    CloseProgress();
    m_Exchange.Forget();
    return TRUE;
}
