#include "framework/window_table.h"

#include <mutex>
#include <unordered_map>

#include "framework/cwnd.h"
#include "framework/message_queue.h"

namespace framework {
namespace {

struct Table {
    std::mutex mutex;
    std::unordered_map<std::uintptr_t, std::unique_ptr<WindowData>> windows;
    std::uintptr_t next = 0x10000;
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
    std::lock_guard lock(table.mutex);
    auto it = table.windows.find(Key(hwnd));
    if (it == table.windows.end()) {
        return nullptr;
    }
    auto data = std::move(it->second);
    table.windows.erase(it);
    return data;
}

void PublishWindow(WindowData& window) {
    if (window.created) {
        GetPresenter().WindowChanged(window);
    }
}

}  // namespace framework
