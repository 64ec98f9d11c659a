// A seeded random user against the real dialog on the headless presenter, under virtual time,
// with simulated sensors that change their misbehaviour between actions. After every action:
// nothing hangs, every operation ends with one of its texts in time, no set goes out without an
// accepted read before it, every command on the line is whole and in order, and windows and text
// stay bounded. KALDO_MONKEY_ACTIONS sets the actions per seed, KALDO_MONKEY_SEEDS the seeds
// (comma-separated): the suite runs a short one, scripts/check a long one.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/tool_harness.h"
#include "tools/sensor-sim/sensor_model.h"

namespace {

using namespace std::chrono_literals;
using platform::Duration;
using platform::TimePoint;
using sensor_sim::Command;
using sensor_sim::SensorOptions;
using sensor_sim::Variant;

constexpr UINT kMain = ToolHarness::kMain;
constexpr UINT kProgress = ToolHarness::kProgress;

const std::string kReadAccepted = "The Parameters have been Display correctly\r\n";
const std::set<std::string> kReadEnds = {kReadAccepted, "Failuer\r\n",
                                         "Initial is FAIL, please try again"};
const std::set<std::string> kSetEnds = {"The Parameters have been set correctly\r\n", "Failure\r\n",
                                        "Setting is FAIL, please try again"};
// Every other text a box of the tool may show, each between bars.
constexpr std::string_view kOtherTexts =
    "|Please intial the Serial COM firstly|Please Initial the Serial Port sucessfully again"
    "|Please Click the Sensor Initial button Firstly|Please check the Lora Frequency"
    "|Please check the Lora EUI|Please input the right APPEUI|Please input the right APPKey"
    "|Please check the NB band|Please check the NB IMEI|Please check the Server IP"
    "|Please check the Server Port|The port is used by others|The numbers of HOST is exceed 10"
    "|Intial Serial Port sucessful|Please enter an integer."
    "|APP EUI must not contain commas or line breaks|APP Key must not contain commas or line breaks"
    "|Server IP must not contain commas or line breaks"
    "|Server Port must not contain commas or line breaks|";
const std::string kErrorCaption = "Application Error";

// A read polls for 500 ticks of 100 ms, a set waits 21 ticks of 10 s; both counters start again
// whenever any operation ends. The slack covers the 100 ms pause of every reply tick, which
// slows the polling while answers keep coming.
constexpr Duration kReadLimit = 150s;
constexpr Duration kSetLimit = 300s;
// The main dialog and the progress dialog with their controls, with room for nothing else.
constexpr std::size_t kMaxWindows = 60;
constexpr std::size_t kIntervalEntriesAtStart = 7;

std::vector<std::uint32_t> Seeds() {
    const char* value = std::getenv("KALDO_MONKEY_SEEDS");
    std::stringstream list(value != nullptr ? value : "1");
    std::vector<std::uint32_t> seeds;
    for (std::string item; std::getline(list, item, ',');) {
        seeds.push_back(static_cast<std::uint32_t>(std::stoul(item)));
    }
    return seeds;
}

class Monkey {
public:
    explicit Monkey(std::uint32_t seed) : rng_(seed), seed_(seed) {}

    void Run(long actions) {
        while (action_ < actions && !Failed()) {
            StartSession();
            const long end = std::min(actions, action_ + Between(200, 3000));
            for (; action_ < end && h_->agent.IsShown(kMain) && !Failed(); ++action_) {
                SCOPED_TRACE(::testing::Message() << "seed " << seed_ << ", action " << action_);
                RandomAction();
                Wait(Pause());
                Check();
            }
            h_.reset();  // closes whatever is still open, as the user would
        }
    }

private:
    // ---- random choices ----
    long Between(long low, long high) {
        return std::uniform_int_distribution<long>(low, high)(rng_);
    }
    std::size_t Size(long low, long high) { return static_cast<std::size_t>(Between(low, high)); }
    std::chrono::milliseconds Ms(long low, long high) {
        return std::chrono::milliseconds(Between(low, high));
    }
    bool Chance(double p) { return std::bernoulli_distribution(p)(rng_); }
    template <typename T>
    const T& OneOf(const std::vector<T>& items) {
        return items[Size(0, static_cast<long>(items.size()) - 1)];
    }
    std::string Chars(std::string_view alphabet, std::size_t length) {
        std::string text;
        while (text.size() < length) {
            text += alphabet[Size(0, static_cast<long>(alphabet.size()) - 1)];
        }
        return text;
    }
    std::string Hex(std::size_t length) { return Chars("0123456789ABCDEF", length); }

    // What a technician means to type into that field, or now and then anything at all: edge
    // numbers, near-numbers, separators, long and non-ASCII text.
    std::string Text(int control) {
        const long kind = Chance(0.2) ? Between(0, 4) : 5;
        const bool port = control == IDC_COMBO_COM_PORT && Chance(0.5);
        return kind == 0   ? OneOf<std::string>({"", " ", "abc", "12abc", "1.5", "0x10", "+", " 42",
                                                 "1e3", "2147483647", "-2147483648", "99999999999",
                                                 "4294967296", "-1", "\xCE\x94\xC2\xB0", "1.1.1.1,5"})
               : kind == 1 ? Hex(Chance(0.5) ? 16 : 32)
               : kind == 2
                   ? Chars(" !\"#$%&'()*+,-./0123456789:;<=>?@ABCXYZ[\\]^_`abcxyz{|}~", Size(0, 40))
               : kind == 3                     ? std::string(Size(100, 2000), 'A')
               : kind == 4                     ? std::to_string(Between(-100, 20000))
               : control == IDC_EDIT_APP_EUI   ? Hex(16)
               : control == IDC_EDIT_APP_KEY   ? Hex(32)
               : control == IDC_EDIT_SERVER_IP ? OneOf<std::string>({"1.1.1.1", "10.0.0.1"})
               : port                          ? OneOf<std::string>({"COM3", "COM5"})
               : control == IDC_COMBO_COM_PORT
                   ? OneOf<std::string>({"COM12", "COM7", "COM-1", "COM0", "", "COM99999999999",
                                         "COM3junk", "COM 5"})
                   : std::to_string(Between(0, 20000));
    }

    // At most one misbehaviour at a time, and mostly none.
    SensorOptions RandomOptions(Variant variant) {
        SensorOptions o;
        o.variant = variant;
        o.seed = static_cast<std::uint32_t>(Between(1, 1000000));
        o.paced = Chance(0.3);
        o.replyDelay = Chance(0.2) ? Ms(0, 2000) : 0ms;
        const std::function<void()> misbehaviours[] = {
            [&] { o.silent = true; },
            [&] { o.cutTo = Size(0, 160); },
            [&] { o.splitAt = Size(1, 160), o.splitPause = Ms(0, 600); },
            [&] { o.noiseBytes = Size(1, 60); },
            [&] { o.corruptEcho = true; },
            [&] { o.hangUpAfter = Size(0, 160); },
            [&] { o.floodBytes = Chance(0.95) ? Size(1, 1500) : Size(1500, 10000); },
            [&] { o.variant = variant == Variant::LoRaWan ? Variant::NbIot : Variant::LoRaWan; },
        };
        if (const std::size_t pick = Size(0, 15); pick < std::size(misbehaviours)) {
            misbehaviours[pick]();
        }
        return o;
    }

    sensor_sim::SensorSettings RandomSettings() {
        sensor_sim::SensorSettings s;
        s.address = static_cast<int>(Between(0, 70000));
        s.interval = OneOf<int>({15, 30, 60, 120, 45, 7, 0, 65535, -1});
        s.highAlarm = static_cast<int>(Between(-5, 70000));
        s.lowAlarm = static_cast<int>(Between(-5, 2000));
        if (Chance(0.2)) {
            s.frequency = std::string(Size(0, 400), '8');
            s.devEui = Hex(Size(0, 20));
        }
        return s;
    }

    // Always a little, so that the sensor tells the commands of two actions apart; now and then
    // a long wait.
    Duration Pause() {
        return Ms(8, 40) + (Chance(0.2) ? Ms(0, 500) : 0ms) + (Chance(0.02) ? Ms(500, 5000) : 0ms) +
               (Chance(0.002) ? Ms(5000, 60000) : 0ms);
    }

    // ---- the user ----
    void StartSession() {
        h_ = std::make_unique<ToolHarness>();
        s_ = {};
        SensorOptions nb;
        nb.variant = Variant::NbIot;
        s_.sensors = {&h_->AddSensor(3), &h_->AddSensor(5, nb), &h_->AddSensor(12)};
        h_->Start();
        s_.lastEnd = h_->time.Now();
        if (Chance(0.8)) {
            h_->agent.Click(kMain, IDC_BUTTON_USB_SET);
            Wait();
        }
    }

    void RandomAction() {
        auto& a = h_->agent;
        std::vector<int> open;
        for (const auto& shown : a.Boxes()) {
            if (shown.open) {
                open.push_back(shown.box.id);
            }
        }
        // A user leaves only so many boxes open before dealing with them: mostly the newest,
        // sometimes an older one still on the screen.
        if (!open.empty() && (open.size() > 6 || Chance(0.35))) {
            const int id = Chance(0.85) ? open.back() : OneOf(open);
            ::CloseMessageBox(id, IDOK);
            return;
        }
        const long pick = Between(0, 25);
        if (pick < 9) {
            constexpr int kButtons[] = {IDC_BUTTON_SENSOR_INITIAL, IDC_BUTTON_SENSOR_SET,
                                        IDC_BUTTON_USB_SET, IDC_RADIO_LORAWAN, IDC_RADIO_NB};
            const int button = kButtons[pick < 6 ? pick % 2 : pick - 4];
            if (button == IDC_BUTTON_SENSOR_INITIAL && a.Dialog(kMain)->IsEnabled()) {
                Query([&] { s_.readRequested = s_.readRequested || h_->dlg.m_bPortOpen; });
            }
            a.Click(kMain, button);
        } else if (pick < 14) {
            const int control = OneOf<int>(
                {IDC_EDIT_HIGH_ALARM, IDC_EDIT_LOW_ALARM, IDC_EDIT_APP_EUI, IDC_EDIT_APP_KEY,
                 IDC_EDIT_SERVER_IP, IDC_EDIT_SERVER_PORT, IDC_EDIT_FREQUENCY, IDC_EDIT_ADDRESS,
                 IDC_COMBO_BAUDRATE, IDC_COMBO_COM_PORT, IDC_EDIT_PROGRESS_TEXT});
            a.Type(control == IDC_EDIT_PROGRESS_TEXT ? kProgress : kMain, control, Text(control));
        } else if (pick == 14) {
            const int list =
                OneOf<int>({IDC_COMBO_INTERVAL, IDC_COMBO_BAUDRATE, IDC_COMBO_COM_PORT});
            const int index = static_cast<int>(Between(-1, 9));
            a.Pick(kMain, list, index);
        } else if (pick < 17 || (pick == 19 && Chance(0.01))) {
            // Keys on the progress dialog; now and then on the main one, ending the program.
            const UINT dialog = pick < 17 ? kProgress : kMain;
            const long key = Between(0, 2);
            key == 0 ? a.PressEnter(dialog) : key == 1 ? a.PressEscape(dialog) : a.CloseBox(dialog);
        } else if (pick < 19) {
            auto* sensor = OneOf(s_.sensors);
            const long what =
                !sensor->IsConnected() && Chance(0.7) ? 0 : std::min(Between(1, 5), 3L);
            if (what == 0) {
                EXPECT_EQ(sensor->Reconnect(), 0);
            } else if (what == 1) {
                sensor->HangUp();
            } else if (what == 2) {
                sensor->SetSettings(RandomSettings());
            } else {
                sensor->SetOptions(RandomOptions(sensor->Options().variant));
            }
        }
    }

    // ---- waiting ----
    // Lets the program become idle with virtual time moved on by d. A port being closed waits
    // for its monitor, which may be showing an error box: the user closes it.
    void Wait(Duration d = {}) {
        auto& hub = platform::WaitHub::Instance();
        const TimePoint target = hub.Now() + d;
        // Moving time on wakes every thread: not once it is there.
        const auto rest = [&](std::chrono::milliseconds timeout) {
            const Duration left = target - hub.Now();
            return left > Duration{} ? hub.AdvanceBy(left, timeout) : hub.WaitIdle(timeout);
        };
        // How long a settle may take before the user looks for an error box holding it up.
        constexpr auto kQuickSettle = 100ms;
        bool closed = true;
        for (int attempt = 0; attempt < 100 && closed; ++attempt) {
            if (rest(kQuickSettle)) {
                return;
            }
            closed = CloseErrorBox();
        }
        if (closed || !rest(20s)) {
            ADD_FAILURE() << "the program did not become idle";
        }
    }

    // Runs f on the dialog's thread. That thread may be in a pause on virtual time, or waiting
    // without taking messages for its port's monitor to leave an error box: time moves on in
    // small steps and the user closes such boxes until f has run.
    void Query(const std::function<void()>& f) {
        std::atomic<bool> done{false};
        std::function<void()> run = [&] {
            f();
            done = true;
        };
        PostMessage(h_->dlg.GetSafeHwnd(), TestableDialog::kRunOnUiThread, 0,
                    reinterpret_cast<LPARAM>(&run));
        Duration step{};
        for (int steps = 0;; ++steps) {
            Wait(step);
            // A message to a window that has gone is dropped.
            if (done || !h_->agent.Dialog(kMain)) {
                return;
            }
            if (steps == 1000 || Failed()) {
                ADD_FAILURE() << "the dialog does not answer";
                std::abort();  // f still refers to this frame
            }
            step = CloseErrorBox() ? 0ms : 1ms;
        }
    }

    bool CloseErrorBox() {
        for (const auto& shown : h_->agent.Boxes()) {
            if (shown.open && shown.box.caption == kErrorCaption) {
                return ::CloseMessageBox(shown.box.id, IDOK);
            }
        }
        return false;
    }

    // ---- the checks ----
    static bool Failed() { return ::testing::Test::HasFailure(); }

    void Check() {
        // Once the dialog has gone there is nothing left to ask it.
        if (Failed() || !h_->agent.Dialog(kMain)) {
            return;
        }
        // First what only the dialog's thread may read, which may take a little virtual time;
        // then all else, with time standing still.
        std::string last;
        int composed = 0;
        Query([&] {
            const auto& dlg = h_->dlg;
            // The text is cut at its line end while its box is open; the count only at the reset.
            EXPECT_LE(static_cast<std::uint32_t>(dlg.GetExchange().Rx().GetLength()),
                      dlg.GetExchange().RxCount());
            last = dlg.GetExchange().LastCommand().GetString();
            composed = dlg.GetExchange().Sequence();
        });
        const TimePoint now = h_->time.Now();
        CheckBoxes(now);
        CheckLine(last, composed, now);

        if (s_.readRequested && !s_.readSince && h_->agent.IsShown(kProgress)) {
            s_.readSince = now;
            s_.readRequested = false;
        }
        const auto late = [&](const std::optional<TimePoint>& since, Duration limit) {
            return since && now - std::max(*since, s_.lastEnd) > limit;
        };
        EXPECT_FALSE(late(s_.readSince, kReadLimit));
        EXPECT_FALSE(late(s_.setSince, kSetLimit));
        EXPECT_LE(h_->presenter.Windows().size(), kMaxWindows);
        if (const auto list = h_->agent.Control(kMain, IDC_COMBO_INTERVAL)) {
            const std::set<std::string> unique(list->items.begin(), list->items.end());
            EXPECT_EQ(unique.size(), list->items.size());
            EXPECT_LE(list->items.size(), kIntervalEntriesAtStart + s_.reads);
        }
        h_->presenter.ForgetClosedBoxes();
    }

    void CheckBoxes(TimePoint now) {
        for (const auto& shown : h_->agent.Boxes()) {
            const auto& box = shown.box;
            if (box.id <= lastBoxId_) {
                continue;
            }
            lastBoxId_ = box.id;
            if (box.caption == kErrorCaption) {
                EXPECT_TRUE(box.text.starts_with("WARNING:  ")) << box.text;
            } else if (kReadEnds.contains(box.text)) {
                s_.readSince.reset();
                s_.readRequested = false;
                s_.lastEnd = now;
                s_.reads += box.text == kReadAccepted ? 1 : 0;
            } else if (kSetEnds.contains(box.text)) {
                s_.setSince.reset();
                s_.lastEnd = now;
            } else {
                EXPECT_NE(kOtherTexts.find("|" + box.text + "|"), kOtherTexts.npos) << box.text;
            }
        }
    }

    // Commands the tool writes within the sensor's command gap (a poll, the extra request after
    // a read, a set right after) reach it as one burst. While sequences have four digits a read
    // is six characters; reads are peeled off the front.
    static std::vector<std::string> Commands(const std::string& burst) {
        constexpr std::size_t kRead = 6;
        std::vector<std::string> commands;
        std::size_t at = 0;
        while (burst.size() - at > kRead && burst[at] == '1' &&
               (burst[at + 1] == '0' || burst[at + 1] == '2')) {
            commands.push_back(burst.substr(at, kRead));
            at += kRead;
        }
        commands.push_back(burst.substr(at));
        return commands;
    }

    // Every command on the line is one the sensor can parse, goes out once, and no set goes out
    // without an accepted read of its own before it.
    void CheckLine(const std::string& last, int composed, TimePoint now) {
        const auto noteSet = [&](const Command& command) {
            if (command.kind == Command::Kind::Set &&
                s_.sets.insert(std::stoul(command.sequence, nullptr, 16)).second) {
                s_.setSince = now;
            }
        };
        if (const auto command = sensor_sim::ParseCommand(last)) {
            noteSet(*command);
        }
        for (auto* sensor : s_.sensors) {
            const auto received = sensor->Received();
            ASSERT_LT(received.size(), sensor_sim::SimulatedSensor::kMaxRecords)
                << "session too long";
            for (std::size_t& seen = s_.seen[sensor]; seen < received.size(); ++seen) {
                for (const std::string& bytes : Commands(received[seen].bytes)) {
                    const auto command = sensor_sim::ParseCommand(bytes);
                    if (!command) {
                        ADD_FAILURE() << "malformed command " << bytes;
                        continue;
                    }
                    // Commands may overtake one another (a request sent while an earlier one
                    // waits behind a box), but each goes out once.
                    const auto sequence = std::stoul(command->sequence, nullptr, 16);
                    EXPECT_TRUE(s_.sent.insert(sequence).second) << "sent twice " << bytes;
                    EXPECT_LT(sequence, static_cast<unsigned long>(composed)) << bytes;
                    noteSet(*command);
                }
            }
        }
        EXPECT_LE(s_.sets.size(), s_.reads) << "sets after accepted reads";
    }

    struct Session {
        std::vector<sensor_sim::SimulatedSensor*> sensors;
        std::map<sensor_sim::SimulatedSensor*, std::size_t> seen;  // records looked at
        std::set<unsigned long> sent;
        std::set<unsigned long> sets;
        std::size_t reads = 0;  // accepted
        bool readRequested = false;
        std::optional<TimePoint> readSince;
        std::optional<TimePoint> setSince;
        TimePoint lastEnd{};
    };

    std::mt19937_64 rng_;
    std::uint32_t seed_;
    long action_ = 0;
    std::unique_ptr<ToolHarness> h_;
    Session s_;
    int lastBoxId_ = 0;
};

class MonkeyTest : public ::testing::TestWithParam<std::uint32_t> {};

TEST_P(MonkeyTest, RandomUserAndMisbehavingSensorsBreakNothing) {
    const char* actions = std::getenv("KALDO_MONKEY_ACTIONS");
    Monkey(GetParam()).Run(actions != nullptr ? std::atol(actions) : 2000);
}

INSTANTIATE_TEST_SUITE_P(Seeds, MonkeyTest, ::testing::ValuesIn(Seeds()));

}  // namespace
