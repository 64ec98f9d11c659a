// The comm functions: argument checks and handle look-up in front of CommPort.
#include "platform/comm.h"

#include <memory>

#include "platform/comm_port.h"
#include "platform/line_definition.h"

namespace {

using platform::CommPort;

std::shared_ptr<CommPort> FindPort(HANDLE handle) {
    auto port = platform::LookupHandleAs<CommPort>(handle);
    if (port == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
    }
    return port;
}

// Without an OVERLAPPED the call waits for its own completion, on a record of its own.
template <typename Start>
BOOL Run(std::shared_ptr<CommPort> port, LPOVERLAPPED overlapped, LPDWORD transferred,
         Start start) {
    if (overlapped != nullptr) {
        return start(*port, overlapped);
    }
    OVERLAPPED own;
    if (start(*port, &own) != FALSE) {
        return TRUE;
    }
    if (GetLastError() != ERROR_IO_PENDING) {
        return FALSE;
    }
    return CommPort::OverlappedResult(std::move(port), &own, transferred, TRUE);
}

}  // namespace

BOOL SetCommTimeouts(HANDLE handle, LPCOMMTIMEOUTS timeouts) {
    if (timeouts == nullptr) {
        return FailWith(ERROR_INVALID_PARAMETER);
    }
    auto port = FindPort(handle);
    return port ? port->SetTimeouts(*timeouts) : FALSE;
}

BOOL GetCommTimeouts(HANDLE handle, LPCOMMTIMEOUTS timeouts) {
    if (timeouts == nullptr) {
        return FailWith(ERROR_INVALID_PARAMETER);
    }
    auto port = FindPort(handle);
    if (!port) {
        return FALSE;
    }
    *timeouts = port->Timeouts();
    return TRUE;
}

BOOL SetCommMask(HANDLE handle, DWORD mask) {
    auto port = FindPort(handle);
    return port ? port->SetMask(mask) : FALSE;
}

BOOL GetCommMask(HANDLE handle, LPDWORD mask) {
    if (mask == nullptr) {
        return FailWith(ERROR_INVALID_PARAMETER);
    }
    auto port = FindPort(handle);
    if (!port) {
        return FALSE;
    }
    *mask = port->Mask();
    return TRUE;
}

BOOL GetCommState(HANDLE handle, LPDCB dcb) {
    if (dcb == nullptr) {
        return FailWith(ERROR_INVALID_PARAMETER);
    }
    auto port = FindPort(handle);
    return port ? port->GetState(*dcb) : FALSE;
}

BOOL BuildCommDCBA(LPCSTR definition, LPDCB dcb) {
    if (definition == nullptr || dcb == nullptr ||
        !platform::ParseLineDefinition(definition, *dcb)) {
        return FailWith(ERROR_INVALID_PARAMETER);
    }
    return TRUE;
}

BOOL SetCommState(HANDLE handle, LPDCB dcb) {
    if (dcb == nullptr) {
        return FailWith(ERROR_INVALID_PARAMETER);
    }
    auto port = FindPort(handle);
    return port ? port->SetState(*dcb) : FALSE;
}

BOOL PurgeComm(HANDLE handle, DWORD flags) {
    auto port = FindPort(handle);
    return port ? port->Purge(flags) : FALSE;
}

BOOL ClearCommError(HANDLE handle, LPDWORD errors, LPCOMSTAT status) {
    auto port = FindPort(handle);
    COMSTAT current;
    if (!port || port->Status(current) == FALSE) {
        return FALSE;
    }
    if (errors != nullptr) {
        *errors = 0;
    }
    if (status != nullptr) {
        *status = current;
    }
    return TRUE;
}

BOOL WaitCommEvent(HANDLE handle, LPDWORD eventMask, LPOVERLAPPED overlapped) {
    if (eventMask == nullptr) {
        return FailWith(ERROR_INVALID_PARAMETER);
    }
    auto port = FindPort(handle);
    if (!port) {
        return FALSE;
    }
    return Run(std::move(port), overlapped, nullptr,
               [eventMask](CommPort& p, LPOVERLAPPED ov) { return p.WaitEvent(eventMask, ov); });
}

BOOL ReadFile(HANDLE handle, LPVOID buffer, DWORD count, LPDWORD read, LPOVERLAPPED overlapped) {
    if (buffer == nullptr && count != 0) {
        return FailWith(ERROR_INVALID_PARAMETER);
    }
    auto port = FindPort(handle);
    if (!port) {
        return FALSE;
    }
    return Run(std::move(port), overlapped, read,
               [=](CommPort& p, LPOVERLAPPED ov) { return p.Read(buffer, count, read, ov); });
}

BOOL WriteFile(HANDLE handle, LPCVOID buffer, DWORD count, LPDWORD written,
               LPOVERLAPPED overlapped) {
    if (buffer == nullptr && count != 0) {
        return FailWith(ERROR_INVALID_PARAMETER);
    }
    auto port = FindPort(handle);
    if (!port) {
        return FALSE;
    }
    return Run(std::move(port), overlapped, written,
               [=](CommPort& p, LPOVERLAPPED ov) { return p.Write(buffer, count, written, ov); });
}

BOOL GetOverlappedResult(HANDLE handle, LPOVERLAPPED overlapped, LPDWORD transferred, BOOL wait) {
    if (overlapped == nullptr) {
        return FailWith(ERROR_INVALID_PARAMETER);
    }
    auto port = FindPort(handle);
    if (!port) {
        return FALSE;
    }
    return CommPort::OverlappedResult(std::move(port), overlapped, transferred, wait);
}
