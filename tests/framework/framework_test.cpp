// The dialog framework under virtual time: message delivery across threads, timers, modal loops,
// message boxes and data exchange, driven the way the tool drives them.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

#include "framework/framework.h"
#include "framework/headless_presenter.h"
#include "framework/user_agent.h"
#include "res/resource.h"
#include "tests/support/ui_thread.h"

namespace {

// The tool's own templates: controls of every kind the framework exchanges with.
constexpr UINT kTestDialog = IDD_KALDOSENSORSETTING_DIALOG;
constexpr UINT kOtherDialog = IDD_SENSOR_PROGRESS;
constexpr int kButton = IDC_BUTTON_USB_SET;
constexpr int kCombo = IDC_COMBO_COM_PORT;
constexpr UINT kPing = WM_USER + 50;
constexpr UINT kArm = WM_USER + 51;       // wParam timer id, lParam period
constexpr UINT kKill = WM_USER + 52;      // wParam timer id
constexpr UINT kExchange = WM_USER + 53;  // wParam: TRUE to save
constexpr UINT kBusy = WM_USER + 54;   // wParam ms on the clock, then lParam TRUE ends the dialog
constexpr UINT kRelay = WM_USER + 55;  // sends lParam's message with wParam to relayTo

class TestDialog : public CDialog {
public:
    explicit TestDialog(UINT id = kTestDialog) : CDialog(id) {}

    std::vector<std::pair<UINT_PTR, platform::TimePoint>> ticks;
    std::vector<UINT_PTR> handled;  // timer ids, and 0 for a ping
    HWND relayTo = nullptr;
    bool endInInit = false;
    int pings = 0;
    std::thread::id pingThread;
    bool boxOnClick = false;
    CString combo;

    int TicksOf(UINT_PTR id) const {
        return static_cast<int>(
            std::count_if(ticks.begin(), ticks.end(), [id](auto& t) { return t.first == id; }));
    }

protected:
    void DoDataExchange(CDataExchange* pDX) override {
        if (GetDlgItem(kCombo) != nullptr) {  // not in the other dialog
            DDX_CBString(pDX, kCombo, combo);
        }
    }
    BOOL OnInitDialog() override {
        for (const char* item : {"COM3", "COM5"}) {
            if (CWnd* list = GetDlgItem(kCombo)) {
                list->SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
            }
        }
        const BOOL focus = CDialog::OnInitDialog();
        if (endInInit) {
            EndDialog(42);
        }
        return focus;
    }
    LRESULT OnPing(WPARAM wParam, LPARAM) {
        ++pings;
        handled.push_back(0);
        pingThread = std::this_thread::get_id();
        return static_cast<LRESULT>(wParam) * 2;
    }
    LRESULT OnArm(WPARAM id, LPARAM period) {
        return SetTimer(id, static_cast<UINT>(period), nullptr);
    }
    LRESULT OnKill(WPARAM id, LPARAM) { return KillTimer(id); }
    LRESULT OnExchange(WPARAM save, LPARAM) {
        UpdateData(static_cast<BOOL>(save));
        return 0;
    }
    // Busy on the hub's clock (Sleep is the system's own on Windows).
    LRESULT OnBusy(WPARAM ms, LPARAM end) {
        {
            auto& hub = platform::WaitHub::Instance();
            auto lock = hub.Lock();
            hub.Wait(
                lock, [] { return false; }, hub.Now() + std::chrono::milliseconds(ms));
        }
        if (end) {
            EndDialog(IDOK);
        }
        return 0;
    }
    LRESULT OnRelay(WPARAM value, LPARAM message) {
        return ::SendMessage(relayTo, static_cast<UINT>(message), value, kPing);
    }
    void OnTimer(UINT_PTR id) {
        handled.push_back(id);
        ticks.emplace_back(id, platform::WaitHub::Instance().Now());
        CDialog::OnTimer(id);
    }
    void OnButton() {
        if (boxOnClick) {
            MessageBox("inside");
        }
    }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(TestDialog, CDialog)
ON_MESSAGE(kPing, &TestDialog::OnPing)
ON_MESSAGE(kArm, &TestDialog::OnArm)
ON_MESSAGE(kKill, &TestDialog::OnKill)
ON_MESSAGE(kExchange, &TestDialog::OnExchange)
ON_MESSAGE(kBusy, &TestDialog::OnBusy)
ON_MESSAGE(kRelay, &TestDialog::OnRelay)
ON_WM_TIMER()
ON_BN_CLICKED(kButton, &TestDialog::OnButton)
END_MESSAGE_MAP()

class FrameworkTest : public ::testing::Test {
protected:
    HeadlessPresenter& presenter = static_cast<HeadlessPresenter&>(GetPresenter());
    UserAgent agent{presenter};
    VirtualTime time;
    CWinApp app;
    TestDialog dialog;
    INT_PTR modalResult = 0;
    std::unique_ptr<UiThread> ui;

    void Open() {
        app.m_pMainWnd = &dialog;
        ui = std::make_unique<UiThread>([this] { modalResult = dialog.DoModal(); });
        ASSERT_TRUE(time.Settle());
        ASSERT_TRUE(agent.IsShown(kTestDialog));
    }
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        return SendMessage(dialog.GetSafeHwnd(), message, wParam, lParam);
    }
    void TearDown() override {
        while (agent.CloseMessageBox()) {
        }
        agent.CloseBox(kTestDialog);
        if (ui) {
            ui->Join();
        }
    }
};

TEST_F(FrameworkTest, CrossThreadSendReturnsAfterTheHandlerRanAlsoInsideModalLoopsAndBoxes) {
    Open();
    const HWND hwnd = dialog.GetSafeHwnd();
    EXPECT_EQ(Send(kPing, 21), 42);
    EXPECT_EQ(dialog.pings, 1);
    EXPECT_NE(dialog.pingThread, std::this_thread::get_id());

    // Inside a message box's nested loop, from another thread, as the port monitor sends.
    dialog.boxOnClick = true;
    agent.Click(kTestDialog, kButton);
    ASSERT_TRUE(agent.WaitForMessageBox());
    std::atomic<LRESULT> result{0};
    std::thread sender([&] { result = SendMessage(hwnd, kPing, 5, 0); });
    sender.join();
    EXPECT_EQ(result, 10);
    EXPECT_EQ(dialog.pings, 2);
    // The box disables its owner: a click meanwhile is ignored.
    dialog.boxOnClick = false;
    EXPECT_FALSE(agent.Dialog(kTestDialog)->IsEnabled());
    EXPECT_TRUE(agent.CloseMessageBox());
    ASSERT_TRUE(time.Settle());
    EXPECT_TRUE(agent.Dialog(kTestDialog)->IsEnabled());

    // A window that is gone answers 0 at once.
    agent.CloseBox(kTestDialog);
    ui->Join();
    EXPECT_EQ(modalResult, IDCANCEL);
    EXPECT_EQ(SendMessage(hwnd, kPing, 5, 0), 0);
}

UINT BoxThenExit(LPVOID) {
    AfxMessageBox("from the worker", MB_ICONINFORMATION);
    AfxEndThread(100);
}

TEST_F(FrameworkTest, WorkerBoxLeavesTimersTickingAndTheWorkerEndsWithItsExitCode) {
    Open();
    Send(kArm, 7, 100);
    CWinThread* worker =
        AfxBeginThread(BoxThenExit, nullptr, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    worker->m_bAutoDelete = FALSE;
    worker->ResumeThread();
    ASSERT_TRUE(agent.WaitForMessageBox());
    ASSERT_TRUE(time.Advance(std::chrono::seconds(1)));
    EXPECT_EQ(dialog.TicksOf(7), 10);
    EXPECT_EQ(agent.OpenMessageBox()->type, MB_ICONINFORMATION);  // given, none added
    EXPECT_EQ(WaitForSingleObject(worker->m_hThread, 0), WAIT_TIMEOUT);

    EXPECT_TRUE(agent.CloseMessageBox());
    EXPECT_EQ(WaitForSingleObject(worker->m_hThread, INFINITE), WAIT_OBJECT_0);
    DWORD exitCode = 0;
    EXPECT_TRUE(GetExitCodeThread(worker->m_hThread, &exitCode));
    EXPECT_EQ(exitCode, 100u);
    delete worker;
}

TEST_F(FrameworkTest, RearmingRestartsThePeriodAndKillStopsTheTimer) {
    Open();
    const auto start = time.Now();
    Send(kArm, 1, 1000);
    ASSERT_TRUE(time.Advance(std::chrono::milliseconds(600)));
    Send(kArm, 1, 1000);  // restarts: the first tick comes 1000 ms from here
    ASSERT_TRUE(time.Advance(std::chrono::milliseconds(1500)));
    ASSERT_EQ(dialog.TicksOf(1), 1);
    EXPECT_EQ(dialog.ticks[0].second - start, std::chrono::milliseconds(1600));
    EXPECT_TRUE(Send(kKill, 1));
    ASSERT_TRUE(time.Advance(std::chrono::seconds(5)));
    EXPECT_EQ(dialog.TicksOf(1), 1);
    EXPECT_FALSE(Send(kKill, 1));
}

TEST_F(FrameworkTest, PostedMessagesComeBeforeTimersAndMissedPeriodsFoldIntoOneTick) {
    Open();
    Send(kArm, 3, 100);
    PostMessage(dialog.GetSafeHwnd(), kBusy, 350, FALSE);
    ASSERT_TRUE(time.Settle());
    PostMessage(dialog.GetSafeHwnd(), kPing, 0, 0);  // while the thread is busy
    ASSERT_TRUE(time.Advance(std::chrono::milliseconds(360)));
    EXPECT_EQ(dialog.handled, (std::vector<UINT_PTR>{0, 3}));
}

TEST_F(FrameworkTest, TwoThreadsSendingToEachOtherGetTheirAnswersAndASendToAnEndingOneReturns) {
    Open();
    TestDialog other(kOtherDialog);
    UiThread otherUi([&] { other.DoModal(); });
    ASSERT_TRUE(time.Settle());
    dialog.relayTo = other.GetSafeHwnd();
    other.relayTo = dialog.GetSafeHwnd();
    // The dialog waits on the other thread, which sends back to it meanwhile.
    EXPECT_EQ(Send(kRelay, 21, kRelay), 42);
    EXPECT_EQ(dialog.pings, 1);
    EXPECT_NE(dialog.pingThread, std::this_thread::get_id());
    agent.CloseBox(kOtherDialog);

    // A sender must not wait for ever on a thread that ends before it takes the message.
    PostMessage(dialog.GetSafeHwnd(), kBusy, 100, TRUE);
    ASSERT_TRUE(time.Settle());
    std::thread sender([hwnd = dialog.GetSafeHwnd()] { SendMessage(hwnd, kPing, 1, 0); });
    ASSERT_TRUE(time.Advance(std::chrono::milliseconds(100)));
    ui->Join();
    sender.join();
}

TEST_F(FrameworkTest, EndDialogInsideOnInitDialogEndsTheModalLoopAtOnce) {
    dialog.endInInit = true;
    ui = std::make_unique<UiThread>([this] { modalResult = dialog.DoModal(); });
    ui->Join();
    EXPECT_EQ(modalResult, 42);
    EXPECT_FALSE(agent.IsShown(kTestDialog));
}

TEST_F(FrameworkTest, ComboExchangeSelectsByPrefixElseSetsTheText) {
    Open();
    dialog.combo = "com5";
    Send(kExchange, FALSE);
    auto combo = agent.Control(kTestDialog, kCombo);
    EXPECT_EQ(combo->curSel, 1);
    EXPECT_EQ(combo->text, "COM5");

    dialog.combo = "COM12";
    Send(kExchange, FALSE);
    combo = agent.Control(kTestDialog, kCombo);
    EXPECT_EQ(combo->text, "COM12");

    agent.Type(kTestDialog, kCombo, "COM7");
    ASSERT_TRUE(time.Settle());
    Send(kExchange, TRUE);
    EXPECT_EQ(dialog.combo, "COM7");
}

}  // namespace
