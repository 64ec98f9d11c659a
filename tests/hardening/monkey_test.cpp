// A seeded random user against the real dialog on the headless presenter, under virtual time,
// with simulated sensors that change their misbehaviour between actions. After every action:
// nothing hangs, every operation ends with one of its messages in time, no set goes out without
// an accepted read before it, every command on the line is whole and in order, and memory stays
// bounded. KALDO_MONKEY_ACTIONS sets the actions per seed (KALDO_MONKEY_SEEDS the seeds,
// comma-separated): the suite runs a short one, scripts/check a long one.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <deque>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "tests/support/tool_harness.h"
#include "tools/sensor-sim/sensor_model.h"

namespace {

using namespace std::chrono_literals;
using platform::Duration;
using platform::TimePoint;
using sensor_sim::SensorOptions;
using sensor_sim::SimulatedSensor;

constexpr UINT kMain = ToolHarness::kMain;
constexpr UINT kProgress = ToolHarness::kProgress;

constexpr const char* kReadAccepted = "The Parameters have been Display correctly\r\n";
const std::set<std::string> kReadEnds = {kReadAccepted, "Failuer\r\n",
                                         "Initial is FAIL, please try again"};
const std::set<std::string> kSetEnds = {"The Parameters have been set correctly\r\n", "Failure\r\n",
                                        "Setting is FAIL, please try again"};
const std::set<std::string> kOtherTexts = {
    "Please intial the Serial COM firstly",
    "Please Initial the Serial Port sucessfully again",
    "Please Click the Sensor Initial button Firstly",
    "Please check the Lora Frequency",
    "Please check the Lora EUI",
    "Please input the right APPEUI",
    "Please input the right APPKey",
    "Please check the NB band",
    "Please check the NB IMEI",
    "Please check the Server IP",
    "Please check the Server Port",
    "The port is used by others",
    "The numbers of HOST is exceed 10",
    "Intial Serial Port sucessful",
    "Please enter an integer.",
    "APP EUI must not contain commas or line breaks",
    "APP Key must not contain commas or line breaks",
    "Server IP must not contain commas or line breaks",
    "Server Port must not contain commas or line breaks",
};
constexpr const char* kErrorCaption = "Application Error";

// A read polls for 500 ticks of 100 ms, a set waits 21 ticks of 10 s; both counters start again
// whenever any operation ends. The slack covers the 100 ms pause of every reply tick, which
// slows the polling while answers keep coming.
constexpr Duration kReadLimit = 150s;
constexpr Duration kSetLimit = 300s;

// The main dialog and the progress dialog with their controls, with room for nothing else.
constexpr std::size_t kMaxWindows = 60;
constexpr std::size_t kIntervalEntriesAtStart = 7;
constexpr long kForgetClosedBoxesEvery = 500;
// A user leaves only so many boxes open before dealing with them.
constexpr std::size_t kMaxOpenBoxes = 6;
// How long a settle may take before the user looks for an error box holding up the program.
constexpr auto kQuickSettle = std::chrono::milliseconds(100);
// Longer than any pause of the dialog's thread, in steps of 1 ms of virtual time.
constexpr int kMaxQuerySteps = 1000;

long EnvNumber(const char* name, long fallback) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::atol(value) : fallback;
}

std::vector<std::uint32_t> Seeds() {
    std::vector<std::uint32_t> seeds;
    const char* value = std::getenv("KALDO_MONKEY_SEEDS");
    std::stringstream list(value != nullptr ? value : "1");
    for (std::string item; std::getline(list, item, ',');) {
        seeds.push_back(static_cast<std::uint32_t>(std::stoul(item)));
    }
    return seeds;
}

class Monkey {
public:
    explicit Monkey(std::uint32_t seed) : rng_(seed), seed_(seed) {}

    void Run(long actions) {
        while (actions_ < actions && !::testing::Test::HasFailure()) {
            StartSession();
            const long sessionEnd = actions_ + Between(200, 3000);
            while (actions_ < std::min(actions, sessionEnd) && !ended_ &&
                   !::testing::Test::HasFailure()) {
                Step();
            }
            EndSession();
        }
    }

private:
    // ---- random choices ----
    long Between(long low, long high) {
        return std::uniform_int_distribution<long>(low, high)(rng_);
    }
    bool Chance(double p) { return std::bernoulli_distribution(p)(rng_); }
    template <typename T>
    const T& OneOf(const std::vector<T>& items) {
        return items[static_cast<std::size_t>(Between(0, static_cast<long>(items.size()) - 1))];
    }

    std::string Chars(std::string_view alphabet, long length) {
        std::string text;
        for (long i = 0; i < length; ++i) {
            text += alphabet[static_cast<std::size_t>(Between(0, long(alphabet.size()) - 1))];
        }
        return text;
    }
    std::string HexText(long length) { return Chars("0123456789ABCDEF", length); }

    // Anything at all: edge numbers, near-numbers, separators, long and non-ASCII text.
    std::string RandomText() {
        switch (Between(0, 4)) {
            case 0:
                return OneOf<std::string>({"", " ", "abc", "12abc", "1.5", "0x10", "+", " 42",
                                           "1e3", "2147483647", "-2147483648", "99999999999",
                                           "4294967296", "-1", "\xCE\x94\xC2\xB0", "1.1.1.1,5"});
            case 1:
                return HexText(OneOf<long>({16, 32}));
            case 2:
                return Chars(" !\"#$%&'()*+,-./0123456789:;<=>?@ABCXYZ[\\]^_`abcxyz{|}~",
                             Between(0, 40));
            case 3:
                return std::string(static_cast<std::size_t>(Between(100, 2000)), 'A');
            default:
                return std::to_string(Between(-100, 20000));
        }
    }

    // What a technician means to type into that field.
    std::string PlausibleText(int edit) {
        switch (edit) {
            case IDC_EDIT_APP_EUI:
                return HexText(16);
            case IDC_EDIT_APP_KEY:
                return HexText(32);
            case IDC_EDIT_SERVER_IP:
                return OneOf<std::string>({"1.1.1.1", "192.168.1.10", "10.0.0.1"});
            case IDC_COMBO_COM_PORT:
                return Chance(0.5) ? OneOf<std::string>({"COM3", "COM5"})
                                   : OneOf<std::string>({"COM12", "COM7", "COM-1", "COM0", "",
                                                         "COM99999999999", "COM3junk", "COM 5"});
            default:
                return std::to_string(Between(0, 20000));
        }
    }

    SensorOptions RandomOptions(const SensorOptions& current) {
        SensorOptions options;
        options.variant = current.variant;
        options.seed = static_cast<std::uint32_t>(Between(1, 1000000));
        options.paced = Chance(0.3);
        if (Chance(0.2)) {
            options.replyDelay = std::chrono::milliseconds(Between(0, 2000));
        }
        switch (Between(0, 15)) {
            case 0:
                options.silent = true;
                break;
            case 1:
                options.cutTo = static_cast<std::size_t>(Between(0, 160));
                break;
            case 2:
                options.splitAt = static_cast<std::size_t>(Between(1, 160));
                options.splitPause = std::chrono::milliseconds(Between(0, 600));
                break;
            case 3:
                options.noiseBytes = static_cast<std::size_t>(Between(1, 60));
                break;
            case 4:
                options.corruptEcho = true;
                break;
            case 5:
                options.hangUpAfter = static_cast<std::size_t>(Between(0, 160));
                break;
            case 6:
                options.floodBytes = static_cast<std::size_t>(Chance(0.95) ? Between(1, 1500)
                                                                           : Between(1500, 10000));
                break;
            case 7:
                options.variant = current.variant == sensor_sim::Variant::LoRaWan
                                      ? sensor_sim::Variant::NbIot
                                      : sensor_sim::Variant::LoRaWan;
                break;
            default:
                break;  // behaves
        }
        return options;
    }

    sensor_sim::SensorSettings RandomSettings() {
        sensor_sim::SensorSettings s;
        s.address = static_cast<int>(Between(0, 70000));
        s.interval = OneOf<int>({15, 30, 60, 120, 45, 7, 0, 65535, -1});
        s.highAlarm = static_cast<int>(Between(-5, 70000));
        s.lowAlarm = static_cast<int>(Between(-5, 2000));
        if (Chance(0.2)) {
            s.frequency = std::string(static_cast<std::size_t>(Between(0, 400)), '8');
            s.devEui = HexText(static_cast<std::size_t>(Between(0, 20)));
        }
        return s;
    }

    // ---- the session: a fresh start of the tool ----
    void StartSession() {
        ended_ = false;
        h_ = std::make_unique<ToolHarness>();
        sensors_.clear();
        SensorOptions nb;
        nb.variant = sensor_sim::Variant::NbIot;
        sensors_.push_back({&h_->AddSensor(3), 3});
        sensors_.push_back({&h_->AddSensor(5, nb), 5});
        sensors_.push_back({&h_->AddSensor(12), 12});
        h_->Start();
        read_ = {};
        set_ = {};
        readRequested_ = false;
        sessionStart_ = h_->time.Now();
        lastEnd_ = sessionStart_;
        lineSeen_.clear();
        sentSequences_.clear();
        sessionReads_ = 0;
        seenSets_.clear();
        if (Chance(0.8)) {
            Act("open port", [&] { h_->agent.Click(kMain, IDC_BUTTON_USB_SET); });
        }
    }

    void EndSession() {
        Check();
        h_->Close();
        // The port's destructor waits for its monitor, which may be showing an error box: the
        // user closes it, as the tool's window has gone and the box is all that is left.
        std::atomic<bool> gone{false};
        std::thread closing([&] {
            h_.reset();
            gone = true;
        });
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (!gone) {
            CloseErrorBox();
            if (std::chrono::steady_clock::now() > giveUp) {
                Fail("the tool did not end");
                std::abort();  // the closing thread still uses the harness
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        closing.join();
        Presenter().ForgetClosedBoxes();
    }

    static HeadlessPresenter& Presenter() {
        return static_cast<HeadlessPresenter&>(GetPresenter());
    }

    // ---- one step: an action, a pause, the checks ----
    void Step() {
        RandomAction();
        Pause();
        Check();
        ended_ = !h_->agent.IsShown(kMain);
        if (++actions_ % kForgetClosedBoxesEvery == 0) {
            Presenter().ForgetClosedBoxes();
        }
    }

    void Act(const std::string& what, const std::function<void()>& action) {
        trail_.push_back(Describe(what));
        if (trail_.size() > 40) {
            trail_.pop_front();
        }
        action();
        Settle();
    }

    std::string Describe(const std::string& what) const {
        std::ostringstream out;
        out << "#" << actions_ << " t="
            << std::chrono::duration_cast<std::chrono::milliseconds>(h_->time.Now() - sessionStart_)
                   .count()
            << "ms " << what;
        return out.str();
    }

    void RandomAction() {
        auto& agent = h_->agent;
        const auto box = agent.OpenMessageBox();
        if (box && (OpenBoxes() > kMaxOpenBoxes || Chance(0.35))) {
            CloseSomeBox();
            return;
        }
        switch (Between(0, 24)) {
            case 0:
            case 1:
            case 2:
                if (ReadWouldStart()) {
                    readRequested_ = true;
                }
                Act("click Sensor Initial", [&] { agent.Click(kMain, IDC_BUTTON_SENSOR_INITIAL); });
                break;
            case 3:
            case 4:
            case 5:
                Act("click Sensor Set", [&] { agent.Click(kMain, IDC_BUTTON_SENSOR_SET); });
                break;
            case 6:
                Act("click USB Set", [&] { agent.Click(kMain, IDC_BUTTON_USB_SET); });
                break;
            case 7: {
                const int radio = Chance(0.5) ? IDC_RADIO_LORAWAN : IDC_RADIO_NB;
                Act("click mode " + std::to_string(radio), [&] { agent.Click(kMain, radio); });
                break;
            }
            case 8:
            case 9:
            case 10:
            case 11: {
                const int edit = OneOf<int>(
                    {IDC_EDIT_HIGH_ALARM, IDC_EDIT_LOW_ALARM, IDC_EDIT_APP_EUI, IDC_EDIT_APP_KEY,
                     IDC_EDIT_SERVER_IP, IDC_EDIT_SERVER_PORT, IDC_EDIT_FREQUENCY, IDC_EDIT_ADDRESS,
                     IDC_COMBO_BAUDRATE, IDC_COMBO_COM_PORT});
                const std::string text = Chance(0.2) ? RandomText() : PlausibleText(edit);
                Act("type into " + std::to_string(edit) + ": " + text.substr(0, 40),
                    [&] { agent.Type(kMain, edit, text); });
                break;
            }
            case 12: {
                const int list =
                    OneOf<int>({IDC_COMBO_INTERVAL, IDC_COMBO_BAUDRATE, IDC_COMBO_COM_PORT});
                const int index = static_cast<int>(Between(-1, 9));
                Act("pick " + std::to_string(index) + " in " + std::to_string(list),
                    [&] { agent.Pick(kMain, list, index); });
                break;
            }
            case 13:
                Act("escape on progress", [&] { agent.PressEscape(kProgress); });
                break;
            case 14:
                if (Chance(0.5)) {
                    Act("enter on progress", [&] { agent.PressEnter(kProgress); });
                } else {
                    Act("close progress", [&] { agent.CloseBox(kProgress); });
                }
                break;
            case 15:
            case 16:
                SensorAction();
                break;
            case 17:
                if (Chance(0.01)) {
                    EndTheProgram();
                } else {
                    Act("type into progress",
                        [&] { agent.Type(kProgress, IDC_EDIT_PROGRESS_TEXT, RandomText()); });
                }
                break;
            default:
                Act("wait", [] {});
                break;
        }
    }

    void EndTheProgram() {
        auto& agent = h_->agent;
        const long how = Between(0, 2);
        Act("end the program " + std::to_string(how), [&] {
            how == 0   ? agent.PressEnter(kMain)
            : how == 1 ? agent.PressEscape(kMain)
                       : agent.CloseBox(kMain);
        });
    }

    void SensorAction() {
        auto& [sensor, com] = sensors_[static_cast<std::size_t>(Between(0, 2))];
        SimulatedSensor* s = sensor;
        if (!s->IsConnected() && Chance(0.7)) {
            Act("reconnect COM" + std::to_string(com), [s] { EXPECT_EQ(s->Reconnect(), 0); });
            return;
        }
        switch (Between(0, 4)) {
            case 0:
                Act("hang up COM" + std::to_string(com), [s] { s->HangUp(); });
                break;
            case 1: {
                const auto settings = RandomSettings();
                Act("new settings on COM" + std::to_string(com), [&] { s->SetSettings(settings); });
                break;
            }
            default: {
                const SensorOptions options = RandomOptions(s->Options());
                Act("options on COM" + std::to_string(com), [&] { s->SetOptions(options); });
                break;
            }
        }
    }

    std::size_t OpenBoxes() const {
        std::size_t open = 0;
        for (const auto& shown : h_->agent.Boxes()) {
            open += shown.open ? 1 : 0;
        }
        return open;
    }

    void CloseSomeBox() {
        std::vector<int> open;
        for (const auto& shown : h_->agent.Boxes()) {
            if (shown.open) {
                open.push_back(shown.box.id);
            }
        }
        // Mostly the newest, sometimes an older one still on the screen.
        const int id = Chance(0.85) ? open.back() : OneOf(open);
        Act("close box " + std::to_string(id), [id] { ::CloseMessageBox(id, IDOK); });
    }

    bool ReadWouldStart() {
        const auto main = h_->agent.Dialog(kMain);
        if (!main || !main->IsVisible() || !main->IsEnabled()) {
            return false;
        }
        bool open = false;
        Query([&] { open = h_->dlg.m_bPortOpen; });
        return open;
    }

    // Virtual time between actions: always a little, so that the sensor tells the commands of
    // two actions apart; now and then a long wait.
    void Pause() {
        Duration pause = std::chrono::milliseconds(Between(8, 40));
        if (Chance(0.2)) {
            pause += std::chrono::milliseconds(Between(0, 500));
        }
        if (Chance(0.02)) {
            pause += std::chrono::milliseconds(Between(500, 5000));
        }
        if (Chance(0.002)) {
            pause += std::chrono::seconds(Between(5, 60));
        }
        AdvanceBy(pause);
    }

    // ---- waiting: settle, and deal with a program held up by an error box ----
    bool QuickOrRescued(const std::function<bool(std::chrono::milliseconds)>& wait) {
        for (int attempt = 0; attempt < 100; ++attempt) {
            if (wait(kQuickSettle)) {
                return true;
            }
            // A port being closed waits for its monitor, which may be showing an error box.
            if (!CloseErrorBox()) {
                return wait(std::chrono::seconds(20));
            }
        }
        return false;
    }

    void Settle() {
        const bool idle = QuickOrRescued(
            [](std::chrono::milliseconds t) { return platform::WaitHub::Instance().WaitIdle(t); });
        if (!idle) {
            Fail("the program did not become idle");
        }
    }

    void AdvanceBy(Duration d) {
        const TimePoint target = h_->time.Now() + d;
        const bool done = QuickOrRescued([&](std::chrono::milliseconds t) {
            const auto now = h_->time.Now();
            return now >= target || platform::WaitHub::Instance().AdvanceBy(target - now, t);
        });
        if (!done) {
            Fail("virtual time could not advance");
        }
    }

    // Runs f on the dialog's thread. That thread may be in the middle of a pause on virtual
    // time, so time moves on in small steps until it gets to f.
    void Query(const std::function<void()>& f) {
        std::atomic<bool> done{false};
        std::function<void()> run = [&] {
            f();
            done = true;
        };
        if (!PostMessage(h_->dlg.GetSafeHwnd(), TestableDialog::kRunOnUiThread, 0,
                         reinterpret_cast<LPARAM>(&run))) {
            Fail("the dialog takes no messages");
            return;
        }
        for (int step = 0; !done; ++step) {
            Settle();
            // A message to a window that has gone is dropped.
            if (done || !h_->agent.Dialog(kMain)) {
                break;
            }
            // A port being closed waits, without taking messages, for its monitor to leave its
            // error box: the user closes the box.
            if (CloseErrorBox()) {
                continue;
            }
            if (step == kMaxQuerySteps || ::testing::Test::HasFailure()) {
                Fail("the dialog does not answer");
                std::abort();  // f still refers to this frame
            }
            AdvanceBy(std::chrono::milliseconds(1));
        }
    }

    // Reads the presenter only: it may run while the harness is being taken down.
    static bool CloseErrorBox() {
        for (const auto& shown : Presenter().Boxes()) {
            if (shown.open && shown.box.caption == kErrorCaption) {
                return ::CloseMessageBox(shown.box.id, IDOK);
            }
        }
        return false;
    }

    // ---- the checks ----
    void Fail(const std::string& what) {
        std::ostringstream out;
        out << "seed " << seed_ << ": " << what << "\nlast actions:\n";
        for (const auto& line : trail_) {
            out << "  " << line << "\n";
        }
        ADD_FAILURE() << out.str();
    }

    void Check() {
        // Once the dialog has gone there is nothing left to ask it.
        if (::testing::Test::HasFailure() || !h_->agent.Dialog(kMain)) {
            return;
        }
        // First what only the dialog's thread may read, which may take a little virtual time;
        // then all else, with time standing still.
        DialogState state;
        Query([&] {
            state.lastCommand = h_->dlg.m_strLastCommand.GetString();
            state.sequence = h_->dlg.m_nSequence;
            state.rx = static_cast<std::size_t>(h_->dlg.m_strRx.GetLength());
            state.rxCount = h_->dlg.m_nRxCount;
        });
        const TimePoint now = h_->time.Now();
        CheckBoxes(now);
        CheckLine(state, now);
        CheckOperations(now);
        CheckBounds(state);
    }

    struct DialogState {
        std::string lastCommand;
        int sequence = 0;
        std::size_t rx = 0;
        std::uint32_t rxCount = 0;
    };

    void CheckBoxes(TimePoint now) {
        for (const auto& shown : h_->agent.Boxes()) {
            const auto& box = shown.box;
            if (box.id <= lastBoxId_) {
                continue;
            }
            lastBoxId_ = box.id;
            if (box.caption == kErrorCaption) {
                if (box.text.rfind("WARNING:  ", 0) != 0) {
                    Fail("unexpected error box: " + box.text);
                }
                continue;
            }
            if (kReadEnds.count(box.text) != 0) {
                read_.active = false;
                readRequested_ = false;
                lastEnd_ = now;
                sessionReads_ += box.text == kReadAccepted ? 1 : 0;
            } else if (kSetEnds.count(box.text) != 0) {
                set_.active = false;
                lastEnd_ = now;
            } else if (kOtherTexts.count(box.text) == 0) {
                Fail("unexpected box: " + box.text);
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
    void CheckLine(const DialogState& state, TimePoint now) {
        if (const auto last = sensor_sim::ParseCommand(state.lastCommand);
            last && last->kind == sensor_sim::Command::Kind::Set) {
            NoteSet(std::stoul(last->sequence, nullptr, 16), now);
        }
        for (auto& [sensor, com] : sensors_) {
            const auto received = sensor->Received();
            std::size_t& seen = lineSeen_[com];
            if (received.size() >= SimulatedSensor::kMaxRecords) {
                Fail("session too long for the sensor's record");
                return;
            }
            for (std::size_t i = seen; i < received.size(); ++i) {
                for (const std::string& bytes : Commands(received[i].bytes)) {
                    CheckCommand(com, bytes, state, now);
                }
            }
            seen = received.size();
        }
        if (static_cast<long>(seenSets_.size()) > sessionReads_) {
            Fail(std::to_string(seenSets_.size()) + " sets after " + std::to_string(sessionReads_) +
                 " accepted reads");
        }
    }

    void CheckCommand(int com, const std::string& bytes, const DialogState& state, TimePoint now) {
        const auto command = sensor_sim::ParseCommand(bytes);
        if (!command) {
            Fail("COM" + std::to_string(com) + " received a malformed command: " + bytes);
            return;
        }
        const auto sequence = std::stoul(command->sequence, nullptr, 16);
        // Commands may overtake one another (a request sent while an earlier one waits behind a
        // box), but each goes out once.
        if (!sentSequences_.insert(sequence).second) {
            Fail("a command went out twice: " + bytes);
        }
        if (sequence >= static_cast<unsigned long>(state.sequence)) {
            Fail("a command the tool has not composed yet: " + bytes);
        }
        if (command->kind == sensor_sim::Command::Kind::Set) {
            NoteSet(sequence, now);
        }
    }

    void NoteSet(unsigned long sequence, TimePoint now) {
        if (seenSets_.insert(sequence).second) {
            set_ = {true, now};
        }
    }

    void CheckOperations(TimePoint now) {
        if (readRequested_ && !read_.active && h_->agent.IsShown(kProgress)) {
            read_ = {true, now};
            readRequested_ = false;
        }
        if (read_.active && now - std::max(read_.since, lastEnd_) > kReadLimit) {
            Fail("a read did not end in time");
        }
        if (set_.active && now - std::max(set_.since, lastEnd_) > kSetLimit) {
            Fail("a set did not end in time");
        }
    }

    void CheckBounds(const DialogState& state) {
        const std::size_t rx = state.rx;
        // The text is cut at its line end while its box is open; the count only at the reset.
        if (rx > state.rxCount) {
            Fail("more received text than bytes counted");
        }
        if (const auto windows = Presenter().Windows().size(); windows > kMaxWindows) {
            Fail("windows pile up: " + std::to_string(windows));
        }
        if (const auto list = h_->agent.Control(kMain, IDC_COMBO_INTERVAL)) {
            std::set<std::string> unique(list->items.begin(), list->items.end());
            if (unique.size() != list->items.size() ||
                list->items.size() >
                    kIntervalEntriesAtStart + static_cast<std::size_t>(sessionReads_)) {
                Fail("interval list of " + std::to_string(list->items.size()) + " entries");
            }
        }
    }

    struct Pending {
        bool active = false;
        TimePoint since{};
    };
    std::mt19937_64 rng_;
    std::uint32_t seed_;
    long actions_ = 0;
    std::unique_ptr<ToolHarness> h_;
    std::vector<std::pair<SimulatedSensor*, int>> sensors_;
    std::map<int, std::size_t> lineSeen_;  // records looked at, by COM number
    std::set<unsigned long> sentSequences_;
    bool ended_ = false;
    Pending read_;
    Pending set_;
    bool readRequested_ = false;
    TimePoint lastEnd_{};
    TimePoint sessionStart_{};
    long sessionReads_ = 0;
    std::set<unsigned long> seenSets_;
    int lastBoxId_ = 0;
    std::deque<std::string> trail_;
};

class MonkeyTest : public ::testing::TestWithParam<std::uint32_t> {};

TEST_P(MonkeyTest, RandomUserAndMisbehavingSensorsBreakNothing) {
    Monkey(GetParam()).Run(EnvNumber("KALDO_MONKEY_ACTIONS", 2000));
}

INSTANTIATE_TEST_SUITE_P(Seeds, MonkeyTest, ::testing::ValuesIn(Seeds()));

}  // namespace
