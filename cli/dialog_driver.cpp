#include "cli/dialog_driver.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <span>
#include <thread>
#include <utility>

#include "cli/exit_codes.h"
#include "cli/json.h"
#include "framework/headless_presenter.h"
#include "framework/message_queue.h"
#include "framework/user_agent.h"
#include "framework/win_thread.h"
#include "platform/port_problem.h"
#include "platform/printable_text.h"
#include "platform/terminal.h"
#include "platform/wait_hub.h"
#include "ui/main_dialog.h"
#include "ui/settings_fields.h"

namespace cli {
namespace {

using namespace std::chrono_literals;
using platform::PortProblem;

constexpr UINT kMain = IDD_KALDOSENSORSETTING_DIALOG;
constexpr UINT kProgress = IDD_SENSOR_PROGRESS;
// How long the dialog may take beyond its own time-out before this gives up on it.
constexpr auto kPatience = 60s;
// A wait re-checks this often: progress is redrawn, and a missed change costs no more.
constexpr auto kRecheck = 200ms;
// Another copy of the tool looking for ports holds each for a moment; a port held longer than
// this is held.
constexpr auto kHeldPatience = 1s;
constexpr auto kHeldRetryPause = 100ms;
constexpr auto kPauseStep = 10ms;
// The sensor tells commands apart by a moment's quiet between them (they carry no line end), and
// the read has just sent its last request: the set waits as long as the dialog's own requests
// are apart at the least.
constexpr auto kCommandSpacing = std::chrono::milliseconds(READ_REPLY_PERIOD_MS);
constexpr int kReadSeconds = (READ_TIMEOUT_TICKS + 1) * READ_POLL_PERIOD_MS / 1000;
constexpr int kSetSeconds = (SET_TIMEOUT_TICKS + 1) * SET_WATCHDOG_PERIOD_MS / 1000;

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \r\n");
    const auto last = text.find_last_not_of(" \r\n");
    return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
}

// How a run on one copy of the dialog ended: with an exit code, or with the port held by another
// program at start-up, which a new copy may find free.
constexpr int kTryAgain = -1;

class DialogDriver {
public:
    explicit DialogDriver(const Request& request)
        : request_(request), port_("COM" + std::to_string(request.com)) {
        dlg_.ProbeOnly(request.com);
    }

    // Gives up on a held port at heldUntil (the hub's clock).
    int Run(platform::TimePoint heldUntil) {
        heldUntil_ = heldUntil;
        app_.m_pMainWnd = &dlg_;
        platform::WaitHub::Instance().RegisterStartingThread();
        ui_ = std::thread([this] {
            platform::WaitHub::Instance().AdoptRegistration();
            dlg_.DoModal();
            framework::EndThreadQueue();
            platform::WaitHub::Instance().UnregisterCurrentThread();
        });
        int code = Await([this] { return agent_.IsShown(kMain); }) ? OpenPort() : kUnexpected;
        if (code == kOk) {
            code = ReadSensor();
        }
        if (code == kOk && request_.command == Request::Command::Set) {
            code = SetSensor();
        }
        if (code == kOk) {
            PrintSettings();
        }
        Shutdown();
        return code;
    }

private:
    bool MayRetryHeld() const { return platform::WaitHub::Instance().Now() < heldUntil_; }

    int OpenPort() {
        const auto items = agent_.Control(kMain, IDC_COMBO_COM_PORT)->items;
        if (std::find(items.begin(), items.end(), port_) == items.end()) {
            // The dialog has said on standard error why a port that is there is not listed.
            switch (platform::DiagnoseComPort(request_.com).kind) {
                case PortProblem::Kind::Held:
                    return MayRetryHeld() ? kTryAgain
                                          : Fail("The port is used by others", kPortHeld);
                case PortProblem::Kind::PermissionDenied:
                    return Fail("may not be opened", kPortUnavailable);
                case PortProblem::Kind::Absent:
                    return Fail("no such port (kaldo-sensor-cli ports lists them)",
                                kPortUnavailable);
                case PortProblem::Kind::None:
                    return Fail("could not be opened", kPortUnavailable);
            }
        }
        agent_.Pick(kMain, IDC_COMBO_COM_PORT, 0);
        for (;;) {
            const sensor::Outcome outcome = Press(IDC_BUTTON_USB_SET, nullptr, 0);
            if (outcome != sensor::Outcome::PortHeld || !MayRetryHeld()) {
                break;
            }
            Pause(kHeldRetryPause);
        }
        const int code = Conclude();
        if (code == kPortHeld) {
            // Taken since start-up, so the dialog has not said by whom.
            const auto reason =
                platform::DescribePortProblem(platform::DiagnoseComPort(request_.com));
            if (!reason.empty()) {
                std::fprintf(stderr, "%s\n", reason.c_str());
            }
        }
        return code;
    }

    int ReadSensor() {
        if (request_.nb) {
            agent_.Click(kMain, IDC_RADIO_NB);
        }
        Press(IDC_BUTTON_SENSOR_INITIAL, "reading the sensor", kReadSeconds);
        return Conclude();
    }

    int SetSensor() {
        Pause(kCommandSpacing);
        for (const Request::Change& change : request_.changes) {
            if (change.control == IDC_COMBO_INTERVAL) {
                const auto items = agent_.Control(kMain, IDC_COMBO_INTERVAL)->items;
                const auto entry = std::find(items.begin(), items.end(), change.value);
                agent_.Pick(kMain, change.control, static_cast<int>(entry - items.begin()));
            } else {
                agent_.Type(kMain, change.control, change.value);
            }
        }
        Press(IDC_BUTTON_SENSOR_SET, "writing the settings", kSetSeconds);
        return Conclude();
    }

    // Lets time pass on the hub's clock, which is virtual in tests.
    void Pause(platform::Duration duration) {
        auto& hub = platform::WaitHub::Instance();
        const platform::TimePoint until = hub.Now() + duration;
        while (hub.Now() < until) {
            presenter_.WaitFor([] { return false; }, kPauseStep);
        }
    }

    // Presses a button and waits for the box that ends its step, at most the step's own time-out
    // and some patience; closes the box and returns how the step ended (Pending: it did not, or
    // the box was something else). The dialog takes a click only when nothing covers it.
    sensor::Outcome Press(int button, const char* activity, int seconds) {
        dlg_.ClearOutcome();
        agent_.Click(kMain, button);
        box_.reset();
        if (!Await([this] { return agent_.OpenMessageBox().has_value(); }, activity, seconds)) {
            return sensor::Outcome::Pending;
        }
        box_ = *agent_.OpenMessageBox();
        message_ = Trimmed(box_->text);
        if ((box_->type & 0xF) != MB_OK) {
            CloseMessageBox(box_->id, IDCANCEL);
            return sensor::Outcome::Pending;
        }
        agent_.CloseMessageBox();
        return dlg_.LastOutcome();
    }

    // The exit code of the step that just ended; on success, once the dialog has the user's
    // attention back.
    int Conclude() {
        if (!box_) {
            return Fail("the tool did not finish", kUnexpected);
        }
        if ((box_->type & 0xF) != MB_OK) {
            return Fail("the tool asks \"" + message_ + "\", which a command cannot answer",
                        kUnexpected);
        }
        const int code = ExitCodeFor(dlg_.LastOutcome());
        if (code != kOk) {
            return Fail(message_, code);
        }
        if (showProgress_) {
            std::fprintf(stderr, "%s: %s\n", port_.c_str(), message_.c_str());
        }
        return Await([this] {
            return !agent_.OpenMessageBox() && !agent_.IsShown(kProgress) &&
                   agent_.Dialog(kMain)->IsEnabled();
        })
                   ? kOk
                   : Fail("the tool did not finish", kUnexpected);
    }

    // Waits until done() holds, at most the dialog's own time-out and some patience; on a
    // terminal says meanwhile what it waits for.
    bool Await(const std::function<bool()>& done, const char* activity = nullptr, int seconds = 0) {
        auto& hub = platform::WaitHub::Instance();
        const auto start = hub.Now();
        const auto giveUp =
            std::chrono::steady_clock::now() + std::chrono::seconds(seconds) + kPatience;
        long long shown = -1;  // the seconds last shown
        while (!presenter_.WaitFor(done, kRecheck)) {
            if (std::chrono::steady_clock::now() > giveUp) {
                return false;
            }
            const long long waited =
                std::chrono::duration_cast<std::chrono::seconds>(hub.Now() - start).count();
            if (showProgress_ && activity != nullptr && waited != shown) {
                std::fprintf(stderr, "\r%s: %s, %lld s (at most %d s)", port_.c_str(), activity,
                             waited, seconds);
                shown = waited;
            }
        }
        if (shown >= 0) {
            std::fputs("\r\033[K", stderr);
        }
        return true;
    }

    void PrintSettings() {
        std::vector<std::pair<std::string, std::string>> settings;
        const auto add = [&](int label, int control) {
            settings.emplace_back(Trimmed(agent_.Text(kMain, label)), agent_.Text(kMain, control));
        };
        for (const NumberField& field : kNumberFields) {
            add(field.nLabel, field.nControl);
        }
        const TextField* variant = VariantFields(!request_.nb);
        for (int i = 0; i < SETTINGS_VARIANT_FIELD_COUNT; ++i) {
            add(variant[i].nLabel, variant[i].nControl);
        }
        const char* name = request_.nb ? "NB-IoT" : "LoRaWAN";
        if (!request_.json) {
            std::printf("%s (%s)\n", port_.c_str(), name);
            // The values are the sensor's: shown as data, never as terminal commands.
            for (const auto& [name, value] : settings) {
                std::printf("%s: %s\n", name.c_str(), platform::PrintableText(value).c_str());
            }
            std::printf("%s\n", message_.c_str());
            return;
        }
        for (auto& [name, value] : settings) {
            value = JsonString(value);
        }
        std::printf("%s\n", JsonObject({{"port", JsonString(port_)},
                                        {"variant", JsonString(name)},
                                        {"settings", JsonObject(settings)},
                                        {"message", JsonString(message_)}})
                                .c_str());
    }

    int Fail(const std::string& text, int code) {
        std::fprintf(stderr, "%s: %s\n", port_.c_str(), text.c_str());
        return code;
    }

    // Closes whatever is open, innermost first, until the dialog's thread has ended.
    void Shutdown() {
        for (int i = 0; i < 50 && agent_.Dialog(kMain).has_value(); ++i) {
            while (agent_.CloseMessageBox()) {
            }
            agent_.PressEscape(kProgress);
            agent_.CloseBox(kMain);
            presenter_.WaitFor([this] { return !agent_.Dialog(kMain).has_value(); }, kRecheck);
        }
        ui_.join();
    }

    const Request& request_;
    const std::string port_;
    platform::TimePoint heldUntil_;
    std::optional<MessageBoxState> box_;  // the box that ended the latest step
    const bool showProgress_ = platform::StandardErrorIsTerminal();
    std::string message_;  // the latest box's text
    HeadlessPresenter& presenter_ = static_cast<HeadlessPresenter&>(GetPresenter());
    UserAgent agent_{presenter_};
    CWinApp app_;
    CKaldoSensorSettingDlg dlg_;
    std::thread ui_;
};

}  // namespace

int RunOnDialog(const Request& request) {
    const platform::TimePoint heldUntil = platform::WaitHub::Instance().Now() + kHeldPatience;
    for (;;) {
        const int code = DialogDriver(request).Run(heldUntil);
        // The port closes with the dialog object, and its monitor thread ends then.
        framework::WaitForWorkerThreads();
        if (code != kTryAgain) {
            return code;
        }
        std::this_thread::sleep_for(kHeldRetryPause);
    }
}

}  // namespace cli
