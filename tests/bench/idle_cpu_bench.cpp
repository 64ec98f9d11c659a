// CPU of an open idle port: the port opened and monitored as the tool does, then the process's
// CPU time over a stretch of real time with nothing arriving. Prints one line per run.
//
// Usage: kaldo-bench-idle-cpu [runs] [seconds per run]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <thread>

#include "tests/bench/port_rig.h"
#include "tests/bench/process_stats.h"

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::atoi(argv[1]) : 3;
    const int seconds = argc > 2 ? std::atoi(argv[2]) : 10;
    try {
        PortRig rig(1);
        return RunMonitoredHeadless(rig, 1, [&](ByteReceiver&) {
            for (int run = 0; run < runs; ++run) {
                const ProcessStats before = SampleProcessStats();
                const auto start = std::chrono::steady_clock::now();
                std::this_thread::sleep_for(std::chrono::seconds(seconds));
                const double wall =
                    std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
                const ProcessStats used = SampleProcessStats() - before;
                std::printf(
                    "idle_cpu_percent %.4f context_switches_per_s %.1f wall_s %.2f\n",
                    100.0 * used.cpuSeconds / wall,
                    static_cast<double>(used.voluntarySwitches + used.involuntarySwitches) / wall,
                    wall);
                std::fflush(stdout);
            }
            return 0;
        });
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}
