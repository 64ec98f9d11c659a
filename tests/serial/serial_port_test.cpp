// The COM port object and its monitor thread on real pseudo-terminals: opening, configuration
// reports, the write hand-over, the per-byte delivery and the stop handshake.
#include <termios.h>

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "framework/dialog_template.h"
#include "framework/headless_presenter.h"
#include "framework/user_agent.h"
#include "platform/modem_lines.h"
#include "serial/serial_port.h"
#include "tests/support/comm_test_support.h"
#include "tests/support/ui_thread.h"

namespace {

using namespace std::chrono_literals;
using kaldo_test::Receive;
using platform::PseudoTerminal;

constexpr UINT kOwnerDialog = 901;
constexpr UINT kRun = WM_APP + 10;

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
    using CSerialPort::m_hStop;
};

// The owner window: records every notification in order ("<CTS>", then the byte).
class OwnerDialog : public CDialog {
public:
    OwnerDialog() : CDialog(kOwnerDialog) {}
    std::string received;

protected:
    LRESULT OnCts(WPARAM wParam, LPARAM lParam) {
        EXPECT_EQ(wParam, 0u);
        EXPECT_EQ(lParam, 3);
        received += "<CTS>";
        return 0;
    }
    LRESULT OnByte(WPARAM wParam, LPARAM) {
        received += static_cast<char>(wParam);
        return 1;
    }
    LRESULT OnRun(WPARAM, LPARAM lParam) {
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
END_MESSAGE_MAP()

class SerialPortTest : public ::testing::Test {
protected:
    VirtualTime time;
    UserAgent agent{static_cast<HeadlessPresenter&>(GetPresenter())};
    kaldo_test::TemporaryPortFolder folder;
    CWinApp app;
    OwnerDialog owner;
    std::unique_ptr<TestPort> port = std::make_unique<TestPort>();
    std::vector<std::unique_ptr<PseudoTerminal>> lines;
    std::unique_ptr<UiThread> ui;
    std::size_t earlierBoxes = agent.BoxTexts().size();

    void SetUp() override {
        app.m_pMainWnd = &owner;
        ui = std::make_unique<UiThread>([this] { owner.DoModal(); });
        ASSERT_TRUE(time.Settle());
    }
    void TearDown() override {
        while (agent.CloseMessageBox()) {
        }
        if (port) {
            Run([&] { port.reset(); });
        }
        agent.CloseBox(kOwnerDialog);
        ui->Join();
    }

    PseudoTerminal& Line(int com) {
        lines.push_back(std::make_unique<PseudoTerminal>());
        EXPECT_EQ(lines.back()->Open(com), 0);
        return *lines.back();
    }
    // COM3 opened, and its monitor started.
    PseudoTerminal& Monitored() {
        auto& line = Line(3);
        EXPECT_TRUE(Open(3));
        StartMonitor();
        return line;
    }
    void Run(std::function<void()> f) {
        SendMessage(owner.GetSafeHwnd(), kRun, 0,
                    reinterpret_cast<LPARAM>(new std::function<void()>(std::move(f))));
    }
    // For calls that may show a box: queued, then everything settles.
    void Post(std::function<void()> f) {
        PostMessage(owner.GetSafeHwnd(), kRun, 0,
                    reinterpret_cast<LPARAM>(new std::function<void()>(std::move(f))));
        ASSERT_TRUE(time.Settle());
    }
    BOOL Open(int com) {
        BOOL result = FALSE;
        Post([&, com] { result = port->OpenPort(&owner, com, 115200); });
        return result;
    }
    void StartMonitor() {
        Post([&] { port->StartMonitor(); });
    }
    void Queue(const std::string& m) {
        Post([&, m] { port->QueueWrite(m.data(), static_cast<int>(m.size())); });
    }
    void Send(PseudoTerminal& line, const std::string& bytes) {
        line.Write(bytes.data(), bytes.size());
        platform::WaitHub::Instance().NoteLineActivity();
        ASSERT_TRUE(time.Settle());
    }
    // The boxes this test has shown.
    std::vector<std::string> Boxes() {
        auto texts = agent.BoxTexts();
        return {texts.begin() + static_cast<std::ptrdiff_t>(earlierBoxes), texts.end()};
    }
    // The text of the box shown now, which then closes.
    std::string TakeBox() {
        const auto box = agent.OpenMessageBox();
        agent.CloseMessageBox();
        EXPECT_TRUE(time.Settle());
        return box ? box->text : "(no box)";
    }
};

TEST_F(SerialPortTest, AFailingStepIsReportedOnceWithItsPortAndTheRestSkipped) {
    Line(3);
    // A malformed line definition fails where it is built; the settings are never written.
    BOOL opened = FALSE;
    Post([&] { opened = port->OpenPort(&owner, 3, -5); });
    ASSERT_EQ(Boxes().size(), 1u);
    const auto box = agent.OpenMessageBox();
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->caption, "Application Error");
    EXPECT_EQ(box->owner, nullptr);
    EXPECT_EQ(box->type, MB_ICONERROR);
    EXPECT_EQ(TakeBox(),
              "WARNING:  BuildCommDCB() Failed with the following error: \nThe parameter is "
              "incorrect.\r\n\nPort: 3\n");
    EXPECT_TRUE(opened);
    EXPECT_EQ(
        CreateFileA("COM3", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr),
        INVALID_HANDLE_VALUE);  // still open

    // A rate the port refuses gets as far as writing the settings.
    opened = FALSE;
    Post([&] { opened = port->OpenPort(&owner, 3, 12345); });
    ASSERT_EQ(Boxes().size(), 2u);
    EXPECT_EQ(TakeBox().substr(0, 35), "WARNING:  SetCommState() Failed wit");
    EXPECT_TRUE(opened);

    Post([&] {
        SetLastError(123456);
        port->ReportError("ReadFile()");
    });
    EXPECT_EQ(
        TakeBox(),
        "WARNING:  ReadFile() Failed with the following error: \nUnknown error 123456.\nPort: "
        "3\n");
}

TEST_F(SerialPortTest, OnlyTheLatestQueuedMessageGoesOutAndAnOverlongOneIsRefusedWhole) {
    auto& line = Line(3);
    ASSERT_TRUE(Open(3));
    Run([&] {
        // Both before the monitor exists: it takes the latest when it first looks.
        port->QueueWrite("100000", 6);
        port->QueueWrite("100001", 6);
    });
    StartMonitor();
    EXPECT_EQ(Receive(line), "100001");
    Queue("");
    EXPECT_EQ(Receive(line), "");

    Queue(std::string(513, 'A'));
    EXPECT_EQ(TakeBox().substr(0, 33), "WARNING:  QueueWrite() Failed wit");
    EXPECT_EQ(Receive(line), "");
    Queue(std::string(512, 'B'));
    EXPECT_EQ(Receive(line), std::string(512, 'B'));

    // Output held by flow control: the write waits until the line takes it.
    int held = -1;
    for (const auto& fd : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code ec;
        const bool port = std::filesystem::read_symlink(fd.path(), ec) == line.SlavePath();
        held = port ? std::stoi(fd.path().filename()) : held;
    }
    ASSERT_EQ(tcflow(held, TCOOFF), 0);
    Queue("100000");
    ASSERT_EQ(tcflow(held, TCOON), 0);
    EXPECT_EQ(Receive(line, 6), "100000");
    EXPECT_EQ(Boxes().size(), 1u);
}

TEST_F(SerialPortTest, EveryPortEventTellsCtsBeforeTheBytesAndAZeroByteIsDelivered) {
    auto& line = Monitored();
    // What the owner took in is read on its own thread: the line is no synchronisation.
    const auto received = [&] {
        std::string copy;
        Run([&] { copy = owner.received; });
        return copy;
    };
    Send(line, std::string("ab\0c", 4));
    EXPECT_EQ(received(), std::string("<CTS>ab\0c", 9));
    Send(line, "\xff");
    EXPECT_EQ(received(), std::string("<CTS>ab\0c<CTS>\xff", 15));
}

// Lines whose driver cannot report their changes, as a pseudo-terminal under Wine.
class SilentModemLines final : public platform::ModemLines {
public:
    std::optional<bool> Cts() override { return std::nullopt; }
    bool SetRts(bool) override { return true; }
    bool SetDtr(bool) override { return true; }
    bool ReportsLineChanges() override { return false; }
};

TEST_F(SerialPortTest, APortThatCannotReportLineEventsStillReceivesOnEveryOpenWithoutABox) {
    platform::SetModemLinesFactory(
        [](int, std::function<void()>) { return std::make_unique<SilentModemLines>(); });
    auto& line = Monitored();
    Send(line, "ab");
    ASSERT_TRUE(Open(3));
    StartMonitor();
    Send(line, "c");
    platform::SetModemLinesFactory({});
    std::string received;
    Run([&] { received = owner.received; });
    EXPECT_EQ(received, "abc");
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(SerialPortTest, PurgeBeforeAWriteDropsUnreadBytesAndAMessageGoesOutOnce) {
    auto& line = Line(3);
    ASSERT_TRUE(Open(3));
    Send(line, "stale");
    EXPECT_EQ(line.UnreadByPort(), 5u);
    Run([&] {
        port->QueueWrite("100000", 6);
        port->FlushWrite();
    });
    EXPECT_EQ(line.UnreadByPort(), 0u);
    EXPECT_EQ(Receive(line), "100000");
    // A second wake for the message already taken writes nothing.
    Run([&] { port->FlushWrite(); });
    EXPECT_EQ(Receive(line), "");
}

TEST_F(SerialPortTest, ReopeningOrAStopWithAWriteEndsTheMonitorFirstWithExitCode100) {
    auto& line = Line(3);
    ASSERT_TRUE(Open(3));
    CWinThread* monitor = nullptr;
    Post([&] {
        port->m_bMonitorRunning = TRUE;
        monitor = AfxBeginThread(CSerialPort::MonitorThread, port.get(), THREAD_PRIORITY_NORMAL, 0,
                                 CREATE_SUSPENDED);
        monitor->m_bAutoDelete = FALSE;
        monitor->ResumeThread();
    });
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

    // No monitor runs now: a queued message stays unwritten, also when a monitor starts with
    // the stop and the write both signalled.
    Queue("100000");
    EXPECT_EQ(Receive(line), "");
    Post([&] {
        SetEvent(port->m_hStop);
        port->StartMonitor();
    });
    framework::WaitForWorkerThreads();
    EXPECT_FALSE(port->m_bMonitorRunning);
    EXPECT_EQ(Receive(line), "");
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

// An adapter pulled while the command-line tool shuts down: nobody is left to close the box.
TEST_F(SerialPortTest, AReportBoxRaisedWhenNoDialogIsLeftNeverHoldsTheStop) {
    auto& line = Monitored();
    agent.CloseBox(kOwnerDialog);
    ui->Join();
    line.HangUp();
    port->QueueWrite("100000", 6);
    ASSERT_TRUE(time.Settle());
    EXPECT_FALSE(Boxes().empty());
    std::atomic<bool> stopped{false};
    UiThread stopper([&] {
        port.reset();
        stopped = true;
    });
    ASSERT_TRUE(time.Settle());
    EXPECT_TRUE(stopped);
    while (agent.CloseMessageBox()) {
    }
}

TEST_F(SerialPortTest, HangUpGivesAtMostOneReportAndNoBusyLoop) {
    auto& line = Monitored();
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

TEST_F(SerialPortTest, ReopeningsWhileBytesStreamLeaveOneMonitorAndNoDescriptorBehind) {
    const auto afresh = [&] {
        Run([&] { port = std::make_unique<TestPort>(); });
        framework::WaitForWorkerThreads();
        using std::filesystem::directory_iterator;
        return std::distance(directory_iterator("/proc/self/fd"), directory_iterator());
    };
    // The first open starts the process's descriptor watcher, which stays.
    auto& line = Monitored();
    const auto before = afresh();
    ASSERT_TRUE(Open(3));
    Post([&] {
        for (int i = 0; i < 100; ++i) {
            port->OpenPort(&owner, 3, 115200);  // stops the monitor started just before
            port->StartMonitor();
            line.Write("ab", 2);
        }
    });
    EXPECT_TRUE(port->m_bMonitorRunning);
    line.Write("cd", 2);
    EXPECT_EQ(afresh(), before);
}

}  // namespace
