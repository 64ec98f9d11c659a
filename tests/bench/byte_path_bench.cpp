// The byte path with the headless presenter, on the real clock, beside Python's per-byte reader.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <exception>

#include "tests/bench/byte_path.h"

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    try {
        PortRig rig(kRigLines);
        const int status = RunMonitoredHeadless(rig, kMonitorCom, [&](ByteReceiver& receiver) {
            RegisterBytePathBenchmarks("headless", rig, receiver, true);
            benchmark::RunSpecifiedBenchmarks();
            return 0;
        });
        benchmark::Shutdown();
        return status;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}
