// The byte path: a flood on a pseudo-terminal through the tool's port monitor, one synchronous
// message per byte, to a dialog's handler, beside the same flood through Python's per-byte
// reader (let repetitions take turns: --benchmark_enable_random_interleaving). With --qt the
// dialog runs in Qt's dispatcher on the main thread. --idle prints instead the CPU of the
// monitored port with nothing arriving. Exits with 1 if a flood lost or changed a byte.
//
// Usage: kaldo-bench-byte-path [--qt] [--bytes=N] [benchmark flags]
//        kaldo-bench-byte-path --idle [runs] [seconds per run]
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <ctime>
#include <optional>
#include <random>
#include <string_view>
#include <thread>

#include "framework/dialog_template.h"
#include "platform/pseudo_terminal.h"
#include "platform/wait_hub.h"
#include "serial/serial_port.h"
#include "tests/support/port_folder.h"
#include "tests/support/ui_thread.h"
#ifdef KALDO_BENCH_QT
#include "framework/win_main.h"
#endif

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Bytes = std::vector<std::uint8_t>;
// When the whole flood came (nothing if it did not), and what came.
using Received = std::pair<std::optional<Clock::time_point>, Bytes>;
constexpr UINT kReceiverDialog = 951;
constexpr UINT kRunHere = WM_APP + 20;

Bytes g_flood;  // pseudo-random: a lost, doubled or reordered byte shows
bool g_lost = false;

double CpuSeconds() {
    return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}  // all threads

// The port's owner dialog, as the tool's main dialog is; other threads drive it.
class ByteReceiver : public CDialog {
public:
    ByteReceiver() : CDialog(kReceiverDialog) {}

    // Runs f on the dialog's thread once the dialog is up.
    void Run(std::function<void()> f) {
        shown_.wait(false);
        ::SendMessage(GetSafeHwnd(), kRunHere, 0, reinterpret_cast<LPARAM>(&f));
    }
    // Once the whole flood came, or no byte for 5 s. It polls: the handler stays as light as the
    // tool's own.
    Received Receive() {
        auto progress = Clock::now();
        for (std::size_t seen = 0; count_ < g_flood.size() && Clock::now() - progress < 5s;) {
            std::this_thread::sleep_for(1ms);
            progress = count_ != seen ? Clock::now() : progress;
            seen = count_;
        }
        Bytes received;
        Run([&] {
            received.swap(received_);
            count_ = 0;
        });
        return {received.size() == g_flood.size() ? std::optional(lastByte_) : std::nullopt,
                std::move(received)};
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
        if (received_.size() == g_flood.size()) {
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

// Floods line while receive() takes it. The writer waits a moment when the line is full: it
// holds some 64 KiB, far more than a reader takes meanwhile, and the master's poll for room is
// not always woken.
void Measure(benchmark::State& state, platform::PseudoTerminal& line, bool inProcess,
             const std::function<Received()>& receive) {
    for (auto _ : state) {
        const double cpu = CpuSeconds();
        const auto start = Clock::now();
        int error = 0;
        std::jthread writer([&](std::stop_token stop) {
            for (std::size_t at = 0; at < g_flood.size() && !stop.stop_requested() && !error;) {
                const auto w =
                    line.Write(reinterpret_cast<const char*>(&g_flood[at]), g_flood.size() - at);
                at += w.bytes;
                error = w.error;
                if (w.wouldBlock) {
                    std::this_thread::sleep_for(500us);
                }
            }
        });
        const auto [end, received] = receive();
        const double wall =
            std::chrono::duration<double>(end.value_or(Clock::now()) - start).count();
        state.SetIterationTime(wall);
        if (inProcess) {
            state.counters["cpu_us_per_byte"] = (CpuSeconds() - cpu) * 1e6 / g_flood.size();
        }
        if (end) {
            writer.join();
        }
        if (!end || error != 0 || received != g_flood) {
            g_lost = true;
            const std::string what = "got " + std::to_string(received.size()) + " of " +
                                     std::to_string(g_flood.size()) + " bytes, or other bytes";
            state.SkipWithError(what.c_str());
            break;
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * g_flood.size()));
}

void RegisterFloods(const std::string& presenter, platform::PseudoTerminal* lines,
                    ByteReceiver& receiver) {
    const auto add = [](const std::string& name, std::function<void(benchmark::State&)> run) {
        benchmark::RegisterBenchmark(name.c_str(), std::move(run))
            ->UseManualTime()
            ->Iterations(1)
            ->Unit(benchmark::kMillisecond);
    };
    add("BytePath/" + presenter, [&, lines](benchmark::State& state) {
        Measure(state, lines[0], true, [&] { return receiver.Receive(); });
    });
    // The reader says "ready", then "done N" and the N bytes. -P keeps the source tree's
    // serial/ folder from shadowing the serial module.
    add("PythonPerByteReader/" + presenter, [&, lines](benchmark::State& state) {
        const std::string command = "/usr/bin/python3 -P '" KALDO_BENCH_DIR
                                    "/python_per_byte_reader.py' '" +
                                    lines[1].LinkPath() + "' " + std::to_string(g_flood.size());
        std::unique_ptr<FILE, int (*)(FILE*)> python(popen(command.c_str(), "re"), pclose);
        char text[64] = {};
        if (!python || !std::fgets(text, sizeof text, python.get())) {
            return state.SkipWithError("the Python reader did not start");
        }
        Measure(state, lines[1], false, [&] {
            std::size_t got = 0;
            if (std::fgets(text, sizeof text, python.get()) != nullptr) {
                std::sscanf(text, "done %zu", &got);
            }
            const auto end = Clock::now();
            Bytes bytes(got);
            bytes.resize(std::fread(bytes.data(), 1, got, python.get()));
            return Received(got == g_flood.size() ? std::optional(end) : std::nullopt,
                            std::move(bytes));
        });
    });
}

// Runs body beside the receiver's modal loop, which has this thread.
class BenchApp : public CWinApp {
public:
    explicit BenchApp(std::function<void(ByteReceiver&)> body) : body_(std::move(body)) {}
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

}  // namespace

int main(int argc, char** argv) {
    bool qt = false;
    bool idle = false;
    std::size_t bytes = 300'000;
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        qt = qt || arg == "--qt";
        idle = idle || arg == "--idle";
        if (arg != "--qt" && arg != "--idle" && std::sscanf(argv[i], "--bytes=%zu", &bytes) != 1) {
            argv[kept++] = argv[i];
        }
    }
    argc = kept;
    benchmark::Initialize(&argc, argv);
    if (!idle && benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 2;
    }
    std::mt19937 random(1);
    g_flood.resize(bytes);
    std::generate(g_flood.begin(), g_flood.end(),
                  [&] { return static_cast<std::uint8_t>(random() >> 24); });

    RegisterDialogTemplate(DialogTemplate{
        kReceiverDialog, WS_POPUP, 0, "Receiver", "MS Shell Dlg", 9, 0, 0, 100, 50, {}});
    kaldo_test::TemporaryPortFolder folder;
    platform::PseudoTerminal lines[2];  // COM1 for the monitor, COM2 for Python
    if (lines[0].Open(1) != 0 || lines[1].Open(2) != 0) {
        std::fprintf(stderr, "cannot link COM1 and COM2\n");
        return 1;
    }
    bool opened = false;
    BenchApp app([&](ByteReceiver& receiver) {
        std::unique_ptr<CSerialPort> port;
        receiver.Run([&] {
            port = std::make_unique<CSerialPort>();
            opened = port->OpenPort(&receiver, 1, 115200) != FALSE;
            if (opened) {
                port->StartMonitor();
            }
        });
        // The monitor purges the line as it starts: nothing may be sent before it waits.
        opened = opened && platform::WaitHub::Instance().WaitIdle();
        for (int run = 0; opened && idle && run < (argc > 1 ? std::atoi(argv[1]) : 3); ++run) {
            const double cpu = CpuSeconds();
            const auto start = Clock::now();
            std::this_thread::sleep_for(std::chrono::seconds(argc > 2 ? std::atoi(argv[2]) : 10));
            const double wall = std::chrono::duration<double>(Clock::now() - start).count();
            std::printf("idle_cpu_percent %.4f wall_s %.2f\n", 100 * (CpuSeconds() - cpu) / wall,
                        wall);
            std::fflush(stdout);
        }
        if (opened && !idle) {
            RegisterFloods(qt ? "qt" : "headless", lines, receiver);
            benchmark::RunSpecifiedBenchmarks();
        }
        receiver.Run([&] {
            port.reset();
            receiver.EndDialog(IDCANCEL);
        });
    });
    if (qt) {
#ifdef KALDO_BENCH_QT
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        AfxWinMain(argc, argv);
#else
        std::fprintf(stderr, "built without Qt\n");
        return 2;
#endif
    } else {
        UiThread([&] { app.InitInstance(); }).Join();
        framework::WaitForWorkerThreads();
    }
    benchmark::Shutdown();
    if (!opened) {
        std::fprintf(stderr, "the port did not open\n");
    }
    return opened && !g_lost ? 0 : 1;
}
