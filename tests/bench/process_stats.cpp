#include "tests/bench/process_stats.h"

#include <sys/resource.h>

#include <filesystem>
#include <fstream>

namespace {

double Seconds(const timeval& t) {
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
}

// Sum over the threads of the time spent waiting on a run queue (schedstat's second field).
double RunQueueSeconds() {
    double nanoseconds = 0;
    std::error_code ignored;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task", ignored)) {
        std::ifstream stat(task.path() / "schedstat");
        double onCpu = 0;
        double waiting = 0;
        if (stat >> onCpu >> waiting) {
            nanoseconds += waiting;
        }
    }
    return nanoseconds / 1e9;
}

}  // namespace

ProcessStats SampleProcessStats() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return {Seconds(usage.ru_utime) + Seconds(usage.ru_stime), RunQueueSeconds(), usage.ru_nvcsw,
            usage.ru_nivcsw};
}

ProcessStats operator-(const ProcessStats& after, const ProcessStats& before) {
    return {after.cpuSeconds - before.cpuSeconds, after.runQueueSeconds - before.runQueueSeconds,
            after.voluntarySwitches - before.voluntarySwitches,
            after.involuntarySwitches - before.involuntarySwitches};
}
