#include "framework/window_table.h"

#include <atomic>
#include <mutex>
#include <unordered_map>

#include "framework/cwnd.h"
#include "framework/message_queue.h"
#include "platform/wait_hub.h"

namespace framework {
namespace {

struct Table {
    std::mutex mutex;
    std::unordered_map<std::uintptr_t, std::unique_ptr<WindowData>> windows;
    std::uintptr_t next = 0x10000;
    std::atomic<std::size_t> count{0};  // read by waits under the hub lock
};

// Never destroyed: objects attached to windows still open at exit look it up as they go.
Table& Windows() {
    static Table& table = *new Table;
    return table;
}

std::uintptr_t Key(HWND hwnd) {
    return reinterpret_cast<std::uintptr_t>(hwnd);
}

}  // namespace

HWND CreateWindowData(std::unique_ptr<WindowData> data) {
    EnsureThreadQueue();
    auto& table = Windows();
    std::lock_guard lock(table.mutex);
    const std::uintptr_t key = table.next;
    table.next += 2;
    auto hwnd = reinterpret_cast<HWND>(key);
    data->hwnd = hwnd;
    data->thread = std::this_thread::get_id();
    table.windows.emplace(key, std::move(data));
    table.count = table.windows.size();
    return hwnd;
}

WindowData* FindWindowData(HWND hwnd) {
    auto& table = Windows();
    std::lock_guard lock(table.mutex);
    auto it = table.windows.find(Key(hwnd));
    return it == table.windows.end() ? nullptr : it->second.get();
}

bool WindowExists(HWND hwnd) {
    return FindWindowData(hwnd) != nullptr;
}

bool WindowThread(HWND hwnd, std::thread::id* thread) {
    auto& table = Windows();
    std::lock_guard lock(table.mutex);
    auto it = table.windows.find(Key(hwnd));
    if (it == table.windows.end()) {
        return false;
    }
    *thread = it->second->thread;
    return true;
}

std::unique_ptr<WindowData> RemoveWindowData(HWND hwnd) {
    auto& table = Windows();
    std::unique_lock lock(table.mutex);
    auto it = table.windows.find(Key(hwnd));
    if (it == table.windows.end()) {
        return nullptr;
    }
    auto data = std::move(it->second);
    table.windows.erase(it);
    table.count = table.windows.size();
    const bool last = table.windows.empty();
    lock.unlock();
    if (last) {
        auto hubLock = platform::WaitHub::Instance().Lock();
        platform::WaitHub::Instance().NotifyLocked();
    }
    return data;
}

bool AnyWindowLeft() {
    return Windows().count > 0;
}

void PublishWindow(WindowData& window) {
    if (window.created) {
        GetPresenter().WindowChanged(window);
    }
}

}  // namespace framework
