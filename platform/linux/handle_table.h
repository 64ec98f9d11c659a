// Kernel objects behind HANDLE values. A handle is an ever-increasing number, never reused, so a
// stale handle fails with ERROR_INVALID_HANDLE instead of reaching another object. Objects are
// shared: one that a thread is waiting on outlives CloseHandle until that wait ends.
#pragma once

#include <memory>

#include "platform/windows_types.h"

namespace platform {

class KernelObject {
public:
    virtual ~KernelObject() = default;
};

HANDLE InsertHandle(std::shared_ptr<KernelObject> object);
std::shared_ptr<KernelObject> LookupHandle(HANDLE handle);
std::shared_ptr<KernelObject> RemoveHandle(HANDLE handle);

template <typename T>
std::shared_ptr<T> LookupHandleAs(HANDLE handle) {
    return std::dynamic_pointer_cast<T>(LookupHandle(handle));
}

}  // namespace platform

BOOL CloseHandle(HANDLE handle);
