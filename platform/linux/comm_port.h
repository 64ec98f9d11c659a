// An open COM port: its descriptor, settings, event mask, and the overlapped operations pending
// on it. Pending operations complete on the descriptor watcher's thread (input arrived, room to
// write, hang-up), on the comm timer's thread (time-outs), or in calls on the port (purge,
// SetCommMask). All mutable state is guarded by the wait hub's lock, which completions need
// anyway to signal events.
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "platform/comm.h"
#include "platform/comm_input.h"
#include "platform/comm_timer.h"
#include "platform/fd_watcher.h"
#include "platform/handle_table.h"
#include "platform/modem_lines.h"

namespace platform {

// One overlapped operation. Its result stays here after completion for waiters that hold it.
struct CommOperation {
    OVERLAPPED* ov = nullptr;
    HANDLE event = nullptr;
    bool finished = false;
    DWORD error = ERROR_SUCCESS;
    DWORD transferred = 0;
    CommTimer::TimerId timer = 0;
    // An event wait: the events it waits for and where the ones that fired go.
    DWORD watched = 0;
    DWORD* eventMask = nullptr;
    // A read: where the bytes go.
    BYTE* buffer = nullptr;
    DWORD count = 0;
    // A write: the bytes not written yet.
    std::vector<BYTE> unwritten;
};

class CommPort final : public KernelObject {
public:
    // Takes over fd: open, locked and marked exclusive.
    static std::shared_ptr<CommPort> Create(int fd);
    ~CommPort() override;

    BOOL SetTimeouts(const COMMTIMEOUTS& timeouts);
    COMMTIMEOUTS Timeouts();
    BOOL SetMask(DWORD mask);
    DWORD Mask();
    BOOL GetState(DCB& dcb);
    BOOL SetState(const DCB& dcb);
    BOOL Purge(DWORD flags);
    BOOL Status(COMSTAT& status);

    // Overlapped calls: TRUE when done at once, else FALSE with ERROR_IO_PENDING or a failure.
    BOOL WaitEvent(DWORD* eventMask, OVERLAPPED* ov);
    BOOL Read(void* buffer, DWORD count, DWORD* read, OVERLAPPED* ov);
    BOOL Write(const void* buffer, DWORD count, DWORD* written, OVERLAPPED* ov);

    // The result of the operation on ov, waiting for it if asked. Takes the port by value and
    // lets go of it before waiting, so that a close meanwhile ends the wait.
    static BOOL OverlappedResult(std::shared_ptr<CommPort> port, OVERLAPPED* ov, DWORD* transferred,
                                 BOOL wait);

private:
    using Operation = std::shared_ptr<CommOperation>;

    explicit CommPort(int fd);

    Operation FindLocked(const OVERLAPPED* ov) const;
    // Checks shared by the three overlapped calls; resets the event as Windows does.
    bool BeginLocked(const Operation& slot, OVERLAPPED* ov);
    Operation StartLocked(OVERLAPPED* ov);
    void FinishLocked(Operation& slot, DWORD error, DWORD transferred, DWORD events = 0);
    // Finishes the operation with error, keeping what it transferred, when its total time-out ends.
    void ScheduleTimeoutLocked(Operation& slot, std::uint64_t milliseconds, DWORD error);

    // Bytes waiting to be read, the buffered ones first: the kernel is asked only when none
    // are buffered, so that a byte-by-byte reader makes no system call per byte. nullopt when
    // the device is gone (then hung up).
    std::optional<DWORD> InputQueuedLocked();
    // The events of mask that are pending now; nullopt when the device is gone.
    std::optional<DWORD> PendingEventsLocked(DWORD mask);
    DWORD CtsEventLocked();
    void HangUpLocked();
    // A failed system call: EIO on a terminal means the line hung up.
    DWORD FailureLocked(int err);

    void TryReadLocked();
    // A read left bytes buffered: a pending wait for them ends, as the watcher would have ended it.
    void InputLeftLocked();
    void TryWriteLocked();
    void ArmInputLocked();
    void ArmOutputLocked();
    void OnInputReady(short revents);
    void OnOutputReady(short revents);
    void OnModemLinesChanged();

    const int fd_;
    CommInput input_;
    std::unique_ptr<ModemLines> modem_;
    COMMTIMEOUTS timeouts_;
    DWORD mask_ = 0;
    std::optional<bool> lastCts_;
    DWORD rtsControl_ = RTS_CONTROL_ENABLE;
    DWORD dtrControl_ = DTR_CONTROL_ENABLE;
    Operation wait_;
    Operation read_;
    Operation write_;
    FdWatcher::WatchId inputWatch_ = 0;
    FdWatcher::WatchId outputWatch_ = 0;
    bool hungUp_ = false;
    bool hangUpReported_ = false;
    bool closing_ = false;
};

}  // namespace platform
