// The byte path with the Qt presenter: AfxWinMain makes the QApplication, the receiver's dialog
// runs on its thread in Qt's dispatcher, and the measurements on a thread beside it.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <thread>

#include "framework/win_main.h"
#include "tests/bench/byte_path.h"

namespace {

class BenchApp : public CWinApp {
public:
    explicit BenchApp(PortRig& rig) : rig_(rig) {}
    int status = 0;

    BOOL InitInstance() override {
        ByteReceiver receiver;
        m_pMainWnd = &receiver;
        std::thread measurements([&] {
            status = RunMonitored(rig_, receiver, kMonitorCom, [&] {
                RegisterBytePathBenchmarks("qt", rig_, receiver, false);
                benchmark::RunSpecifiedBenchmarks();
                return 0;
            });
        });
        receiver.DoModal();
        measurements.join();
        m_pMainWnd = nullptr;
        return FALSE;
    }

private:
    PortRig& rig_;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    try {
        PortRig rig(kRigLines);
        BenchApp app(rig);
        AfxWinMain(argc, argv);
        benchmark::Shutdown();
        return app.status;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}
