// The COM port object and its monitor thread on real pseudo-terminals: opening, configuration
// reports, the write hand-over, the per-byte delivery and the stop handshake.
#include <gtest/gtest.h>

#include <dirent.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "framework/dialog_template.h"
#include "framework/headless_presenter.h"
#include "framework/user_agent.h"
#include "platform/pseudo_terminal.h"
#include "serial/serial_port.h"
#include "tests/support/ui_thread.h"

namespace {

using namespace std::chrono_literals;

constexpr UINT kOwnerDialog = 901;
constexpr UINT kRun = WM_APP + 10;
constexpr UINT kPost = WM_APP + 11;

const bool kRegistered = [] {
    RegisterDialogTemplate(
        DialogTemplate{kOwnerDialog, WS_POPUP, 0, "Owner", "MS Shell Dlg", 9, 0, 0, 100, 50, {}});
    return true;
}();

// A port whose monitor's inner operations tests may call.
class TestPort : public CSerialPort {
public:
    using CSerialPort::FlushWrite;
    using CSerialPort::m_bMonitorRunning;
    using CSerialPort::m_hPort;
    using CSerialPort::m_hStop;
    using CSerialPort::m_nPort;
    using CSerialPort::m_pOwnerWnd;
};

// The owner window: records every notification in order ('C' for CTS, then the byte).
class OwnerDialog : public CDialog {
public:
    OwnerDialog() : CDialog(kOwnerDialog) {}
    std::string received;
    int ctsCount = 0;

protected:
    LRESULT OnCts(WPARAM wParam, LPARAM lParam) {
        EXPECT_EQ(wParam, 0u);
        EXPECT_EQ(lParam, 3);
        ++ctsCount;
        received += "<CTS>";
        return 0;
    }
    LRESULT OnByte(WPARAM wParam, LPARAM) {
        received += static_cast<char>(wParam);
        return 1;
    }
    LRESULT OnRun(WPARAM, LPARAM lParam) {
        (*reinterpret_cast<std::function<void()>*>(lParam))();
        return 0;
    }
    LRESULT OnPost(WPARAM, LPARAM lParam) {
        std::unique_ptr<std::function<void()>> f(reinterpret_cast<std::function<void()>*>(lParam));
        (*f)();
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(OwnerDialog, CDialog)
ON_MESSAGE(UWM_PORT_CTS, &OwnerDialog::OnCts)
ON_MESSAGE(UWM_PORT_RXBYTE, &OwnerDialog::OnByte)
ON_MESSAGE(kRun, &OwnerDialog::OnRun)
ON_MESSAGE(kPost, &OwnerDialog::OnPost)
END_MESSAGE_MAP()

int OpenDescriptors() {
    int count = 0;
    for ([[maybe_unused]] const auto& entry :
         std::filesystem::directory_iterator("/proc/self/fd")) {
        ++count;
    }
    return count;
}

class SerialPortTest : public ::testing::Test {
protected:
    VirtualTime time;
    HeadlessPresenter& presenter = static_cast<HeadlessPresenter&>(GetPresenter());
    UserAgent agent{presenter};
    std::string folder;
    CWinApp app;
    OwnerDialog owner;
    std::unique_ptr<TestPort> port = std::make_unique<TestPort>();
    std::vector<std::unique_ptr<platform::PseudoTerminal>> lines;
    std::unique_ptr<UiThread> ui;
    std::size_t earlierBoxes = agent.BoxTexts().size();

    void SetUp() override {
        char pattern[] = "/tmp/kaldo-serial-test-XXXXXX";
        folder = mkdtemp(pattern);
        setenv("KALDO_SENSOR_PORTS", folder.c_str(), 1);
        app.m_pMainWnd = &owner;
        ui = std::make_unique<UiThread>([this] { owner.DoModal(); });
        ASSERT_TRUE(time.Settle());
    }
    void TearDown() override {
        while (agent.CloseMessageBox()) {
        }
        Run([&] { port.reset(); });
        agent.CloseBox(kOwnerDialog);
        ui->Join();
        lines.clear();
        std::filesystem::remove_all(folder);
        unsetenv("KALDO_SENSOR_PORTS");
    }

    platform::PseudoTerminal& Line(int com) {
        lines.push_back(std::make_unique<platform::PseudoTerminal>());
        EXPECT_EQ(lines.back()->Open(com), 0);
        return *lines.back();
    }
    void Run(std::function<void()> f) {
        SendMessage(owner.GetSafeHwnd(), kRun, 0, reinterpret_cast<LPARAM>(&f));
    }
    // For calls that may show a box: queued, then everything settles.
    void Post(std::function<void()> f) {
        PostMessage(owner.GetSafeHwnd(), kPost, 0,
                    reinterpret_cast<LPARAM>(new std::function<void()>(std::move(f))));
        ASSERT_TRUE(time.Settle());
    }
    BOOL Open(int com, int baud = 115200) {
        BOOL result = FALSE;
        Post([&, com, baud] { result = port->OpenPort(&owner, com, baud); });
        return result;
    }
    void StartMonitor() {
        Run([&] { port->StartMonitor(); });
        ASSERT_TRUE(time.Settle());
    }
    void Queue(const std::string& message) {
        Run([&] { port->QueueWrite(message.data(), static_cast<int>(message.size())); });
        ASSERT_TRUE(time.Settle());
    }
    std::string ReadLine(platform::PseudoTerminal& line) {
        std::string bytes;
        char buffer[1024];
        for (auto r = line.Read(buffer, sizeof buffer); r.bytes > 0;
             r = line.Read(buffer, sizeof buffer)) {
            bytes.append(buffer, r.bytes);
        }
        return bytes;
    }
    void Send(platform::PseudoTerminal& line, const std::string& bytes) {
        line.Write(bytes.data(), bytes.size());
        platform::WaitHub::Instance().NoteLineActivity();
        ASSERT_TRUE(time.Settle());
    }
    bool HeldByUs(int com) {
        HANDLE other =
            CreateFileA(("COM" + std::to_string(com)).c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                        nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
        if (other == INVALID_HANDLE_VALUE) {
            return true;
        }
        CloseHandle(other);
        return false;
    }
    // The boxes this test has shown.
    std::vector<std::string> Boxes() {
        auto texts = agent.BoxTexts();
        return {texts.begin() + static_cast<std::ptrdiff_t>(earlierBoxes), texts.end()};
    }
};

TEST_F(SerialPortTest, MissingOrHeldPortFailsSilentlyAndOnlyTheLastProbeStaysOpen) {
    EXPECT_FALSE(Open(4));
    EXPECT_EQ(port->m_nPort, 4);
    EXPECT_EQ(port->m_pOwnerWnd, &owner);

    auto& held = Line(5);
    HANDLE other = CreateFileA("COM5", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                               FILE_FLAG_OVERLAPPED, nullptr);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(Open(5));
    CloseHandle(other);
    EXPECT_TRUE(Boxes().empty());
    (void)held;

    Line(1);
    Line(2);
    Line(10);
    for (int com : {1, 2, 10}) {
        EXPECT_TRUE(Open(com)) << com;
    }
    EXPECT_FALSE(HeldByUs(1));
    EXPECT_FALSE(HeldByUs(2));
    EXPECT_TRUE(HeldByUs(10));
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(SerialPortTest, FailingConfigurationStepIsReportedOnceAndTheRestSkipped) {
    Line(3);
    // A malformed line definition fails where it is built; the settings are never written.
    BOOL opened = FALSE;
    Post([&] { opened = port->OpenPort(&owner, 3, -5); });
    ASSERT_EQ(Boxes().size(), 1u);
    auto box = agent.OpenMessageBox();
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->text,
              "WARNING:  BuildCommDCB() Failed with the following error: \nThe parameter is "
              "incorrect.\r\n\nPort: 3\n");
    EXPECT_EQ(box->caption, "Application Error");
    EXPECT_EQ(box->owner, nullptr);
    EXPECT_EQ(box->type, MB_ICONERROR);
    agent.CloseMessageBox();
    ASSERT_TRUE(time.Settle());
    EXPECT_TRUE(opened);
    EXPECT_TRUE(HeldByUs(3));  // still open

    // A rate the port refuses gets as far as writing the settings.
    opened = FALSE;
    Post([&] { opened = port->OpenPort(&owner, 3, 12345); });
    ASSERT_EQ(Boxes().size(), 2u);
    agent.CloseMessageBox();
    ASSERT_TRUE(time.Settle());
    EXPECT_TRUE(opened);
    EXPECT_EQ(Boxes()[1].substr(0, 35), "WARNING:  SetCommState() Failed wit");
}

TEST_F(SerialPortTest, OnlyTheLatestQueuedMessageIsWrittenAndAnEmptyOneWritesNothing) {
    auto& line = Line(3);
    ASSERT_TRUE(Open(3));
    Run([&] {
        // Both before the monitor exists: it takes the latest when it first looks.
        port->QueueWrite("100000", 6);
        port->QueueWrite("100001", 6);
    });
    StartMonitor();
    EXPECT_EQ(ReadLine(line), "100001");

    Queue("");
    EXPECT_EQ(ReadLine(line), "");
    Queue("120002");
    EXPECT_EQ(ReadLine(line), "120002");
}

TEST_F(SerialPortTest, OverlongMessageIsRefusedWholeAndTheLimitItselfGoesOut) {
    auto& line = Line(3);
    ASSERT_TRUE(Open(3));
    StartMonitor();
    Post([&] {
        const std::string tooLong(513, 'A');
        port->QueueWrite(tooLong.data(), static_cast<int>(tooLong.size()));
    });
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].substr(0, 33), "WARNING:  QueueWrite() Failed wit");
    agent.CloseMessageBox();
    ASSERT_TRUE(time.Settle());
    EXPECT_EQ(ReadLine(line), "");
    Queue(std::string(512, 'B'));
    EXPECT_EQ(ReadLine(line), std::string(512, 'B'));
}

TEST_F(SerialPortTest, EveryPortEventTellsCtsBeforeTheBytesAndAZeroByteIsDelivered) {
    auto& line = Line(3);
    ASSERT_TRUE(Open(3));
    StartMonitor();
    // What the owner took in is read on its own thread: the line is no synchronisation.
    const auto received = [&] {
        std::string copy;
        Run([&] { copy = owner.received; });
        return copy;
    };
    Send(line, std::string("ab\0c", 4));
    EXPECT_EQ(received(), std::string("<CTS>ab\0c", 9));
    Send(line, "\xff");
    EXPECT_EQ(received().substr(9), "<CTS>\xff");
    int cts = 0;
    Run([&] { cts = owner.ctsCount; });
    EXPECT_EQ(cts, 2);
}

TEST_F(SerialPortTest, PurgeBeforeAWriteDropsUnreadBytes) {
    auto& line = Line(3);
    ASSERT_TRUE(Open(3));
    Send(line, "stale");
    EXPECT_EQ(line.UnreadByPort(), 5u);
    Run([&] {
        port->QueueWrite("100000", 6);
        port->FlushWrite();
    });
    EXPECT_EQ(line.UnreadByPort(), 0u);
    EXPECT_EQ(ReadLine(line), "100000");
}

TEST_F(SerialPortTest, ReopeningEndsTheMonitorFirstAndItEndsWithExitCode100) {
    auto& line = Line(3);
    ASSERT_TRUE(Open(3));
    CWinThread* monitor = nullptr;
    Run([&] {
        port->m_bMonitorRunning = TRUE;
        monitor = AfxBeginThread(CSerialPort::MonitorThread, port.get(), THREAD_PRIORITY_NORMAL, 0,
                                 CREATE_SUSPENDED);
        monitor->m_bAutoDelete = FALSE;
        monitor->ResumeThread();
    });
    ASSERT_TRUE(time.Settle());
    EXPECT_TRUE(port->m_bMonitorRunning);

    // A byte on its way to the owner while the owner stops the monitor.
    Post([&] {
        line.Write("x", 1);
        EXPECT_TRUE(port->OpenPort(&owner, 3, 115200));
    });
    EXPECT_FALSE(port->m_bMonitorRunning);
    EXPECT_EQ(WaitForSingleObject(monitor->m_hThread, INFINITE), WAIT_OBJECT_0);
    DWORD exitCode = 0;
    GetExitCodeThread(monitor->m_hThread, &exitCode);
    EXPECT_EQ(exitCode, 100u);
    delete monitor;

    // No monitor runs now: a queued message stays unwritten.
    Queue("100000");
    EXPECT_EQ(ReadLine(line), "");
}

TEST_F(SerialPortTest, StopAndWriteTogetherEndTheMonitorWithoutWriting) {
    auto& line = Line(3);
    ASSERT_TRUE(Open(3));
    Run([&] {
        port->QueueWrite("100000", 6);
        SetEvent(port->m_hStop);
        port->StartMonitor();
    });
    ASSERT_TRUE(time.Settle());
    framework::WaitForWorkerThreads();
    EXPECT_FALSE(port->m_bMonitorRunning);
    EXPECT_EQ(ReadLine(line), "");
}

TEST_F(SerialPortTest, AStopBlocksWhileTheMonitorSitsInAReportBoxAndEndsOnceItCloses) {
    EXPECT_FALSE(Open(4));  // no device: the monitor's first event wait fails with a report
    StartMonitor();
    ASSERT_EQ(Boxes().size(), 1u);
    std::atomic<bool> stopped{false};
    // Settling proves the stopping thread blocks: a spinning one never lets the system idle.
    Post([&] {
        port.reset();
        stopped = true;
    });
    EXPECT_FALSE(stopped);
    EXPECT_TRUE(agent.CloseMessageBox());
    ASSERT_TRUE(time.Settle());
    EXPECT_TRUE(stopped);
}

TEST_F(SerialPortTest, StartsStopsAndReopeningsWhileBytesStreamLeaveOneMonitorAtMost) {
    auto& line = Line(3);
    ASSERT_TRUE(Open(3));
    Run([&] {
        for (int i = 0; i < 100; ++i) {
            port->OpenPort(&owner, 3, 115200);  // stops the monitor started just before
            port->StartMonitor();
            line.Write("ab", 2);
        }
    });
    ASSERT_TRUE(time.Settle());
    EXPECT_TRUE(port->m_bMonitorRunning);
    Run([&] {
        line.Write("cd", 2);
        port.reset();
    });
    ASSERT_TRUE(time.Settle());
}

TEST_F(SerialPortTest, HangUpGivesAtMostOneReportAndNoBusyLoop) {
    auto& line = Line(3);
    ASSERT_TRUE(Open(3));
    StartMonitor();
    Send(line, "ab");
    line.HangUp();
    ASSERT_TRUE(time.Settle());
    ASSERT_LE(Boxes().size(), 1u);
    while (agent.CloseMessageBox()) {
    }
    // Idle means every thread is blocked: the monitor is not spinning.
    ASSERT_TRUE(time.Settle());
    ASSERT_TRUE(time.Advance(10s));
    EXPECT_LE(Boxes().size(), 1u);
    // The user-interface thread still answers, and a write fails with one report.
    int answered = 0;
    Run([&] { answered = 1; });
    EXPECT_EQ(answered, 1);
    Queue("100000");
    EXPECT_LE(Boxes().size(), 2u);
}

TEST_F(SerialPortTest, ReportsKeepThePortNumberWhenTheSystemHasNoText) {
    Line(3);
    ASSERT_TRUE(Open(3));
    Post([&] {
        SetLastError(123456);
        port->ReportError("ReadFile()");
    });
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(
        Boxes()[0],
        "WARNING:  ReadFile() Failed with the following error: \nUnknown error 123456.\nPort: 3\n");
}

TEST_F(SerialPortTest, OpenAndCloseCyclesLeaveNoDescriptorBehind) {
    Line(3);
    // The first open starts the process's descriptor watcher, which stays.
    ASSERT_TRUE(Open(3));
    StartMonitor();
    Run([&] { port = std::make_unique<TestPort>(); });
    framework::WaitForWorkerThreads();
    const int before = OpenDescriptors();
    for (int i = 0; i < 5; ++i) {
        ASSERT_TRUE(Open(3));
        StartMonitor();
    }
    Run([&] { port = std::make_unique<TestPort>(); });
    framework::WaitForWorkerThreads();
    EXPECT_EQ(OpenDescriptors(), before);
}

}  // namespace
