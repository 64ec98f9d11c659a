// CPU of an open idle port: the port opened and its monitor started as the tool does, then the
// process's CPU time (user and system, every thread) over a stretch of real time with nothing
// arriving. Prints one line per run: "idle_cpu_percent <percent of one core> ...".
//
// Usage: kaldo-bench-idle-cpu [runs] [seconds per run]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <thread>

#include "tests/bench/port_rig.h"
#include "tests/bench/process_stats.h"
#include "tests/support/ui_thread.h"

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::atoi(argv[1]) : 3;
    const int seconds = argc > 2 ? std::atoi(argv[2]) : 10;
    try {
        PortRig rig(1);
        CWinApp app;
        ByteReceiver receiver;
        app.m_pMainWnd = &receiver;
        UiThread ui([&] { receiver.DoModal(); });
        receiver.WaitShown();
        const bool opened = rig.OpenAndMonitor(receiver, 1);
        if (opened) {
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
        } else {
            std::fprintf(stderr, "the port did not open\n");
        }
        rig.Close(receiver);
        receiver.Run([&] { receiver.EndDialog(IDCANCEL); });
        ui.Join();
        framework::WaitForWorkerThreads();
        return opened ? 0 : 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}
