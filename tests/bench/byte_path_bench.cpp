// The byte path with the headless presenter: the receiver's dialog runs on a user-interface
// thread of its own, on the real clock. Python's per-byte reader and the two halves of the
// monitor's work run in the same process, side by side.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <exception>

#include "platform/wait_hub.h"
#include "tests/bench/byte_path.h"
#include "tests/support/ui_thread.h"

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    int status = 0;
    try {
        PortRig rig(kRigLines);
        CWinApp app;
        ByteReceiver receiver;
        app.m_pMainWnd = &receiver;
        UiThread ui([&] { receiver.DoModal(); });
        receiver.WaitShown();
        if (rig.OpenAndMonitor(receiver, kMonitorCom)) {
            RegisterBytePathBenchmarks("headless", rig, receiver, true);
            benchmark::RunSpecifiedBenchmarks();
        } else {
            std::fprintf(stderr, "the port did not open\n");
            status = 1;
        }
        rig.Close(receiver);
        receiver.Run([&] { receiver.EndDialog(IDCANCEL); });
        ui.Join();
        framework::WaitForWorkerThreads();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    benchmark::Shutdown();
    return status;
}
