#include "tests/bench/byte_path.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <vector>

#include "platform/comm.h"
#include "serial/serial_port.h"
#include "tests/bench/flood.h"
#include "tests/bench/process_stats.h"
#include "tests/bench/python_reader.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t kFloodSize = 300'000;
constexpr std::size_t kSendCount = 200'000;
// A flood that makes no progress for this long has lost bytes.
constexpr auto kQuiet = std::chrono::seconds(5);
constexpr DWORD kQuietMs = 5000;

const std::vector<std::uint8_t>& Flood() {
    static const std::vector<std::uint8_t> bytes = FloodBytes(kFloodSize);
    return bytes;
}

// Where the received bytes first differ from the flood, if they do.
std::optional<std::size_t> FirstDifference(const std::vector<std::uint8_t>& received) {
    const auto& flood = Flood();
    for (std::size_t i = 0; i < flood.size(); ++i) {
        if (i >= received.size() || received[i] != flood[i]) {
            return i;
        }
    }
    if (received.size() != flood.size()) {
        return flood.size();
    }
    return std::nullopt;
}

// Checks count and content; the figures of a flood that lost or changed bytes do not count.
bool CheckFlood(benchmark::State& state, const std::vector<std::uint8_t>& received) {
    if (const auto at = FirstDifference(received)) {
        state.SkipWithError(("got " + std::to_string(received.size()) + " of " +
                             std::to_string(kFloodSize) + " bytes, first difference at " +
                             std::to_string(*at))
                                .c_str());
        return false;
    }
    return true;
}

// Where the time went, per byte handed over: CPU time and how many cores it kept busy, time the
// threads waited for a core, and the context switches.
void ReportStats(benchmark::State& state, const ProcessStats& stats, double wallSeconds,
                 std::size_t bytes) {
    const double perByte = 1.0 / static_cast<double>(bytes);
    state.counters["cpu_cores"] = stats.cpuSeconds / wallSeconds;
    state.counters["cpu_us_per_byte"] = stats.cpuSeconds * 1e6 * perByte;
    state.counters["runq_wait_cores"] = stats.runQueueSeconds / wallSeconds;
    state.counters["vcs_per_byte"] = static_cast<double>(stats.voluntarySwitches) * perByte;
    state.counters["ivcs_per_byte"] = static_cast<double>(stats.involuntarySwitches) * perByte;
}

void MonitorFlood(benchmark::State& state, PortRig& rig, ByteReceiver& receiver) {
    for (auto _ : state) {
        receiver.Run([&] { receiver.Expect(kFloodSize); });
        const ProcessStats before = SampleProcessStats();
        const auto start = Clock::now();
        FloodWriter writer(rig.Line(kMonitorCom), Flood());
        const bool complete = receiver.WaitForAll(kQuiet) == kFloodSize;
        const auto end = complete ? receiver.LastByteTime() : Clock::now();
        const int writeError = complete ? writer.Join() : writer.Abandon();
        const double wall = std::chrono::duration<double>(end - start).count();
        state.SetIterationTime(wall);
        ReportStats(state, SampleProcessStats() - before, wall, kFloodSize);
        if (writeError != 0 || !CheckFlood(state, receiver.TakeReceived())) {
            break;
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kFloodSize));
}

void PythonFlood(benchmark::State& state, PortRig& rig) {
    for (auto _ : state) {
        std::optional<PythonReader> reader;
        try {
            reader.emplace(rig.Line(kPythonCom).LinkPath(), kFloodSize);
        } catch (const std::exception& e) {
            state.SkipWithError(e.what());
            break;
        }
        const auto start = Clock::now();
        FloodWriter writer(rig.Line(kPythonCom), Flood());
        const bool complete = reader->WaitDone() == kFloodSize;
        const auto end = Clock::now();
        const int writeError = complete ? writer.Join() : writer.Abandon();
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
        if (writeError != 0 || !CheckFlood(state, reader->TakeReceived())) {
            break;
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kFloodSize));
}

// The hand-off alone: this thread sends the receiver one message per byte, as the monitor does.
void CrossThreadSend(benchmark::State& state, ByteReceiver& receiver) {
    const HWND hwnd = receiver.GetSafeHwnd();
    for (auto _ : state) {
        receiver.Run([&] { receiver.Expect(kSendCount); });
        const ProcessStats before = SampleProcessStats();
        const auto start = Clock::now();
        for (std::size_t i = 0; i < kSendCount; ++i) {
            ::SendMessage(hwnd, UWM_PORT_RXBYTE, Flood()[i], kMonitorCom);
        }
        const double wall = std::chrono::duration<double>(Clock::now() - start).count();
        state.SetIterationTime(wall);
        ReportStats(state, SampleProcessStats() - before, wall, kSendCount);
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kSendCount));
}

// The port side alone: the monitor's status query and 1-byte read per byte, on this thread, with
// no hand-off; an event wait when the queue is empty.
class DirectReader {
public:
    DirectReader() {
        port_ =
            CreateFileA(("COM" + std::to_string(kDirectCom)).c_str(), GENERIC_READ | GENERIC_WRITE,
                        0, nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
        ov_.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        COMMTIMEOUTS timeouts{1000, 1000, 1000, 1000, 1000};
        DCB dcb{};
        GetCommState(port_, &dcb);
        BuildCommDCBA("baud=115200 parity=N data=8 stop=1", &dcb);
        ok_ = port_ != INVALID_HANDLE_VALUE && SetCommTimeouts(port_, &timeouts) &&
              SetCommMask(port_, EV_RXCHAR) && SetCommState(port_, &dcb);
    }
    ~DirectReader() {
        if (port_ != INVALID_HANDLE_VALUE) {
            CloseHandle(port_);
        }
        CloseHandle(ov_.hEvent);
    }
    DirectReader(const DirectReader&) = delete;
    DirectReader& operator=(const DirectReader&) = delete;

    bool Ok() const { return ok_; }

    std::vector<std::uint8_t> Read(std::size_t count) {
        std::vector<std::uint8_t> bytes;
        bytes.reserve(count);
        while (bytes.size() < count) {
            Drain(bytes);
            if (bytes.size() < count && !WaitForInput()) {
                break;
            }
        }
        return bytes;
    }

private:
    void Drain(std::vector<std::uint8_t>& bytes) {
        for (;;) {
            COMSTAT comstat{};
            DWORD errors = 0;
            if (!ClearCommError(port_, &errors, &comstat) || comstat.cbInQue == 0) {
                return;
            }
            BYTE byte = 0;
            DWORD read = 0;
            BOOL ok = ReadFile(port_, &byte, 1, &read, &ov_);
            if (!ok && GetLastError() == ERROR_IO_PENDING) {
                ok = GetOverlappedResult(port_, &ov_, &read, TRUE);
            }
            if (!ok) {
                return;
            }
            if (read == 1) {
                bytes.push_back(byte);
            }
        }
    }
    bool WaitForInput() {
        DWORD events = 0;
        if (WaitCommEvent(port_, &events, &ov_)) {
            return true;
        }
        return GetLastError() == ERROR_IO_PENDING &&
               WaitForSingleObject(ov_.hEvent, kQuietMs) == WAIT_OBJECT_0;
    }

    HANDLE port_ = INVALID_HANDLE_VALUE;
    OVERLAPPED ov_{};
    bool ok_ = false;
};

void PortPerByteRead(benchmark::State& state, PortRig& rig) {
    DirectReader reader;
    if (!reader.Ok()) {
        state.SkipWithError("cannot open the port");
        return;
    }
    for (auto _ : state) {
        const ProcessStats before = SampleProcessStats();
        const auto start = Clock::now();
        FloodWriter writer(rig.Line(kDirectCom), Flood());
        const auto received = reader.Read(kFloodSize);
        const double wall = std::chrono::duration<double>(Clock::now() - start).count();
        const int writeError = received.size() == kFloodSize ? writer.Join() : writer.Abandon();
        state.SetIterationTime(wall);
        ReportStats(state, SampleProcessStats() - before, wall, kFloodSize);
        if (writeError != 0 || !CheckFlood(state, received)) {
            break;
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kFloodSize));
}

benchmark::internal::Benchmark* Repeated(benchmark::internal::Benchmark* bench) {
    return bench->UseManualTime()->Iterations(1)->Repetitions(3)->Unit(benchmark::kMillisecond);
}

}  // namespace

void RegisterBytePathBenchmarks(const std::string& presenter, PortRig& rig, ByteReceiver& receiver,
                                bool withComparisons) {
    Repeated(benchmark::RegisterBenchmark(
        ("BytePath/" + presenter).c_str(),
        [&rig, &receiver](benchmark::State& state) { MonitorFlood(state, rig, receiver); }));
    Repeated(benchmark::RegisterBenchmark(
        ("HandOff/" + presenter).c_str(),
        [&receiver](benchmark::State& state) { CrossThreadSend(state, receiver); }));
    if (!withComparisons) {
        return;
    }
    Repeated(benchmark::RegisterBenchmark(
        "PortReadPerByte", [&rig](benchmark::State& state) { PortPerByteRead(state, rig); }));
    Repeated(benchmark::RegisterBenchmark(
        "PythonPerByteReader", [&rig](benchmark::State& state) { PythonFlood(state, rig); }));
}
