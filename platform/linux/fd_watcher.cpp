#include "platform/fd_watcher.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <vector>

#include "platform/system_call.h"
#include "platform/wait_hub.h"

namespace platform {

FdWatcher& FdWatcher::Instance() {
    static FdWatcher watcher;
    return watcher;
}

FdWatcher::FdWatcher() : wakeFd_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
    thread_ = std::thread([this] { Run(); });
    busyProbe_ = WaitHub::Instance().AddBusyProbe([this] { return AnyReady(); });
}

FdWatcher::~FdWatcher() {
    WaitHub::Instance().RemoveSource(busyProbe_);
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    Kick();
    thread_.join();
    close(wakeFd_);
}

void FdWatcher::Kick() {
    const std::uint64_t one = 1;
    [[maybe_unused]] auto n = write(wakeFd_, &one, sizeof one);
}

FdWatcher::WatchId FdWatcher::Arm(int fd, short events, std::function<void(short)> onReady) {
    WatchId id = 0;
    {
        std::lock_guard lock(mutex_);
        id = nextId_++;
        watches_.emplace(id, Watch{fd, events, std::move(onReady)});
    }
    Kick();
    return id;
}

void FdWatcher::Disarm(WatchId id) {
    {
        std::unique_lock lock(mutex_);
        watches_.erase(id);
        callbackDone_.wait(lock, [&] { return running_ != id; });
    }
    // A poll in progress holds a reference to the open file: the watcher must let go of it, or
    // closing the descriptor would leave the device open until the watcher next wakes.
    Kick();
}

bool FdWatcher::AnyReady() {
    std::vector<pollfd> fds;
    {
        std::lock_guard lock(mutex_);
        if (running_ != 0) {
            return true;  // a callback is about to signal its waiter
        }
        for (auto& [id, w] : watches_) {
            fds.push_back({w.fd, w.events, 0});
        }
    }
    if (fds.empty()) {
        return false;
    }
    const int n = RetryInterrupted([&] { return poll(fds.data(), fds.size(), 0); });
    if (n > 0) {
        // Ready here but not seen by the watcher: a pseudo-terminal can become writable without
        // waking its pollers (room freed in its buffer wakes nobody until the other side reads).
        // Make the watcher look again.
        Kick();
    }
    return n > 0;
}

void FdWatcher::Run() {
    std::vector<pollfd> fds;
    std::vector<WatchId> ids;
    for (;;) {
        fds.clear();
        ids.clear();
        {
            std::lock_guard lock(mutex_);
            if (stopping_) {
                return;
            }
            fds.push_back({wakeFd_, POLLIN, 0});
            for (auto& [id, w] : watches_) {
                fds.push_back({w.fd, w.events, 0});
                ids.push_back(id);
            }
        }
        if (poll(fds.data(), fds.size(), -1) < 0) {
            continue;
        }
        if (fds[0].revents != 0) {
            std::uint64_t drained = 0;
            [[maybe_unused]] auto n = read(wakeFd_, &drained, sizeof drained);
        }
        for (std::size_t i = 1; i < fds.size(); ++i) {
            if (fds[i].revents == 0) {
                continue;
            }
            std::function<void(short)> callback;
            {
                std::lock_guard lock(mutex_);
                auto it = watches_.find(ids[i - 1]);
                if (it == watches_.end()) {
                    continue;
                }
                callback = std::move(it->second.onReady);
                watches_.erase(it);
                running_ = ids[i - 1];
            }
            callback(fds[i].revents);
            {
                std::lock_guard lock(mutex_);
                running_ = 0;
            }
            callbackDone_.notify_all();
        }
    }
}

}  // namespace platform
