// Every run of read or set has an end: the exchange's own time-outs (the read's, and the set's
// after it) and a margin for start-up and shut-down. A run that is still going then, because a
// thread hangs on a dying adapter, releases its port and exits with its command's time-out code,
// so that a production line never stalls on one adapter.
#pragma once

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace cli {

class RunDeadline {
public:
    // Armed for read and set; args as Run takes them.
    explicit RunDeadline(const std::vector<std::string>& args);
    ~RunDeadline();
    RunDeadline(const RunDeadline&) = delete;
    RunDeadline& operator=(const RunDeadline&) = delete;

    // The seconds a run of the command may take; 0 for one that touches no sensor.
    static int Seconds(const std::vector<std::string>& args);

private:
    std::mutex mutex_;
    std::condition_variable ended_;
    bool done_ = false;
    std::thread watch_;
};

}  // namespace cli
