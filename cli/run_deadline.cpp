#include "cli/run_deadline.h"

#include <chrono>
#include <cstdio>
#include <variant>

#include "cli/arguments.h"
#include "cli/exit_codes.h"
#include "platform/port_release.h"
#include "sensor/exchange.h"

namespace cli {
namespace {

constexpr int kReadSeconds = (READ_TIMEOUT_TICKS + 1) * READ_POLL_PERIOD_MS / 1000;
constexpr int kSetSeconds = (SET_TIMEOUT_TICKS + 1) * SET_WATCHDOG_PERIOD_MS / 1000;
// Start-up probes ten ports, shut-down stops the monitor; both are quick unless something hangs.
constexpr int kMarginSeconds = 30;

}  // namespace

int RunDeadline::Seconds(const std::vector<std::string>& args) {
    const auto parsed = ParseArguments(args);
    const auto* request = std::get_if<Request>(&parsed);
    if (request == nullptr ||
        (request->command != Request::Command::Read && request->command != Request::Command::Set)) {
        return 0;
    }
    return kReadSeconds + (request->command == Request::Command::Set ? kSetSeconds : 0) +
           kMarginSeconds;
}

RunDeadline::RunDeadline(const std::vector<std::string>& args) {
    const int seconds = Seconds(args);
    if (seconds == 0) {
        return;
    }
    const auto request = std::get<Request>(ParseArguments(args));
    const int code = request.command == Request::Command::Set ? kSetTimedOut : kReadTimedOut;
    watch_ = std::thread([this, seconds, code, com = request.com] {
        std::unique_lock lock(mutex_);
        if (ended_.wait_for(lock, std::chrono::seconds(seconds), [this] { return done_; })) {
            return;
        }
        std::fprintf(stderr, "COM%d: no end after %d s, giving up\n", com, seconds);
        platform::ExitReleasingPorts(code);
    });
}

RunDeadline::~RunDeadline() {
    {
        const std::lock_guard lock(mutex_);
        done_ = true;
    }
    ended_.notify_all();
    if (watch_.joinable()) {
        watch_.join();
    }
}

}  // namespace cli
