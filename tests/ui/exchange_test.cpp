// Reading and writing a sensor end to end: the real dialog, port and monitor thread against a
// simulated sensor on a pseudo-terminal, under virtual time.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/tool_harness.h"

namespace {

using namespace std::chrono_literals;
using sensor_sim::SensorOptions;
constexpr const char* kDisplayed = "The Parameters have been Display correctly\r\n";

template <typename Change>
SensorOptions With(Change change) {
    SensorOptions options;
    change(options);
    return options;
}

class ExchangeTest : public ::testing::Test {
protected:
    ToolHarness h;
    sensor_sim::SimulatedSensor* sensor = nullptr;
    platform::TimePoint clicked;

    void StartWith(SensorOptions options = {}) {
        sensor = &h.AddSensor(3, options);
        h.Start();
        h.OpenPort();
    }
    void Silence(bool silent) {
        sensor->SetOptions(With([&](auto& o) { o.silent = silent; }));
    }
    std::vector<std::string> Commands() const {
        std::vector<std::string> commands;
        for (const auto& c : sensor->Received()) {
            commands.push_back(c.bytes);
        }
        return commands;
    }
    std::vector<platform::Duration> CommandTimes() const {
        std::vector<platform::Duration> times;
        for (const auto& c : sensor->Received()) {
            times.push_back(c.at - clicked);
        }
        return times;
    }
    void Click(int id) {
        clicked = h.time.Now();
        h.Click(id);
    }
    std::string Shown(int id) { return h.agent.Text(ToolHarness::kMain, id); }
    // A read the sensor answers, then a quick click: the answer to the read's last request is
    // still in the received text when the next command goes. (The sensor tells commands apart by
    // a moment's quiet between them.)
    void Read() {
        Click(IDC_BUTTON_SENSOR_INITIAL);
        Advance(400ms);
        h.ExpectBox(kDisplayed);
        Advance(20ms);
    }
    void Advance(platform::Duration d) { ASSERT_TRUE(h.time.Advance(d)); }
    // Every end is final: past all of the step's timers nothing more happens, and the dialog is
    // the user's again.
    void ExpectEndIsFinal(platform::Duration past) {
        Advance(20ms);  // the read's extra request, once its progress window has closed
        const std::size_t sent = Commands().size();
        Advance(past);
        h.ExpectNoBox();
        EXPECT_EQ(Commands().size(), sent);
        EXPECT_FALSE(h.agent.IsShown(ToolHarness::kProgress));
        EXPECT_TRUE(h.agent.Dialog(ToolHarness::kMain)->IsEnabled());
        EXPECT_EQ(h.dlg.GetExchange().TimeoutTicks(), 0);
    }
    // Feeds bytes to the dialog as the port monitor does.
    void Deliver(const std::string& bytes) {
        for (unsigned char byte : bytes) {
            SendMessage(h.dlg.GetSafeHwnd(), UWM_PORT_RXBYTE, byte, 3);
        }
    }
};

TEST_F(ExchangeTest, ReadPollsEveryHalfSecondUntilAnsweredAndShowsTheSensorsValues) {
    StartWith(With([](auto& o) { o.silent = true; }));
    Click(IDC_BUTTON_SENSOR_INITIAL);
    EXPECT_TRUE(h.agent.IsShown(ToolHarness::kProgress));
    Advance(1200ms);
    EXPECT_EQ(Commands(), (std::vector<std::string>{"100000", "100001", "100002"}));
    EXPECT_EQ(CommandTimes(), (std::vector<platform::Duration>{100ms, 600ms, 1100ms}));
    h.ExpectNoBox();

    Silence(false);
    Advance(600ms);
    h.ExpectBox(kDisplayed);
    EXPECT_TRUE(h.dlg.m_bParamsRead);
    EXPECT_EQ(Shown(IDC_EDIT_ADDRESS), "7");
    EXPECT_EQ(Shown(IDC_EDIT_HIGH_ALARM), "1200");
    auto interval = h.agent.Control(ToolHarness::kMain, IDC_COMBO_INTERVAL);
    EXPECT_EQ(interval->items[static_cast<std::size_t>(interval->curSel)], "30");

    // The box closed the progress dialog; the extra request goes out and its answer is dropped.
    ExpectEndIsFinal(51s);
    EXPECT_EQ(Commands().back(), "100004");
    EXPECT_EQ(h.dlg.GetExchange().RxCount(), 0u);
}

// A line that never goes quiet must not hold back what the dialog queues for it.
TEST_F(ExchangeTest, ASetGoesOutWhileTheSensorKeepsSending) {
    StartWith();
    Click(IDC_BUTTON_SENSOR_INITIAL);
    Advance(400ms);
    // The read's last request is answered with noise, 1000 bytes at line speed: 87 ms.
    sensor->SetOptions(With([](auto& o) {
        o.paced = true;
        o.noiseBytes = 1000;
    }));
    h.ExpectBox(kDisplayed);
    Advance(30ms);
    Click(IDC_BUTTON_SENSOR_SET);
    Advance(20ms);
    EXPECT_EQ(Commands().back().substr(0, 2), "11");
}

TEST_F(ExchangeTest, NbReplyNeedsFiftyBytesLoRaWanAHundred) {
    StartWith(With([](auto& o) { o.silent = true; }));
    h.Run([&] { h.dlg.m_bLoraWan = false; });
    Click(IDC_BUTTON_SENSOR_INITIAL);
    Advance(150ms);
    Deliver(std::string(49, 'x'));
    Advance(50ms);
    EXPECT_EQ(h.dlg.GetExchange().RxCount(), 49u);  // one short: not looked at
    Deliver("x");
    Advance(200ms);
    EXPECT_EQ(h.dlg.GetExchange().RxCount(), 0u);  // looked at and dropped: no "1000" in it
    h.ExpectNoBox();

    h.Run([&] { h.dlg.m_bLoraWan = true; });
    Deliver(std::string(99, 'x'));
    Advance(200ms);
    EXPECT_EQ(h.dlg.GetExchange().RxCount(), 99u);
}

TEST_F(ExchangeTest, TheMarkMayStandInAFieldAndARejectedReplySaysFailuer) {
    StartWith(With([](auto& o) { o.silent = true; }));
    Click(IDC_BUTTON_SENSOR_INITIAL);
    Advance(150ms);
    // No "1000" in the header; the high alarm field carries it.
    std::string reply =
        "HDR,0002,000F,0064,0000,1000,0000,433000000,AAAAAAAAAAAAAAAA,BBBBBBBBBBBBBBBB,"
        "CCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCC\r\n";
    // A tick comes while the reply is past the threshold but its line end is still on its way.
    Deliver(reply.substr(0, 105));
    Advance(60ms);
    Deliver(reply.substr(105));
    Advance(200ms);
    h.ExpectBox(kDisplayed);
    EXPECT_EQ(h.dlg.m_nHighAlarm, 0x1000);
    EXPECT_EQ(Shown(IDC_EDIT_FREQUENCY), "433000000");
    EXPECT_EQ(Shown(IDC_EDIT_APP_KEY), std::string(32, 'C'));

    // A second read: now a line with the mark but too few commas.
    h.Run([&] { h.dlg.m_bParamsRead = false; });
    Click(IDC_BUTTON_SENSOR_INITIAL);
    Advance(150ms);
    Deliver("1000,1,2,3" + std::string(100, ' '));
    Advance(200ms);
    h.ExpectBox("Failuer\r\n");
    ExpectEndIsFinal(51s);
    EXPECT_FALSE(h.dlg.m_bParamsRead);
    EXPECT_EQ(h.dlg.m_nHighAlarm, 0x1000);
}

TEST_F(ExchangeTest, SilentSensorTimesOutAfter102CommandsAndALateAnswerShowsItsOwnBox) {
    StartWith(With([](auto& o) { o.silent = true; }));
    Click(IDC_BUTTON_SENSOR_INITIAL);
    Advance(50s);
    EXPECT_EQ(Commands().size(), 100u);
    h.ExpectNoBox();
    // The 101st request goes out on the tick that gives up; its answer comes inside that box.
    Silence(false);
    Advance(300ms);
    const auto boxes = h.agent.Boxes();
    ASSERT_GE(boxes.size(), 3u);
    EXPECT_EQ(boxes[boxes.size() - 2].box.text, "Initial is FAIL, please try again");
    EXPECT_EQ(boxes.back().box.text, kDisplayed);
    EXPECT_EQ(Commands().size(), 101u);
    EXPECT_EQ(CommandTimes()[100], 50100ms);
    h.ExpectBox(kDisplayed);
    h.ExpectBox("Initial is FAIL, please try again");
    ExpectEndIsFinal(51s);
    EXPECT_EQ(Commands().size(), 102u);
}

TEST_F(ExchangeTest, SetWritesTheSensorOnAnExactEchoAndNeedsANewReadEachTime) {
    StartWith();
    Read();
    h.agent.Type(ToolHarness::kMain, IDC_EDIT_HIGH_ALARM, "1500");
    Click(IDC_BUTTON_SENSOR_SET);
    Advance(300ms);
    h.ExpectBox("The Parameters have been set correctly\r\n");
    EXPECT_EQ(sensor->Settings().highAlarm, 1500);
    EXPECT_EQ(Commands().back().substr(0, 2), "11");
    EXPECT_FALSE(h.agent.IsShown(ToolHarness::kProgress));

    Click(IDC_BUTTON_SENSOR_SET);
    h.ExpectBox("Please Click the Sensor Initial button Firstly");
}

// The answer to the read's last request may come just before the echo, or with it: that line goes
// alone, and the echo after it ends the set.
TEST_F(ExchangeTest, TheReadsLastAnswerBeforeTheEchoIsDroppedAloneAndTheSetSucceeds) {
    constexpr const char* kSet = "The Parameters have been set correctly\r\n";
    StartWith(With([](auto& o) { o.replyDelay = 50ms; }));
    Click(IDC_BUTTON_SENSOR_INITIAL);
    Advance(400ms);
    h.ExpectBox(kDisplayed);
    // Pressed at once: the read's last answer and the echo both come before the first set tick.
    Advance(20ms);
    Click(IDC_BUTTON_SENSOR_SET);
    Advance(400ms);
    h.ExpectBox(kSet);

    Read();
    Silence(true);
    Click(IDC_BUTTON_SENSOR_SET);
    Advance(10ms);
    const std::string echo = Commands().back();
    const std::string readAnswer =
        "100009,0007,001E,2710,0000,05DC,0014,868500000,70B3D57ED0010727,70B3D57ED0010727,"
        "5A1F0C33E8D2B7946C0A17F4D39E2B61";
    Deliver(readAnswer + "\r\n" + echo + "\r\n");
    Advance(500ms);
    h.ExpectBox(kSet);
    ExpectEndIsFinal(220s);
}

// Where a separator may stand is the checks' table (sensor tests); here, that a refusal sends
// nothing and keeps the read.
TEST_F(ExchangeTest, ASeparatorTypedIntoAFieldIsRefusedAndNothingIsSent) {
    StartWith();
    Read();
    const std::size_t sent = Commands().size();
    h.agent.Type(ToolHarness::kMain, IDC_EDIT_APP_EUI, "00,1223344556677");
    Click(IDC_BUTTON_SENSOR_SET);
    h.ExpectBox("APP EUI must not contain commas or line breaks");
    ExpectEndIsFinal(1s);
    EXPECT_EQ(Commands().size(), sent);
    EXPECT_TRUE(h.dlg.m_bParamsRead);
}

TEST_F(ExchangeTest, AnEchoOneCharacterOffIsDroppedAndTheSetTimesOut) {
    StartWith(With([](auto& o) { o.corruptEcho = true; }));
    Read();
    Click(IDC_BUTTON_SENSOR_SET);
    Advance(209s);
    h.ExpectNoBox();
    Advance(2s);
    h.ExpectBox("Setting is FAIL, please try again");
    ExpectEndIsFinal(220s);
    EXPECT_FALSE(h.dlg.m_bParamsRead);
    // The set went out once.
    int sets = 0;
    for (const auto& c : Commands()) {
        sets += c.substr(0, 2) == "11" ? 1 : 0;
    }
    EXPECT_EQ(sets, 1);
}

// The echo is the command and its line end, nothing more.
TEST_F(ExchangeTest, AnEchoWithTextAfterTheCommandIsNoEcho) {
    StartWith();
    Read();
    Silence(true);
    Click(IDC_BUTTON_SENSOR_SET);
    Advance(10ms);
    Deliver(Commands().back() + ",0\r\n");
    Advance(300ms);
    h.ExpectNoBox();
}

// A box over the progress window (the port's report) must not hand the main dialog back to the
// user while the progress window is still up.
TEST_F(ExchangeTest, TheMainDialogStaysDisabledUnderTheProgressAlsoAfterABoxOverItCloses) {
    StartWith(With([](auto& o) { o.silent = true; }));
    Click(IDC_BUTTON_SENSOR_INITIAL);
    EXPECT_FALSE(h.agent.Dialog(ToolHarness::kMain)->IsEnabled());
    sensor->HangUp();
    Advance(600ms);
    ASSERT_TRUE(h.agent.OpenMessageBox().has_value());
    while (h.agent.CloseMessageBox()) {
        ASSERT_TRUE(h.time.Settle());
    }
    EXPECT_TRUE(h.agent.IsShown(ToolHarness::kProgress));
    EXPECT_FALSE(h.agent.Dialog(ToolHarness::kMain)->IsEnabled());
}

TEST_F(ExchangeTest, ProgressStepsOnceASecondEscapeSendsTheExtraRequestAndTheBarCarriesOver) {
    StartWith(With([](auto& o) { o.silent = true; }));
    Click(IDC_BUTTON_SENSOR_INITIAL);
    auto position = [&] { return h.agent.Control(ToolHarness::kProgress, IDC_PROGRESS_BAR)->pos; };
    std::vector<int> steps;
    for (int i = 0; i < 8; ++i) {
        Advance(1s);
        steps.push_back(position());
    }
    EXPECT_EQ(steps, (std::vector<int>{100, 200, 300, 400, 500, 0, 100, 200}));
    h.agent.PressEscape(ToolHarness::kProgress);
    ASSERT_TRUE(h.time.Settle());
    EXPECT_FALSE(h.agent.IsShown(ToolHarness::kProgress));
    Advance(10ms);  // the sensor takes a command in once the line has been quiet a moment
    EXPECT_EQ(CommandTimes().back(), 8s);
    Advance(45s);  // polling went on
    h.ExpectBox("Initial is FAIL, please try again");

    Click(IDC_BUTTON_SENSOR_INITIAL);
    EXPECT_EQ(position(), 0);
    Advance(1s);
    EXPECT_EQ(position(), 300);
}

}  // namespace
