// Test support for the GUI drivers: polling with patience, and a call run on the thread that
// draws (through that thread's own way of taking work) and waited for. A call the thread never
// takes is dropped, so the caller's captures may go.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace kaldo_test {

// Hands a task to the thread that draws.
using PostToThread = std::function<void(std::function<void()>)>;

// Polls cond until it holds or the patience runs out.
template <typename Cond, typename Patience>
bool PollFor(Cond cond, Patience patience) {
    const auto deadline = std::chrono::steady_clock::now() + patience;
    while (!cond()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

// Runs fn on that thread and waits for it; false (and a failure) if the thread did not take it.
template <typename Patience>
bool CallOnThread(const PostToThread& post, const std::function<void()>& fn, Patience patience,
                  const std::string& thread) {
    struct Call {
        std::mutex mutex;
        std::condition_variable done;
        bool started = false, finished = false, dropped = false;
    };
    auto call = std::make_shared<Call>();
    post([call, &fn] {
        {
            std::lock_guard lock(call->mutex);
            if (call->dropped) {
                return;  // the caller gave up; fn's captures may be gone
            }
            call->started = true;
        }
        fn();
        std::lock_guard lock(call->mutex);
        call->finished = true;
        call->done.notify_all();
    });
    std::unique_lock lock(call->mutex);
    if (!call->done.wait_for(lock, patience, [&] { return call->finished; })) {
        if (!call->started) {
            call->dropped = true;
            ADD_FAILURE() << "the " << thread << " thread did not take the call";
            return false;
        }
        call->done.wait(lock, [&] { return call->finished; });
    }
    return true;
}

// Waits until cond holds, asking it on that thread.
template <typename Patience>
bool WaitOnThread(const PostToThread& post, const std::function<bool()>& cond, Patience patience,
                  const std::string& thread) {
    bool taken = true;
    const bool met = PollFor(
        [&] {
            bool result = false;
            taken = CallOnThread(
                post, [&] { result = cond(); }, patience, thread);
            return !taken || result;
        },
        patience);
    return taken && met;
}

}  // namespace kaldo_test
