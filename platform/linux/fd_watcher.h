// One background thread that watches file descriptors and runs a callback once when one becomes
// ready. Overlapped waits on ports are built on it, so an idle open port costs no CPU. While a
// watched descriptor is ready but its callback has not run yet, the hub counts the system busy.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <thread>

namespace platform {

class FdWatcher {
public:
    using WatchId = std::uint64_t;

    static FdWatcher& Instance();
    ~FdWatcher();

    // Runs onReady(revents) once on the watcher thread when fd reports one of events (or an
    // error or hang-up). The callback may take the hub lock.
    WatchId Arm(int fd, short events, std::function<void(short)> onReady);
    // After it returns the callback has run or never will. Must not be called with the hub
    // lock held, nor from a callback.
    void Disarm(WatchId id);

    bool AnyReady();

private:
    FdWatcher();
    void Run();
    void Kick();

    struct Watch {
        int fd;
        short events;
        std::function<void(short)> onReady;
    };

    std::mutex mutex_;
    std::condition_variable callbackDone_;
    std::map<WatchId, Watch> watches_;
    WatchId nextId_ = 1;
    WatchId running_ = 0;
    bool stopping_ = false;
    int wakeFd_ = -1;
    int busyProbe_ = 0;
    std::thread thread_;
};

}  // namespace platform
