#include "tests/bench/byte_path.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <vector>

#include "tests/bench/process_stats.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t kFloodSize = 300'000;
// A flood that makes no progress for this long has lost bytes.
constexpr auto kQuiet = std::chrono::seconds(5);

const std::vector<std::uint8_t>& Flood() {
    static const std::vector<std::uint8_t> bytes = FloodBytes(kFloodSize);
    return bytes;
}

// The figures of a flood that lost or changed bytes do not count.
bool CheckFlood(benchmark::State& state, const std::vector<std::uint8_t>& received) {
    if (received == Flood()) {
        return true;
    }
    const auto at =
        std::mismatch(received.begin(), received.end(), Flood().begin(), Flood().end()).first -
        received.begin();
    state.SkipWithError(("got " + std::to_string(received.size()) + " of " +
                         std::to_string(kFloodSize) + " bytes, first difference at " +
                         std::to_string(at))
                            .c_str());
    return false;
}

// Where the time went, per byte: CPU time and the cores it kept busy, time the threads waited
// for a core, and the context switches.
void ReportStats(benchmark::State& state, const ProcessStats& stats, double wallSeconds) {
    const double perByte = 1.0 / static_cast<double>(kFloodSize);
    state.counters["cpu_cores"] = stats.cpuSeconds / wallSeconds;
    state.counters["cpu_us_per_byte"] = stats.cpuSeconds * 1e6 * perByte;
    state.counters["runq_wait_cores"] = stats.runQueueSeconds / wallSeconds;
    state.counters["vcs_per_byte"] = static_cast<double>(stats.voluntarySwitches) * perByte;
    state.counters["ivcs_per_byte"] = static_cast<double>(stats.involuntarySwitches) * perByte;
}

// One reader taking a flood: start() readies it, finish() waits and returns when the last byte
// came (nullopt if not all did), take() gives what it got. A reader in another process has no
// CPU figures here.
struct Reader {
    std::function<void()> start;
    std::function<std::optional<Clock::time_point>()> finish;
    std::function<std::vector<std::uint8_t>()> take;
    bool inProcess = true;
};

void MeasureFlood(benchmark::State& state, FloodLine& line, const Reader& reader) {
    for (auto _ : state) {
        try {
            reader.start();
        } catch (const std::exception& e) {
            state.SkipWithError(e.what());
            break;
        }
        const ProcessStats before = SampleProcessStats();
        const auto start = Clock::now();
        FloodWriter writer(line, Flood());
        const auto end = reader.finish();
        const int writeError = end ? writer.Join() : writer.Abandon();
        const double wall =
            std::chrono::duration<double>(end.value_or(Clock::now()) - start).count();
        state.SetIterationTime(wall);
        if (reader.inProcess) {
            ReportStats(state, SampleProcessStats() - before, wall);
        }
        if (writeError != 0 || !CheckFlood(state, reader.take())) {
            break;
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kFloodSize));
}

benchmark::internal::Benchmark* Register(const std::string& name,
                                         std::function<void(benchmark::State&)> run) {
    return benchmark::RegisterBenchmark(name.c_str(), std::move(run))
        ->UseManualTime()
        ->Iterations(1)
        ->Repetitions(3)
        ->Unit(benchmark::kMillisecond);
}

}  // namespace

void RegisterBytePathBenchmarks(const std::string& presenter, PortRig& rig, ByteReceiver& receiver,
                                bool withPython) {
    Register("BytePath/" + presenter, [&rig, &receiver](benchmark::State& state) {
        MeasureFlood(state, rig.Line(kMonitorCom),
                     {[&] { receiver.Run([&] { receiver.Expect(kFloodSize); }); },
                      [&]() -> std::optional<Clock::time_point> {
                          if (receiver.WaitForAll(kQuiet) != kFloodSize) {
                              return std::nullopt;
                          }
                          return receiver.LastByteTime();
                      },
                      [&] { return receiver.TakeReceived(); }});
    });
    if (!withPython) {
        return;
    }
    // python_per_byte_reader.py says "ready", then "done N" and the N bytes. Debian's
    // interpreter is the one python3-serial installs for; -P keeps the source tree's serial/
    // folder from shadowing the serial module.
    Register("PythonPerByteReader", [&rig](benchmark::State& state) {
        const std::string command =
            "/usr/bin/python3 -P '" KALDO_BENCH_DIR "/python_per_byte_reader.py' '" +
            rig.Line(kPythonCom).LinkPath() + "' " + std::to_string(kFloodSize);
        std::unique_ptr<FILE, int (*)(FILE*)> python(nullptr, pclose);
        std::size_t got = 0;
        const auto readLine = [&] {
            char line[64] = {};
            return std::string(python && std::fgets(line, sizeof line, python.get()) ? line : "");
        };
        MeasureFlood(state, rig.Line(kPythonCom),
                     {[&] {
                          python.reset(popen(command.c_str(), "re"));
                          if (readLine() != "ready\n") {
                              throw std::runtime_error("the Python reader did not start");
                          }
                      },
                      [&]() -> std::optional<Clock::time_point> {
                          const std::string line = readLine();
                          got = line.rfind("done ", 0) == 0 ? std::stoul(line.substr(5)) : 0;
                          return got == kFloodSize ? std::optional(Clock::now()) : std::nullopt;
                      },
                      [&] {
                          std::vector<std::uint8_t> bytes(got);
                          bytes.resize(std::fread(bytes.data(), 1, got, python.get()));
                          return bytes;
                      },
                      false});
    });
}
