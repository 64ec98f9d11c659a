#include "platform/comm_port.h"

#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>

#include "platform/comm_termios.h"
#include "platform/event.h"
#include "platform/port_release.h"
#include "platform/system_call.h"
#include "platform/wait_hub.h"

namespace platform {

std::shared_ptr<CommPort> CommPort::Create(int fd) {
    // Both register with the hub when first used, which must not happen under its lock.
    FdWatcher::Instance();
    CommTimer::Instance();
    std::shared_ptr<CommPort> port(new CommPort(fd));
    // The lines may report a change after the port is gone; the weak reference makes that a no-op.
    port->modem_ = MakeModemLines(fd, [weak = std::weak_ptr<CommPort>(port)] {
        if (auto alive = weak.lock()) {
            alive->OnModemLinesChanged();
        }
    });
    auto lock = WaitHub::Instance().Lock();
    port->lastCts_ = port->modem_->Cts();
    return port;
}

CommPort::CommPort(int fd) : fd_(fd) {}

CommPort::~CommPort() {
    std::vector<FdWatcher::WatchId> watches;
    {
        auto lock = WaitHub::Instance().Lock();
        closing_ = true;
        for (Operation* slot : {&wait_, &read_, &write_}) {
            if (*slot) {
                FinishLocked(*slot, ERROR_OPERATION_ABORTED, (*slot)->transferred);
            }
        }
        for (FdWatcher::WatchId id : {inputWatch_, outputWatch_}) {
            if (id != 0) {
                watches.push_back(id);
            }
        }
    }
    // Outside the hub lock: a callback that is running waits for it.
    for (FdWatcher::WatchId id : watches) {
        FdWatcher::Instance().Disarm(id);
    }
    modem_.reset();
    // TIOCEXCL belongs to the terminal, not to this descriptor: it would outlive the close. The
    // flock is released explicitly too, in case anything else still refers to the open file.
    ioctl(fd_, TIOCNXCL);
    ForgetExclusivePort(fd_);
    flock(fd_, LOCK_UN);
    close(fd_);
}

CommPort::Operation CommPort::FindLocked(const OVERLAPPED* ov) const {
    for (const Operation* slot : {&wait_, &read_, &write_}) {
        if (*slot && (*slot)->ov == ov) {
            return *slot;
        }
    }
    return nullptr;
}

void CommPort::FinishLocked(Operation& slot, DWORD error, DWORD transferred, DWORD events) {
    Operation op = std::move(slot);
    op->finished = true;
    op->error = error;
    op->transferred = transferred;
    if (op->timer != 0) {
        CommTimer::Instance().CancelLocked(op->timer);
    }
    // Once the port is closing its owner may have freed the OVERLAPPED and buffers already.
    if (!closing_) {
        op->ov->Internal = error;
        op->ov->InternalHigh = transferred;
        if (op->eventMask != nullptr) {
            *op->eventMask = events;
        }
    }
    SetEventLocked(op->event);
    WaitHub::Instance().NotifyLocked();
}

DWORD CommPort::FailureLocked(int err) {
    const DWORD error = ErrorFromErrno(err, kLineMeanings);
    if (error == ERROR_DEVICE_NOT_CONNECTED) {
        HangUpLocked();
    }
    return error;
}

void CommPort::HangUpLocked() {
    hungUp_ = true;
    if (read_) {
        FinishLocked(read_, ERROR_DEVICE_NOT_CONNECTED, 0);
    }
    if (write_) {
        FinishLocked(write_, ERROR_DEVICE_NOT_CONNECTED, write_->transferred);
    }
    if (wait_ && !hangUpReported_) {
        hangUpReported_ = true;
        FinishLocked(wait_, ERROR_DEVICE_NOT_CONNECTED, 0);
    }
}

std::optional<DWORD> CommPort::InputQueuedLocked() {
    if (hungUp_) {
        return std::nullopt;
    }
    if (input_.Size() > 0) {
        return input_.Size();
    }
    // The common case while bytes stream in: one call. A hang-up shows once they are read.
    int counted = 0;
    if (ioctl(fd_, FIONREAD, &counted) == 0 && counted > 0) {
        return static_cast<DWORD>(counted);
    }
    // poll first: it moves bytes the driver holds in its flip buffer to where FIONREAD counts.
    pollfd p{fd_, POLLIN, 0};
    RetryInterrupted([&] { return poll(&p, 1, 0); });
    int queued = 0;
    const bool gone = (p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0 ||
                      ioctl(fd_, FIONREAD, &queued) != 0 ||
                      // Readable but empty: nothing else reads this line, so it is a disconnect.
                      ((p.revents & POLLIN) != 0 && queued == 0);
    if (gone) {
        HangUpLocked();
        return std::nullopt;
    }
    return static_cast<DWORD>(queued);
}

DWORD CommPort::CtsEventLocked() {
    const std::optional<bool> cts = modem_->Cts();
    if (!cts || cts == lastCts_) {
        return 0;
    }
    lastCts_ = cts;
    return EV_CTS;
}

std::optional<DWORD> CommPort::PendingEventsLocked(DWORD mask) {
    DWORD events = 0;
    if ((mask & EV_RXCHAR) != 0) {
        const auto queued = InputQueuedLocked();
        if (!queued) {
            return std::nullopt;
        }
        if (*queued > 0) {
            events |= EV_RXCHAR;
        }
    }
    if ((mask & EV_CTS) != 0) {
        events |= CtsEventLocked();
    }
    return events;
}

BOOL CommPort::SetTimeouts(const COMMTIMEOUTS& timeouts) {
    auto lock = WaitHub::Instance().Lock();
    timeouts_ = timeouts;
    return TRUE;
}

COMMTIMEOUTS CommPort::Timeouts() {
    auto lock = WaitHub::Instance().Lock();
    return timeouts_;
}

BOOL CommPort::SetMask(DWORD mask) {
    // EV_RXCHAR up to EV_EVENT2: the bits Windows knows.
    if ((mask & ~DWORD{0x1FFF}) != 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    auto lock = WaitHub::Instance().Lock();
    mask_ = mask;
    lastCts_ = modem_->Cts();
    if (wait_) {
        FinishLocked(wait_, ERROR_SUCCESS, 0, 0);
    }
    return TRUE;
}

DWORD CommPort::Mask() {
    auto lock = WaitHub::Instance().Lock();
    return mask_;
}

BOOL CommPort::GetState(DCB& dcb) {
    auto lock = WaitHub::Instance().Lock();
    termios settings{};
    if (hungUp_ || tcgetattr(fd_, &settings) != 0) {
        SetLastError(hungUp_ ? ERROR_DEVICE_NOT_CONNECTED : FailureLocked(errno));
        return FALSE;
    }
    dcb = ReadDcb(settings, rtsControl_, dtrControl_);
    return TRUE;
}

BOOL CommPort::SetState(const DCB& dcb) {
    auto lock = WaitHub::Instance().Lock();
    termios settings{};
    if (hungUp_ || tcgetattr(fd_, &settings) != 0) {
        SetLastError(hungUp_ ? ERROR_DEVICE_NOT_CONNECTED : FailureLocked(errno));
        return FALSE;
    }
    if (DWORD error = ApplyDcb(dcb, settings); error != ERROR_SUCCESS) {
        SetLastError(error);
        return FALSE;
    }
    if (tcsetattr(fd_, TCSANOW, &settings) != 0) {
        SetLastError(FailureLocked(errno));
        return FALSE;
    }
    // tcsetattr succeeds when the driver took any of the settings; check it took the line's.
    termios applied{};
    constexpr tcflag_t kLine = CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS;
    if (tcgetattr(fd_, &applied) != 0 || cfgetospeed(&applied) != cfgetospeed(&settings) ||
        (applied.c_cflag & kLine) != (settings.c_cflag & kLine)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if ((dcb.fRtsControl != RTS_CONTROL_HANDSHAKE &&
         !modem_->SetRts(dcb.fRtsControl == RTS_CONTROL_ENABLE)) ||
        !modem_->SetDtr(dcb.fDtrControl == DTR_CONTROL_ENABLE)) {
        SetLastError(FailureLocked(errno));
        return FALSE;
    }
    rtsControl_ = dcb.fRtsControl;
    dtrControl_ = dcb.fDtrControl;
    return TRUE;
}

BOOL CommPort::Purge(DWORD flags) {
    constexpr DWORD kAll = PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR;
    if ((flags & ~kAll) != 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    auto lock = WaitHub::Instance().Lock();
    if ((flags & (PURGE_TXABORT | PURGE_RXABORT)) != 0 && wait_) {
        FinishLocked(wait_, ERROR_SUCCESS, 0, 0);
    }
    if ((flags & PURGE_RXABORT) != 0 && read_) {
        FinishLocked(read_, ERROR_OPERATION_ABORTED, 0);
    }
    if ((flags & PURGE_TXABORT) != 0 && write_) {
        FinishLocked(write_, ERROR_OPERATION_ABORTED, write_->transferred);
    }
    const bool input = (flags & PURGE_RXCLEAR) != 0;
    const bool output = (flags & PURGE_TXCLEAR) != 0;
    if (input) {
        input_.Clear();
    }
    if (!input && !output) {
        return TRUE;
    }
    if (hungUp_) {
        SetLastError(ERROR_DEVICE_NOT_CONNECTED);
        return FALSE;
    }
    if (tcflush(fd_, input && output ? TCIOFLUSH : (input ? TCIFLUSH : TCOFLUSH)) != 0) {
        SetLastError(FailureLocked(errno));
        return FALSE;
    }
    return TRUE;
}

BOOL CommPort::Status(COMSTAT& status) {
    auto lock = WaitHub::Instance().Lock();
    const auto queued = InputQueuedLocked();
    int outgoing = 0;
    if (!queued) {
        SetLastError(ERROR_DEVICE_NOT_CONNECTED);
        return FALSE;
    }
    if (ioctl(fd_, TIOCOUTQ, &outgoing) != 0) {
        SetLastError(FailureLocked(errno));
        return FALSE;
    }
    status = COMSTAT{};
    status.cbInQue = *queued;
    status.cbOutQue = static_cast<DWORD>(outgoing);
    return TRUE;
}

}  // namespace platform
