// The byte path: a flood on a pseudo-terminal through the tool's port monitor, one synchronous
// message per byte, to a dialog's handler, beside the same flood through Python's per-byte
// reader (let repetitions take turns: --benchmark_enable_random_interleaving). With --qt the
// dialog runs in Qt's dispatcher on the main thread. --idle prints instead the CPU of the
// monitored port with nothing arriving. Exits with 1 if a flood lost or changed a byte.
//
// Usage: kaldo-bench-byte-path [--qt] [--bytes=N] [benchmark flags]
//        kaldo-bench-byte-path --idle [runs] [seconds per run]
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <thread>

#include "framework/dialog_template.h"
#include "platform/wait_hub.h"
#include "serial/serial_port.h"
#include "tests/bench/port_lines.h"
#include "tests/support/ui_thread.h"
#ifdef KALDO_BENCH_QT
#include "framework/win_main.h"
#endif

namespace {

using Clock = std::chrono::steady_clock;
using Bytes = std::vector<std::uint8_t>;
constexpr UINT kReceiverDialog = 951;
constexpr UINT kRunHere = WM_APP + 20;
// A flood that makes no progress for this long has lost bytes.
constexpr auto kQuiet = std::chrono::seconds(5);

std::size_t g_floodSize = 300'000;
bool g_lost = false;

// A fixed pseudo-random sequence (xorshift32): a lost, doubled or reordered byte shows.
const Bytes& Flood() {
    static const Bytes bytes = [] {
        Bytes b(g_floodSize);
        std::uint32_t s = 0x2545F491u;
        for (auto& byte : b) {
            s ^= s << 13;
            s ^= s >> 17;
            s ^= s << 5;
            byte = static_cast<std::uint8_t>(s >> 24);
        }
        return b;
    }();
    return bytes;
}

// CPU time of all threads, and the time they waited for a core (the machine's other load).
std::pair<double, double> CpuAndRunQueueSeconds() {
    rusage r{};
    getrusage(RUSAGE_SELF, &r);
    double waited = 0;
    std::error_code ignored;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task", ignored)) {
        std::ifstream stat(task.path() / "schedstat");
        double onCpu = 0, ns = 0;
        waited += (stat >> onCpu >> ns) ? ns / 1e9 : 0;
    }
    return {static_cast<double>(r.ru_utime.tv_sec + r.ru_stime.tv_sec) +
                static_cast<double>(r.ru_utime.tv_usec + r.ru_stime.tv_usec) / 1e6,
            waited};
}

// The port's owner dialog, as the tool's main dialog is; other threads drive it.
class ByteReceiver : public CDialog {
public:
    ByteReceiver() : CDialog(kReceiverDialog) {}

    // Runs f on the dialog's thread once the dialog is up.
    void Run(std::function<void()> f) {
        shown_.wait(false);
        ::SendMessage(GetSafeHwnd(), kRunHere, 0, reinterpret_cast<LPARAM>(&f));
    }
    // What came once the whole flood did, with the time, or once nothing came for kQuiet. It
    // polls: the handler stays as light as the tool's own.
    std::pair<std::optional<Clock::time_point>, Bytes> Receive() {
        auto progress = Clock::now();
        for (std::size_t seen = 0; count_ < g_floodSize && Clock::now() - progress < kQuiet;) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            progress = count_ != seen ? Clock::now() : progress;
            seen = count_;
        }
        Bytes received;
        Run([&] {
            received.swap(received_);
            count_ = 0;
        });
        return {received.size() == g_floodSize ? std::optional(lastByte_) : std::nullopt,
                std::move(received)};
    }
    // body runs with COMcom opened and monitored for this dialog as the tool does it, and gets
    // whether the port opened; then the dialog ends.
    void Monitor(int com, const std::function<void(bool)>& body) {
        std::unique_ptr<CSerialPort> port;
        bool opened = false;
        Run([&] {
            port = std::make_unique<CSerialPort>();
            opened = port->OpenPort(this, com, 115200) != FALSE;
            if (opened) {
                port->StartMonitor();
            }
        });
        // The monitor purges the line as it starts: nothing may be sent before it waits.
        body(opened && platform::WaitHub::Instance().WaitIdle());
        Run([&] {
            port.reset();
            EndDialog(IDCANCEL);
        });
    }

protected:
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        // Makes this thread's message queue now: until it exists, messages sent here are dropped.
        MSG msg;
        PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE);
        shown_ = true;
        shown_.notify_all();
        return TRUE;
    }
    LRESULT OnByte(WPARAM wParam, LPARAM) {
        received_.push_back(static_cast<std::uint8_t>(wParam));
        if (received_.size() == g_floodSize) {
            lastByte_ = Clock::now();
        }
        count_.store(received_.size(), std::memory_order_release);
        return 0;
    }
    LRESULT OnRun(WPARAM, LPARAM lParam) {
        (*reinterpret_cast<std::function<void()>*>(lParam))();
        return 0;
    }
    DECLARE_MESSAGE_MAP()

private:
    std::atomic<bool> shown_{false};
    std::atomic<std::size_t> count_{0};
    Bytes received_;
    Clock::time_point lastByte_;
};

BEGIN_MESSAGE_MAP(ByteReceiver, CDialog)
ON_MESSAGE(UWM_PORT_RXBYTE, &ByteReceiver::OnByte)
ON_MESSAGE(kRunHere, &ByteReceiver::OnRun)
END_MESSAGE_MAP()

const bool kRegistered = [] {
    RegisterDialogTemplate(DialogTemplate{
        kReceiverDialog, WS_POPUP, 0, "Receiver", "MS Shell Dlg", 9, 0, 0, 100, 50, {}});
    return true;
}();

// Floods line while receive() takes it (returning when the last byte came, if it did, and what
// came). The writer waits a moment when the line is full: it holds some 64 KiB, far more than a
// reader takes meanwhile, and the master's poll for room is not always woken.
void Measure(benchmark::State& state, platform::PseudoTerminal& line, bool inProcess,
             const std::function<std::pair<std::optional<Clock::time_point>, Bytes>()>& receive) {
    for (auto _ : state) {
        const auto [cpu, runQueue] = CpuAndRunQueueSeconds();
        const auto start = Clock::now();
        int error = 0;
        std::jthread writer([&](std::stop_token stop) {
            for (std::size_t at = 0; at < Flood().size() && !stop.stop_requested() && !error;) {
                const auto w =
                    line.Write(reinterpret_cast<const char*>(&Flood()[at]), Flood().size() - at);
                at += w.bytes;
                error = w.error;
                if (w.wouldBlock) {
                    std::this_thread::sleep_for(std::chrono::microseconds(500));
                }
            }
        });
        const auto [end, received] = receive();
        const double wall =
            std::chrono::duration<double>(end.value_or(Clock::now()) - start).count();
        state.SetIterationTime(wall);
        const auto [cpuAfter, runQueueAfter] = CpuAndRunQueueSeconds();
        if (inProcess) {
            state.counters["cpu_cores"] = (cpuAfter - cpu) / wall;
            state.counters["cpu_us_per_byte"] =
                (cpuAfter - cpu) * 1e6 / static_cast<double>(g_floodSize);
            state.counters["runq_wait_cores"] = (runQueueAfter - runQueue) / wall;
        }
        if (end) {
            writer.join();
        }
        if (!end || error != 0 || received != Flood()) {
            g_lost = true;
            const std::string what = "got " + std::to_string(received.size()) + " of " +
                                     std::to_string(g_floodSize) + " bytes, or other bytes";
            state.SkipWithError(what.c_str());
            break;
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * g_floodSize));
}

void Register(const std::string& name, std::function<void(benchmark::State&)> run) {
    benchmark::RegisterBenchmark(name.c_str(), std::move(run))
        ->UseManualTime()
        ->Iterations(1)
        ->Unit(benchmark::kMillisecond);
}

void RegisterFloods(const std::string& presenter, PortLines& lines, ByteReceiver& receiver) {
    Register("BytePath/" + presenter, [&](benchmark::State& state) {
        Measure(state, lines.Line(1), true, [&] { return receiver.Receive(); });
    });
    // The reader says "ready", then "done N" and the N bytes. -P keeps the source tree's
    // serial/ folder from shadowing the serial module.
    Register("PythonPerByteReader/" + presenter, [&](benchmark::State& state) {
        const std::string command = "/usr/bin/python3 -P '" KALDO_BENCH_DIR
                                    "/python_per_byte_reader.py' '" +
                                    lines.Line(2).LinkPath() + "' " + std::to_string(g_floodSize);
        std::unique_ptr<FILE, int (*)(FILE*)> python(popen(command.c_str(), "re"), pclose);
        char text[64] = {};
        if (!python || !std::fgets(text, sizeof text, python.get())) {  // "ready"
            state.SkipWithError("the Python reader did not start");
            return;
        }
        Measure(state, lines.Line(2), false, [&] {
            std::size_t got = 0;
            if (std::fgets(text, sizeof text, python.get()) != nullptr) {
                std::sscanf(text, "done %zu", &got);
            }
            const auto end = Clock::now();
            Bytes bytes(got);
            bytes.resize(std::fread(bytes.data(), 1, got, python.get()));
            return std::pair(got == g_floodSize ? std::optional(end) : std::nullopt,
                             std::move(bytes));
        });
    });
}

void PrintIdleCpu(int runs, int seconds) {
    for (int run = 0; run < runs; ++run) {
        const double before = CpuAndRunQueueSeconds().first;
        const auto start = Clock::now();
        std::this_thread::sleep_for(std::chrono::seconds(seconds));
        const double wall = std::chrono::duration<double>(Clock::now() - start).count();
        std::printf("idle_cpu_percent %.4f wall_s %.2f\n",
                    100.0 * (CpuAndRunQueueSeconds().first - before) / wall, wall);
        std::fflush(stdout);
    }
}

#ifdef KALDO_BENCH_QT
// AfxWinMain makes the QApplication and runs this on the main thread.
class QtBenchApp : public CWinApp {
public:
    explicit QtBenchApp(std::function<void(ByteReceiver&)> body) : body_(std::move(body)) {}
    BOOL InitInstance() override {
        ByteReceiver receiver;
        m_pMainWnd = &receiver;
        std::thread measurements([&] { body_(receiver); });
        receiver.DoModal();
        measurements.join();
        m_pMainWnd = nullptr;
        return FALSE;
    }

private:
    std::function<void(ByteReceiver&)> body_;
};
#endif

}  // namespace

int main(int argc, char** argv) {
    bool qt = false;
    bool idle = false;
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        qt = qt || std::strcmp(argv[i], "--qt") == 0;
        idle = idle || std::strcmp(argv[i], "--idle") == 0;
        if (std::sscanf(argv[i], "--bytes=%zu", &g_floodSize) != 1 &&
            std::strcmp(argv[i], "--qt") != 0 && std::strcmp(argv[i], "--idle") != 0) {
            argv[kept++] = argv[i];
        }
    }
    argc = kept;
    benchmark::Initialize(&argc, argv);
    if (!idle && benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 2;
    }
    PortLines lines(2);  // COM1 for the monitor, COM2 for Python
    bool opened = false;
    const auto body = [&](ByteReceiver& receiver) {
        receiver.Monitor(1, [&](bool ok) {
            opened = ok;
            if (ok && idle) {
                PrintIdleCpu(argc > 1 ? std::atoi(argv[1]) : 3, argc > 2 ? std::atoi(argv[2]) : 10);
            } else if (ok) {
                RegisterFloods(qt ? "qt" : "headless", lines, receiver);
                benchmark::RunSpecifiedBenchmarks();
            }
        });
    };
    if (qt) {
#ifdef KALDO_BENCH_QT
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        QtBenchApp app(body);
        AfxWinMain(argc, argv);
#else
        std::fprintf(stderr, "built without Qt\n");
        return 2;
#endif
    } else {
        CWinApp app;
        ByteReceiver receiver;
        app.m_pMainWnd = &receiver;
        UiThread ui([&] { receiver.DoModal(); });
        body(receiver);
        ui.Join();
        framework::WaitForWorkerThreads();
    }
    benchmark::Shutdown();
    if (!opened) {
        std::fprintf(stderr, "the port did not open\n");
    }
    return opened && !g_lost ? 0 : 1;
}
