// The byte path with the Qt presenter on the receiving side: the program's own entry
// (AfxWinMain) makes the QApplication and the presenter, and the receiver's dialog runs on the
// QApplication's thread, sleeping in Qt's dispatcher. The measurements run on a thread beside it.
// Qt's platform is offscreen unless QT_QPA_PLATFORM says otherwise.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
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
            receiver.WaitShown();
            if (rig_.OpenAndMonitor(receiver, kMonitorCom)) {
                RegisterBytePathBenchmarks("qt", rig_, receiver, false);
                benchmark::RunSpecifiedBenchmarks();
            } else {
                std::fprintf(stderr, "the port did not open\n");
                status = 1;
            }
            rig_.Close(receiver);
            receiver.Run([&] { receiver.EndDialog(IDCANCEL); });
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
