#include "platform/event.h"

#include <memory>
#include <thread>
#include <vector>

#include "platform/handle_table.h"
#include "platform/last_error.h"
#include "platform/wait_hub.h"

namespace platform {
namespace {

// State is guarded by the hub's lock, so a wait's condition can read it.
class Event : public KernelObject {
public:
    Event(bool manualReset, bool signalled) : manualReset(manualReset), signalled(signalled) {}
    const bool manualReset;
    bool signalled;
};

// A thread is waitable like a manual-reset event that is set when it ends.
class ThreadObject final : public Event {
public:
    ThreadObject() : Event(true, false) {}
    DWORD exitCode = STILL_ACTIVE;
};

std::shared_ptr<Event> FindEvent(HANDLE handle) {
    return LookupHandleAs<Event>(handle);
}

std::optional<TimePoint> DeadlineAfter(DWORD milliseconds) {
    if (milliseconds == INFINITE) {
        return std::nullopt;
    }
    return WaitHub::Instance().Now() + std::chrono::milliseconds(milliseconds);
}

}  // namespace

bool SetEventLocked(HANDLE handle) {
    auto event = FindEvent(handle);
    if (event == nullptr) {
        return false;
    }
    event->signalled = true;
    WaitHub::Instance().NotifyLocked();
    return true;
}

bool ResetEventLocked(HANDLE handle) {
    auto event = FindEvent(handle);
    if (event == nullptr) {
        return false;
    }
    event->signalled = false;
    return true;
}

bool IsEventSignalledLocked(HANDLE handle) {
    auto event = FindEvent(handle);
    return event != nullptr && event->signalled;
}

HANDLE CreateThreadHandle() {
    return InsertHandle(std::make_shared<ThreadObject>());
}

void FinishThreadHandle(HANDLE thread, DWORD exitCode) {
    auto object = LookupHandleAs<ThreadObject>(thread);
    if (object == nullptr) {
        return;
    }
    auto lock = WaitHub::Instance().Lock();
    object->exitCode = exitCode;
    object->signalled = true;
    WaitHub::Instance().NotifyLocked();
}

}  // namespace platform

using platform::WaitHub;

BOOL GetExitCodeThread(HANDLE thread, LPDWORD exitCode) {
    auto object = platform::LookupHandleAs<platform::ThreadObject>(thread);
    if (object == nullptr || exitCode == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    auto lock = WaitHub::Instance().Lock();
    *exitCode = object->exitCode;
    return TRUE;
}

HANDLE CreateEventA(LPSECURITY_ATTRIBUTES, BOOL manualReset, BOOL initialState, LPCSTR) {
    return platform::InsertHandle(
        std::make_shared<platform::Event>(manualReset != FALSE, initialState != FALSE));
}

BOOL SetEvent(HANDLE event) {
    auto lock = WaitHub::Instance().Lock();
    if (!platform::SetEventLocked(event)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}

BOOL ResetEvent(HANDLE event) {
    auto lock = WaitHub::Instance().Lock();
    if (!platform::ResetEventLocked(event)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}

DWORD WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds) {
    if (count == 0 || count > MAXIMUM_WAIT_OBJECTS || handles == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return WAIT_FAILED;
    }
    std::vector<std::shared_ptr<platform::Event>> events;
    for (DWORD i = 0; i < count; ++i) {
        auto event = platform::FindEvent(handles[i]);
        if (event == nullptr) {
            SetLastError(ERROR_INVALID_HANDLE);
            return WAIT_FAILED;
        }
        events.push_back(std::move(event));
    }
    DWORD satisfied = WAIT_TIMEOUT;
    const std::function<bool()> ready = [&] {
        if (waitAll != FALSE) {
            for (auto& e : events) {
                if (!e->signalled) {
                    return false;
                }
            }
            satisfied = WAIT_OBJECT_0;
            return true;
        }
        for (DWORD i = 0; i < count; ++i) {
            if (events[i]->signalled) {
                satisfied = WAIT_OBJECT_0 + i;
                return true;
            }
        }
        return false;
    };
    auto& hub = WaitHub::Instance();
    auto lock = hub.Lock();
    if (!hub.Wait(lock, ready, platform::DeadlineAfter(milliseconds))) {
        return WAIT_TIMEOUT;
    }
    // ready() may have been evaluated by another thread since; take the answer afresh.
    ready();
    if (waitAll != FALSE) {
        for (auto& e : events) {
            if (!e->manualReset) {
                e->signalled = false;
            }
        }
    } else if (!events[satisfied - WAIT_OBJECT_0]->manualReset) {
        events[satisfied - WAIT_OBJECT_0]->signalled = false;
    }
    return satisfied;
}

DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
    return WaitForMultipleObjects(1, &handle, FALSE, milliseconds);
}

void Sleep(DWORD milliseconds) {
    if (milliseconds == 0) {
        std::this_thread::yield();
        return;
    }
    auto& hub = WaitHub::Instance();
    auto lock = hub.Lock();
    const std::function<bool()> never = [] { return false; };
    hub.Wait(lock, never, platform::DeadlineAfter(milliseconds));
}

BOOL SwitchToThread() {
    std::this_thread::yield();
    return TRUE;
}
