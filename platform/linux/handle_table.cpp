#include "platform/handle_table.h"

#include <mutex>
#include <unordered_map>

#include "platform/last_error.h"

namespace platform {
namespace {

struct HandleTable {
    std::mutex mutex;
    std::unordered_map<std::uintptr_t, std::shared_ptr<KernelObject>> objects;
    std::uintptr_t next = 0x100;
};

HandleTable& Table() {
    static HandleTable table;
    return table;
}

std::uintptr_t Key(HANDLE handle) {
    return reinterpret_cast<std::uintptr_t>(handle);
}

}  // namespace

HANDLE InsertHandle(std::shared_ptr<KernelObject> object) {
    auto& table = Table();
    std::lock_guard lock(table.mutex);
    const std::uintptr_t key = table.next;
    table.next += 4;
    table.objects.emplace(key, std::move(object));
    return reinterpret_cast<HANDLE>(key);
}

std::shared_ptr<KernelObject> LookupHandle(HANDLE handle) {
    auto& table = Table();
    std::lock_guard lock(table.mutex);
    auto it = table.objects.find(Key(handle));
    return it == table.objects.end() ? nullptr : it->second;
}

std::shared_ptr<KernelObject> RemoveHandle(HANDLE handle) {
    auto& table = Table();
    std::lock_guard lock(table.mutex);
    auto it = table.objects.find(Key(handle));
    if (it == table.objects.end()) {
        return nullptr;
    }
    auto object = std::move(it->second);
    table.objects.erase(it);
    return object;
}

}  // namespace platform

BOOL CloseHandle(HANDLE handle) {
    // Destroy the object outside the table's lock: a port's destructor does I/O.
    auto object = platform::RemoveHandle(handle);
    if (object == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}
