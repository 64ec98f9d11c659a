// Overlapped event waits, reads and writes on a CommPort.
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

#include "platform/comm_port.h"
#include "platform/event.h"
#include "platform/system_call.h"
#include "platform/wait_hub.h"

namespace platform {
namespace {

// What OVERLAPPED::Internal holds while the operation is pending (STATUS_PENDING on Windows).
constexpr ULONG_PTR kPending = 0x103;

void CompleteAtOnceLocked(OVERLAPPED* ov, DWORD transferred, DWORD* transferredOut) {
    ov->Internal = ERROR_SUCCESS;
    ov->InternalHigh = transferred;
    if (transferredOut != nullptr) {
        *transferredOut = transferred;
    }
    SetEventLocked(ov->hEvent);
}

ssize_t WriteSome(int fd, const void* data, size_t size) {
    const ssize_t n = RetryInterrupted([&] { return ::write(fd, data, size); });
    if (n > 0) {
        WaitHub::Instance().NoteLineActivity();
    }
    return n;
}

bool Disconnected(short revents) {
    return (revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
}

}  // namespace

bool CommPort::BeginLocked(const Operation& slot, OVERLAPPED* ov) {
    // One operation of a kind at a time, and an OVERLAPPED serves one operation at a time.
    if (slot || FindLocked(ov)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    ResetEventLocked(ov->hEvent);
    return true;
}

CommPort::Operation CommPort::StartLocked(OVERLAPPED* ov) {
    auto op = std::make_shared<CommOperation>();
    op->ov = ov;
    op->event = ov->hEvent;
    ov->Internal = kPending;
    ov->InternalHigh = 0;
    SetLastError(ERROR_IO_PENDING);
    return op;
}

void CommPort::ScheduleTimeoutLocked(Operation& slot, std::uint64_t milliseconds, DWORD error) {
    // The completion finds the operation through its slot; a finished one has left it.
    Operation* where = &slot;
    const Operation op = slot;
    op->timer = CommTimer::Instance().ScheduleLocked(
        WaitHub::Instance().Now() + std::chrono::milliseconds(milliseconds),
        [this, where, op, error] {
            if (*where == op) {
                op->timer = 0;
                FinishLocked(*where, error, op->transferred);
            }
        });
}

BOOL CommPort::WaitEvent(DWORD* eventMask, OVERLAPPED* ov) {
    auto lock = WaitHub::Instance().Lock();
    if (mask_ == 0 || !BeginLocked(wait_, ov)) {
        return FailWith(ERROR_INVALID_PARAMETER);
    }
    if ((mask_ & EV_CTS) != 0 && !modem_->ReportsLineChanges()) {
        return FailWith(ERROR_NOT_SUPPORTED);
    }
    if (!hungUp_) {
        const auto events = PendingEventsLocked(mask_);
        if (events && *events != 0) {
            *eventMask = *events;
            CompleteAtOnceLocked(ov, 0, nullptr);
            return TRUE;
        }
    }
    if (hungUp_ && !hangUpReported_) {
        hangUpReported_ = true;
        return FailWith(ERROR_DEVICE_NOT_CONNECTED);
    }
    wait_ = StartLocked(ov);
    wait_->watched = mask_;
    wait_->eventMask = eventMask;
    // After a reported hang-up nothing is armed and the wait just stays pending: the descriptor
    // would report the hang-up again at once, for ever.
    if ((mask_ & EV_RXCHAR) != 0) {
        ArmInputLocked();
    }
    return FALSE;
}

BOOL CommPort::Read(void* buffer, DWORD count, DWORD* read, OVERLAPPED* ov) {
    auto lock = WaitHub::Instance().Lock();
    if (!BeginLocked(read_, ov)) {
        return FALSE;
    }
    if (hungUp_) {
        return FailWith(ERROR_DEVICE_NOT_CONNECTED);
    }
    if (count == 0) {
        CompleteAtOnceLocked(ov, 0, read);
        return TRUE;
    }
    // Buffered bytes are served first; the line is read only when none are.
    const ssize_t n = input_.Size() > 0 ? ssize_t{1} : input_.Fill(fd_);
    if (n > 0) {
        CompleteAtOnceLocked(ov, input_.Take(buffer, count), read);
        InputLeftLocked();
        return TRUE;
    }
    if (n == 0) {
        // End of file on a terminal: the other side is gone.
        HangUpLocked();
        return FailWith(ERROR_DEVICE_NOT_CONNECTED);
    }
    if (errno != EAGAIN) {
        return FailWith(FailureLocked(errno));
    }
    const COMMTIMEOUTS& t = timeouts_;
    if (t.ReadIntervalTimeout == MAXDWORD && t.ReadTotalTimeoutMultiplier == 0 &&
        t.ReadTotalTimeoutConstant == 0) {
        CompleteAtOnceLocked(ov, 0, read);
        return TRUE;
    }
    read_ = StartLocked(ov);
    read_->buffer = static_cast<BYTE*>(buffer);
    read_->count = count;
    if (t.ReadTotalTimeoutMultiplier != 0 || t.ReadTotalTimeoutConstant != 0) {
        ScheduleTimeoutLocked(
            read_, std::uint64_t{t.ReadTotalTimeoutMultiplier} * count + t.ReadTotalTimeoutConstant,
            ERROR_SUCCESS);
    }
    ArmInputLocked();
    return FALSE;
}

BOOL CommPort::Write(const void* buffer, DWORD count, DWORD* written, OVERLAPPED* ov) {
    auto lock = WaitHub::Instance().Lock();
    if (!BeginLocked(write_, ov)) {
        return FALSE;
    }
    if (hungUp_) {
        return FailWith(ERROR_DEVICE_NOT_CONNECTED);
    }
    if (count == 0) {
        CompleteAtOnceLocked(ov, 0, written);
        return TRUE;
    }
    ssize_t n = WriteSome(fd_, buffer, count);
    if (n < 0 && errno != EAGAIN) {
        return FailWith(FailureLocked(errno));
    }
    n = n < 0 ? 0 : n;
    if (static_cast<DWORD>(n) == count) {
        CompleteAtOnceLocked(ov, count, written);
        return TRUE;
    }
    // The rest is copied: the caller's buffer may change before the line has room for it.
    const auto* bytes = static_cast<const BYTE*>(buffer);
    write_ = StartLocked(ov);
    write_->transferred = static_cast<DWORD>(n);
    write_->unwritten.assign(bytes + n, bytes + count);
    const COMMTIMEOUTS& t = timeouts_;
    if (t.WriteTotalTimeoutMultiplier != 0 || t.WriteTotalTimeoutConstant != 0) {
        // A message cut short is a failed write, not a success with a smaller count.
        ScheduleTimeoutLocked(
            write_,
            std::uint64_t{t.WriteTotalTimeoutMultiplier} * count + t.WriteTotalTimeoutConstant,
            ERROR_TIMEOUT);
    }
    ArmOutputLocked();
    return FALSE;
}

void CommPort::ArmInputLocked() {
    if (inputWatch_ == 0 && !hungUp_ && !closing_) {
        inputWatch_ = FdWatcher::Instance().Arm(fd_, POLLIN,
                                                [this](short revents) { OnInputReady(revents); });
    }
}

void CommPort::ArmOutputLocked() {
    if (outputWatch_ == 0 && !hungUp_ && !closing_) {
        outputWatch_ = FdWatcher::Instance().Arm(fd_, POLLOUT,
                                                 [this](short revents) { OnOutputReady(revents); });
    }
}

void CommPort::TryReadLocked() {
    const ssize_t n = input_.Fill(fd_);
    if (n > 0) {
        FinishLocked(read_, ERROR_SUCCESS, input_.Take(read_->buffer, read_->count));
    } else if (n == 0) {
        HangUpLocked();
    } else if (errno != EAGAIN) {
        FinishLocked(read_, FailureLocked(errno), 0);
    }
}

void CommPort::InputLeftLocked() {
    if (input_.Size() > 0 && wait_ && (wait_->watched & EV_RXCHAR) != 0) {
        FinishLocked(wait_, ERROR_SUCCESS, 0, EV_RXCHAR);
    }
}

void CommPort::TryWriteLocked() {
    auto& rest = write_->unwritten;
    const ssize_t n = WriteSome(fd_, rest.data(), rest.size());
    if (n < 0) {
        if (errno != EAGAIN) {
            // FailureLocked may hang up, which finishes the write itself.
            const DWORD error = FailureLocked(errno);
            if (write_) {
                FinishLocked(write_, error, write_->transferred);
            }
        }
        return;
    }
    write_->transferred += static_cast<DWORD>(n);
    rest.erase(rest.begin(), rest.begin() + n);
    if (rest.empty()) {
        FinishLocked(write_, ERROR_SUCCESS, write_->transferred);
    }
}

void CommPort::OnInputReady(short revents) {
    auto lock = WaitHub::Instance().Lock();
    inputWatch_ = 0;
    if (closing_) {
        return;
    }
    if (Disconnected(revents)) {
        HangUpLocked();
        return;
    }
    if (read_) {
        TryReadLocked();
    }
    if (wait_ && (wait_->watched & EV_RXCHAR) != 0) {
        const auto events = PendingEventsLocked(wait_->watched);
        if (!events) {
            return;  // hung up, which dealt with the wait
        }
        if (*events != 0) {
            FinishLocked(wait_, ERROR_SUCCESS, 0, *events);
        }
    }
    if (read_ || (wait_ && (wait_->watched & EV_RXCHAR) != 0)) {
        ArmInputLocked();
    }
}

void CommPort::OnOutputReady(short revents) {
    auto lock = WaitHub::Instance().Lock();
    outputWatch_ = 0;
    if (closing_) {
        return;
    }
    if (Disconnected(revents)) {
        HangUpLocked();
        return;
    }
    if (write_) {
        TryWriteLocked();
    }
    if (write_) {
        ArmOutputLocked();
    }
}

void CommPort::OnModemLinesChanged() {
    auto lock = WaitHub::Instance().Lock();
    if (closing_ || !wait_ || (wait_->watched & EV_CTS) == 0) {
        return;
    }
    if (const DWORD events = CtsEventLocked(); events != 0) {
        FinishLocked(wait_, ERROR_SUCCESS, 0, events);
    }
}

BOOL CommPort::OverlappedResult(std::shared_ptr<CommPort> port, OVERLAPPED* ov, DWORD* transferred,
                                BOOL wait) {
    auto& hub = WaitHub::Instance();
    Operation op;
    {
        auto lock = hub.Lock();
        op = port->FindLocked(ov);
        if (!op) {
            if (transferred != nullptr) {
                *transferred = static_cast<DWORD>(ov->InternalHigh);
            }
            // Still marked pending but unknown to the port: a close abandoned it.
            const DWORD error = ov->Internal == kPending ? ERROR_OPERATION_ABORTED
                                                         : static_cast<DWORD>(ov->Internal);
            return error == ERROR_SUCCESS ? TRUE : FailWith(error);
        }
        if (wait == FALSE) {
            return FailWith(ERROR_IO_INCOMPLETE);
        }
    }
    port.reset();
    auto lock = hub.Lock();
    const std::function<bool()> finished = [&op] { return op->finished; };
    hub.Wait(lock, finished, std::nullopt);
    if (transferred != nullptr) {
        *transferred = op->transferred;
    }
    return op->error == ERROR_SUCCESS ? TRUE : FailWith(op->error);
}

}  // namespace platform
