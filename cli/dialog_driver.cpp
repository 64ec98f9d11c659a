#include "cli/dialog_driver.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <span>
#include <thread>

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
constexpr auto kAnswerTime =
    std::chrono::milliseconds(READ_REQUEST_EVERY_TICKS * READ_POLL_PERIOD_MS);
constexpr int kReadSeconds = (READ_TIMEOUT_TICKS + 1) * READ_POLL_PERIOD_MS / 1000;
constexpr int kSetSeconds = (SET_TIMEOUT_TICKS + 1) * SET_WATCHDOG_PERIOD_MS / 1000;

// A value on the dialog and the label that names it there.
struct Field {
    int label;
    int control;
};
constexpr Field kCommonFields[] = {
    {IDC_STATIC_ADDRESS, IDC_EDIT_ADDRESS},       {IDC_STATIC_INTERVAL, IDC_COMBO_INTERVAL},
    {IDC_STATIC_RANGE_MAX, IDC_EDIT_RANGE_MAX},   {IDC_STATIC_RANGE_MIN, IDC_EDIT_RANGE_MIN},
    {IDC_STATIC_HIGH_ALARM, IDC_EDIT_HIGH_ALARM}, {IDC_STATIC_LOW_ALARM, IDC_EDIT_LOW_ALARM},
};
constexpr Field kLoraWanFields[] = {
    {IDC_STATIC_FREQUENCY, IDC_EDIT_FREQUENCY},
    {IDC_STATIC_DEV_EUI, IDC_EDIT_DEV_EUI},
    {IDC_STATIC_APP_EUI, IDC_EDIT_APP_EUI},
    {IDC_STATIC_APP_KEY, IDC_EDIT_APP_KEY},
};
constexpr Field kNbFields[] = {
    {IDC_STATIC_BAND, IDC_EDIT_NB_BAND},
    {IDC_STATIC_IMEI, IDC_EDIT_IMEI},
    {IDC_STATIC_SERVER_IP, IDC_EDIT_SERVER_IP},
    {IDC_STATIC_SERVER_PORT, IDC_EDIT_SERVER_PORT},
};

// A box that ends a step, and how the program ends when it does.
struct Ending {
    const char* text;
    int code;
};
constexpr Ending kOpenEndings[] = {
    {"Intial Serial Port sucessful", kOk},
    {"The port is used by others", kPortHeld},
};
constexpr Ending kReadEndings[] = {
    {"The Parameters have been Display correctly\r\n", kOk},
    {"Failuer\r\n", kReadRejected},
    {"Initial is FAIL, please try again", kReadTimedOut},
};
constexpr Ending kSetEndings[] = {
    {"The Parameters have been set correctly\r\n", kOk},
    {"Failure\r\n", kSetRejected},
    {"Setting is FAIL, please try again", kSetTimedOut},
};

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \r\n");
    const auto last = text.find_last_not_of(" \r\n");
    return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
}

class DialogDriver {
public:
    explicit DialogDriver(const Request& request)
        : request_(request), port_("COM" + std::to_string(request.com)) {}

    int Run() {
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
    int OpenPort() {
        const auto items = agent_.Control(kMain, IDC_COMBO_COM_PORT)->items;
        const auto found = std::find(items.begin(), items.end(), port_);
        if (found == items.end()) {
            // The dialog has said on standard error why a port that is there is not listed.
            switch (platform::DiagnoseComPort(request_.com).kind) {
                case PortProblem::Kind::Held:
                    return Fail("The port is used by others", kPortHeld);
                case PortProblem::Kind::PermissionDenied:
                    return Fail("may not be opened", kPortUnavailable);
                case PortProblem::Kind::Absent:
                    return Fail("no such port (kaldo-sensor-cli ports lists them)",
                                kPortUnavailable);
                case PortProblem::Kind::None:
                    return Fail("could not be opened", kPortUnavailable);
            }
        }
        agent_.Pick(kMain, IDC_COMBO_COM_PORT, static_cast<int>(found - items.begin()));
        agent_.Click(kMain, IDC_BUTTON_USB_SET);
        const int code = Step(kOpenEndings, nullptr, 0, kUnexpected);
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
        agent_.Click(kMain, IDC_BUTTON_SENSOR_INITIAL);
        return Step(kReadEndings, "reading the sensor", kReadSeconds, kUnexpected);
    }

    int SetSensor() {
        // The read ends with one more request, and the set's reply tick takes the first line it
        // finds: its answer must be in and gone before the set goes out, or the echo is dropped
        // with it. A person is never that quick; the dialog's own cadence of requests is.
        std::this_thread::sleep_for(kAnswerTime);
        for (const Request::Change& change : request_.changes) {
            if (change.control == IDC_COMBO_INTERVAL) {
                const auto items = agent_.Control(kMain, IDC_COMBO_INTERVAL)->items;
                const auto entry = std::find(items.begin(), items.end(), change.value);
                agent_.Pick(kMain, change.control, static_cast<int>(entry - items.begin()));
            } else {
                agent_.Type(kMain, change.control, change.value);
            }
        }
        agent_.Click(kMain, IDC_BUTTON_SENSOR_SET);
        // Any other box comes from the checks before the set, which send nothing.
        return Step(kSetEndings, "writing the settings", kSetSeconds, kSetRefused);
    }

    // Waits for the box that ends a step, closes it and returns how the step ended. Before that
    // the step's click must have been taken: the dialog takes input only when nothing covers it.
    int Step(std::span<const Ending> endings, const char* activity, int seconds, int otherCode) {
        if (!Await([this] { return agent_.OpenMessageBox().has_value(); }, activity, seconds)) {
            return Fail("the tool did not finish", kUnexpected);
        }
        const MessageBoxState box = *agent_.OpenMessageBox();
        message_ = Trimmed(box.text);
        if ((box.type & 0xF) != MB_OK) {
            CloseMessageBox(box.id, IDCANCEL);
            return Fail("the tool asks \"" + message_ + "\", which a command cannot answer",
                        kUnexpected);
        }
        agent_.CloseMessageBox();
        int code = otherCode;
        for (const Ending& ending : endings) {
            if (box.text == ending.text) {
                code = ending.code;
            }
        }
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
        const auto add = [&](std::span<const Field> fields) {
            for (const Field& field : fields) {
                settings.emplace_back(Trimmed(agent_.Text(kMain, field.label)),
                                      agent_.Text(kMain, field.control));
            }
        };
        add(kCommonFields);
        add(request_.nb ? std::span<const Field>(kNbFields)
                        : std::span<const Field>(kLoraWanFields));
        const char* variant = request_.nb ? "NB-IoT" : "LoRaWAN";
        if (!request_.json) {
            std::printf("%s (%s)\n", port_.c_str(), variant);
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
                                        {"variant", JsonString(variant)},
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
    const int code = DialogDriver(request).Run();
    // The port closes with the dialog object, and its monitor thread ends then.
    framework::WaitForWorkerThreads();
    return code;
}

}  // namespace cli
