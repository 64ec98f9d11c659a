#include "framework/message_queue.h"

#include <algorithm>
#include <deque>
#include <map>
#include <memory>
#include <thread>

#include "framework/presenter.h"
#include "framework/window_table.h"
#include "platform/wait_hub.h"

namespace framework {
namespace {

using platform::WaitHub;

struct SentMessage {
    MSG msg;
    LRESULT result = 0;
    bool done = false;
};

struct Timer {
    HWND hwnd;
    UINT_PTR id;
    platform::Duration period;
    platform::TimePoint due;
};

// All fields are guarded by the hub lock, so that wait conditions can read them.
struct ThreadQueue {
    std::deque<SentMessage*> sent;
    std::deque<MSG> posted;
    std::deque<UserInput> input;
    std::vector<Timer> timers;
    bool alive = true;
};

// Never destroyed: a thread's queue ends in a thread_local destructor, and the MinGW runtime runs
// the main thread's after the statics' destructors.
std::map<std::thread::id, std::shared_ptr<ThreadQueue>>& Queues() {
    static auto* queues = new std::map<std::thread::id, std::shared_ptr<ThreadQueue>>;
    return *queues;
}

// Ends the queue when a thread that never called EndThreadQueue exits.
struct QueueOwner {
    std::shared_ptr<ThreadQueue> queue;
    ~QueueOwner() {
        if (queue) {
            EndThreadQueue();
        }
    }
};
thread_local QueueOwner t_queue;

ThreadQueue& CurrentQueueLocked() {
    if (!t_queue.queue) {
        t_queue.queue = std::make_shared<ThreadQueue>();
        Queues()[std::this_thread::get_id()] = t_queue.queue;
    }
    return *t_queue.queue;
}

std::shared_ptr<ThreadQueue> QueueOfLocked(std::thread::id thread) {
    auto it = Queues().find(thread);
    return it == Queues().end() ? nullptr : it->second;
}

const Timer* EarliestTimer(const ThreadQueue& queue) {
    const Timer* earliest = nullptr;
    for (const auto& t : queue.timers) {
        if (earliest == nullptr || t.due < earliest->due) {
            earliest = &t;
        }
    }
    return earliest;
}

bool HasWork(const ThreadQueue& queue, platform::TimePoint now) {
    if (!queue.sent.empty() || !queue.posted.empty() || !queue.input.empty()) {
        return true;
    }
    const Timer* t = EarliestTimer(queue);
    return t != nullptr && t->due <= now;
}

// Handles every message sent from other threads; the lock is released around each handler.
void HandleSentLocked(std::unique_lock<std::mutex>& lock, ThreadQueue& queue) {
    while (!queue.sent.empty()) {
        SentMessage* sent = queue.sent.front();
        queue.sent.pop_front();
        lock.unlock();
        const LRESULT result = DispatchToWindow(sent->msg);
        lock.lock();
        sent->result = result;
        sent->done = true;
        WaitHub::Instance().NotifyLocked();
    }
}

// Takes the next posted message or due timer. Sent messages and user input are handled on
// the way, with the lock released around each.
bool TakeNextLocked(std::unique_lock<std::mutex>& lock, ThreadQueue& queue, MSG* msg) {
    for (;;) {
        HandleSentLocked(lock, queue);
        if (!queue.posted.empty()) {
            *msg = queue.posted.front();
            queue.posted.pop_front();
            return true;
        }
        if (!queue.input.empty()) {
            const UserInput input = queue.input.front();
            queue.input.pop_front();
            lock.unlock();
            ProcessUserInput(input);
            lock.lock();
            continue;
        }
        const auto now = WaitHub::Instance().Now();
        auto* timer = const_cast<Timer*>(EarliestTimer(queue));
        if (timer != nullptr && timer->due <= now) {
            timer->due = now + timer->period;  // missed periods fold into this one
            *msg = MSG{timer->hwnd, WM_TIMER, timer->id, 0, 0};
            return true;
        }
        return false;
    }
}

std::optional<platform::TimePoint> NextTimerDue(const ThreadQueue& queue) {
    const Timer* t = EarliestTimer(queue);
    return t == nullptr ? std::nullopt : std::optional(t->due);
}

void WaitForWorkLocked(std::unique_lock<std::mutex>& lock, ThreadQueue& queue,
                       const std::function<bool()>* done) {
    auto& hub = WaitHub::Instance();
    const std::function<bool()> ready = [&] {
        return HasWork(queue, hub.Now()) || (done != nullptr && (*done)());
    };
    hub.Wait(lock, ready, NextTimerDue(queue), GetPresenter().SleeperForCurrentThread());
}

}  // namespace

void RunMessageLoopUntil(const std::function<bool()>& done) {
    auto lock = WaitHub::Instance().Lock();
    ThreadQueue& queue = CurrentQueueLocked();
    while (!done()) {
        MSG msg;
        if (TakeNextLocked(lock, queue, &msg)) {
            lock.unlock();
            DispatchMessage(&msg);
            lock.lock();
        } else {
            WaitForWorkLocked(lock, queue, &done);
        }
    }
}

void WaitServingSentMessages(const std::function<bool()>& done) {
    auto& hub = WaitHub::Instance();
    auto lock = hub.Lock();
    ThreadQueue& queue = CurrentQueueLocked();
    const std::function<bool()> ready = [&] { return !queue.sent.empty() || done(); };
    for (;;) {
        HandleSentLocked(lock, queue);
        if (done()) {
            return;
        }
        hub.Wait(lock, ready, std::nullopt, GetPresenter().SleeperForCurrentThread());
    }
}

void EnsureThreadQueue() {
    auto lock = WaitHub::Instance().Lock();
    CurrentQueueLocked();
}

void ForgetWindowMessages(HWND hwnd) {
    auto lock = WaitHub::Instance().Lock();
    ThreadQueue& queue = CurrentQueueLocked();
    std::erase_if(queue.timers, [hwnd](const Timer& t) { return t.hwnd == hwnd; });
    std::erase_if(queue.posted, [hwnd](const MSG& m) { return m.hwnd == hwnd; });
}

void EndThreadQueue() {
    auto lock = WaitHub::Instance().Lock();
    if (!t_queue.queue) {
        return;
    }
    auto queue = std::move(t_queue.queue);
    queue->alive = false;
    for (SentMessage* sent : queue->sent) {
        sent->done = true;
    }
    queue->sent.clear();
    Queues().erase(std::this_thread::get_id());
    WaitHub::Instance().NotifyLocked();
}

}  // namespace framework

using framework::WaitHub;

LRESULT SendMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    std::thread::id target;
    if (!framework::WindowThread(hwnd, &target)) {
        return 0;
    }
    const MSG msg{hwnd, message, wParam, lParam, 0};
    if (target == std::this_thread::get_id()) {
        return framework::DispatchToWindow(msg);
    }
    auto& hub = WaitHub::Instance();
    auto lock = hub.Lock();
    auto queue = framework::QueueOfLocked(target);
    if (!queue || !queue->alive) {
        return 0;
    }
    framework::SentMessage sent{msg};
    queue->sent.push_back(&sent);
    hub.NotifyLocked();
    framework::ThreadQueue& own = framework::CurrentQueueLocked();
    const std::function<bool()> ready = [&] { return sent.done || !own.sent.empty(); };
    while (!sent.done) {
        hub.Wait(lock, ready, std::nullopt);
        // Serve what is sent to us meanwhile: the target may be waiting for us.
        framework::HandleSentLocked(lock, own);
    }
    return sent.result;
}

BOOL PostMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    std::thread::id target;
    if (!framework::WindowThread(hwnd, &target)) {
        return FALSE;
    }
    auto& hub = WaitHub::Instance();
    auto lock = hub.Lock();
    auto queue = framework::QueueOfLocked(target);
    if (!queue || !queue->alive) {
        return FALSE;
    }
    queue->posted.push_back(MSG{hwnd, message, wParam, lParam, 0});
    hub.NotifyLocked();
    return TRUE;
}

BOOL PeekMessage(MSG* msg, HWND, UINT, UINT, UINT removeMsg) {
    auto lock = WaitHub::Instance().Lock();
    framework::ThreadQueue& queue = framework::CurrentQueueLocked();
    if (removeMsg == PM_REMOVE) {
        return framework::TakeNextLocked(lock, queue, msg) ? TRUE : FALSE;
    }
    framework::HandleSentLocked(lock, queue);
    if (queue.posted.empty()) {
        return FALSE;
    }
    *msg = queue.posted.front();
    return TRUE;
}

LRESULT DispatchMessage(const MSG* msg) {
    return framework::DispatchToWindow(*msg);
}

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC) {
    if (!framework::WindowExists(hwnd)) {
        return 0;
    }
    auto& hub = WaitHub::Instance();
    auto lock = hub.Lock();
    framework::ThreadQueue& queue = framework::CurrentQueueLocked();
    const auto period = std::chrono::milliseconds(std::max<UINT>(elapse, 10));
    const auto due = hub.Now() + period;
    for (auto& t : queue.timers) {
        if (t.hwnd == hwnd && t.id == id) {
            t.period = period;  // re-arming restarts the period
            t.due = due;
            hub.NotifyLocked();
            return id;
        }
    }
    queue.timers.push_back({hwnd, id, period, due});
    hub.NotifyLocked();
    return id;
}

BOOL KillTimer(HWND hwnd, UINT_PTR id) {
    auto lock = WaitHub::Instance().Lock();
    framework::ThreadQueue& queue = framework::CurrentQueueLocked();
    const auto removed = std::erase_if(
        queue.timers, [&](const framework::Timer& t) { return t.hwnd == hwnd && t.id == id; });
    return removed > 0 ? TRUE : FALSE;
}

void PostUserInput(const UserInput& input) {
    std::thread::id target;
    if (!framework::WindowThread(input.hwnd, &target)) {
        return;
    }
    auto& hub = WaitHub::Instance();
    auto lock = hub.Lock();
    auto queue = framework::QueueOfLocked(target);
    if (queue && queue->alive) {
        queue->input.push_back(input);
        hub.NotifyLocked();
    }
}
