#include "tools/sensor-sim/simulated_sensor.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <future>
#include <system_error>

#include "platform/event.h"
#include "platform/handle_table.h"
#include "platform/wait_hub.h"

namespace sensor_sim {
namespace {

// Per wake-up, so that a peer that never stops writing cannot hold up the answers.
constexpr std::size_t kMaxReadPerWake = 64 * 1024;
constexpr std::size_t kMaxLoggedBytes = 160;
// A planned hang-up looks this often whether the port has read everything, and gives up
// waiting for a port that does not read after the linger time.
constexpr std::chrono::milliseconds kHangUpCheckStep{1};
constexpr std::chrono::milliseconds kHangUpLinger{1000};

std::string Printable(std::string_view bytes) {
    std::string text;
    for (char c : bytes.substr(0, kMaxLoggedBytes)) {
        if (c == '\r') {
            text += "\\r";
        } else if (c == '\n') {
            text += "\\n";
        } else if (c >= 0x20 && c < 0x7F && c != '\\') {
            text += c;
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", static_cast<unsigned char>(c));
            text += escaped;
        }
    }
    if (bytes.size() > kMaxLoggedBytes) {
        text += "...";
    }
    return text + " (" + std::to_string(bytes.size()) + " bytes)";
}

std::string ErrorText(int err) {
    return std::generic_category().message(err);
}

DWORD MillisecondsUntil(std::optional<TimePoint> next, TimePoint now) {
    if (!next) {
        return INFINITE;
    }
    if (*next <= now) {
        return 0;
    }
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(*next - now).count();
    return static_cast<DWORD>(std::min<long long>(ms, INFINITE - 1));
}

}  // namespace

SimulatedSensor::SimulatedSensor()
    : stop_(CreateEventA(nullptr, TRUE, FALSE, nullptr)),
      wake_(CreateEventA(nullptr, FALSE, FALSE, nullptr)) {}

SimulatedSensor::~SimulatedSensor() {
    Stop();
    CloseHandle(wake_);
    CloseHandle(stop_);
}

int SimulatedSensor::Start(int comNumber, const SensorOptions& options, Logger logger) {
    if (thread_.joinable()) {
        return EBUSY;
    }
    {
        std::lock_guard lock(mutex_);
        if (const int err = line_.Open(comNumber); err != 0) {
            return err;
        }
        comNumber_ = comNumber;
        options_ = options;
        logger_ = std::move(logger);
        random_.seed(options.seed);
    }
    ResetEvent(stop_);
    // The thread counts in the hub from the moment Start returns: virtual time must not move
    // past a command that the caller writes next before the thread has seen it.
    std::promise<void> registered;
    auto counted = registered.get_future();
    thread_ = std::thread([this, &registered] {
        platform::WaitHub::Instance().RegisterCurrentThread();
        registered.set_value();
        Run();
    });
    counted.wait();
    return 0;
}

void SimulatedSensor::Stop() {
    if (thread_.joinable()) {
        SetEvent(stop_);
        thread_.join();
    }
    std::vector<std::string> unlogged;
    std::lock_guard lock(mutex_);
    HangUpLocked(unlogged, "on stop");
}

SensorOptions SimulatedSensor::Options() const {
    std::lock_guard lock(mutex_);
    return options_;
}

void SimulatedSensor::SetOptions(const SensorOptions& options) {
    std::lock_guard lock(mutex_);
    if (options.seed != options_.seed) {
        random_.seed(options.seed);
    }
    options_ = options;
}

SensorSettings SimulatedSensor::Settings() const {
    std::lock_guard lock(mutex_);
    return settings_;
}

void SimulatedSensor::SetSettings(const SensorSettings& settings) {
    std::lock_guard lock(mutex_);
    settings_ = settings;
}

void SimulatedSensor::HangUp() {
    std::vector<std::string> log;
    {
        std::lock_guard lock(mutex_);
        HangUpLocked(log, "on request");
    }
    Emit(log);
}

int SimulatedSensor::Reconnect() {
    std::vector<std::string> log;
    int err = 0;
    {
        std::lock_guard lock(mutex_);
        HangUpLocked(log, "to reconnect");
        err = line_.Open(comNumber_);
        log.push_back(err == 0 ? "reconnected on " + line_.SlavePath()
                               : "cannot reconnect: " + ErrorText(err));
    }
    SetEvent(wake_);  // the thread arms its watches on the new line
    Emit(log);
    return err;
}

bool SimulatedSensor::IsConnected() const {
    std::lock_guard lock(mutex_);
    return line_.IsOpen();
}

int SimulatedSensor::LineBaudRate() const {
    std::lock_guard lock(mutex_);
    return line_.BaudRate();
}

std::string SimulatedSensor::SlavePath() const {
    std::lock_guard lock(mutex_);
    return line_.SlavePath();
}

std::string SimulatedSensor::LinkPath() const {
    std::lock_guard lock(mutex_);
    return line_.LinkPath();
}

std::vector<SimulatedSensor::ReceivedCommand> SimulatedSensor::Received() const {
    std::lock_guard lock(mutex_);
    return {received_.begin(), received_.end()};
}

std::vector<SimulatedSensor::SentChunk> SimulatedSensor::Sent() const {
    std::lock_guard lock(mutex_);
    return {sent_.begin(), sent_.end()};
}

std::string SimulatedSensor::SentBytes() const {
    std::lock_guard lock(mutex_);
    std::string bytes;
    for (const SentChunk& chunk : sent_) {
        bytes += chunk.bytes;
    }
    return bytes;
}

void SimulatedSensor::Run() {
    const std::array<HANDLE, 2> handles{stop_, wake_};
    std::vector<std::string> log;
    for (;;) {
        log.clear();
        const DWORD timeout = Service(log);
        Emit(log);
        if (WaitForMultipleObjects(handles.size(), handles.data(), FALSE, timeout) ==
            WAIT_OBJECT_0) {
            break;
        }
    }
    platform::WaitHub::Instance().UnregisterCurrentThread();
}

DWORD SimulatedSensor::Service(std::vector<std::string>& log) {
    std::lock_guard lock(mutex_);
    const TimePoint now = platform::WaitHub::Instance().Now();
    // A burst whose gap ran out is complete before anything read now, which starts the next.
    if (auto burst = assembler_.TakeComplete(now)) {
        Answer(std::move(*burst), now, log);
    }
    if (line_.IsOpen()) {
        ReadAvailable(now, log);
    }
    if (line_.IsOpen()) {
        WriteDue(now, log);
    }
    HangUpWhenRead(now, log);
    ArmWatchesLocked();

    std::optional<TimePoint> next = assembler_.Deadline();
    if (hangUpCheckAt_ && (!next || *hangUpCheckAt_ < *next)) {
        next = hangUpCheckAt_;
    }
    if (!writeBlocked_ && !hangUpCheckAt_) {
        if (const auto due = output_.NextDue(); due && (!next || *due < *next)) {
            next = due;
        }
    }
    return MillisecondsUntil(next, now);
}

void SimulatedSensor::ReadAvailable(TimePoint now, std::vector<std::string>& log) {
    std::array<char, 4096> buffer;
    for (std::size_t total = 0; total < kMaxReadPerWake;) {
        const auto result = line_.Read(buffer.data(), buffer.size());
        if (result.error != 0) {
            HangUpLocked(log, "line failed on read");
            return;
        }
        if (result.wouldBlock || result.bytes == 0) {
            return;
        }
        assembler_.Feed(std::string_view(buffer.data(), result.bytes), now);
        total += result.bytes;
    }
}

void SimulatedSensor::Answer(Burst burst, TimePoint now, std::vector<std::string>& log) {
    std::optional<Command> command;
    if (!burst.overflowed) {
        command = ParseCommand(burst.bytes);
    }
    const bool understood = command && command->variant == options_.variant;
    log.push_back((understood ? "received " : "ignored ") + Printable(burst.bytes));
    if (received_.size() == kMaxRecords) {
        received_.pop_front();
    }
    received_.push_back(ReceivedCommand{burst.firstByteAt, burst.bytes, understood});
    if (!understood || options_.silent) {
        return;
    }
    const bool isSet = command->kind == Command::Kind::Set;
    std::string answer;
    if (isSet) {
        ApplySet(settings_, *command);
        answer = BuildEcho(burst.bytes);
    } else {
        answer = BuildReply(settings_, options_.variant, command->sequence);
    }
    answer = PadToThreshold(std::move(answer), options_.variant);
    for (Segment& segment : PlanAnswer(std::move(answer), isSet, options_, now, random_)) {
        std::string text = Printable(segment.bytes);
        if (!output_.Queue(std::move(segment))) {
            log.push_back("answer dropped: the line is not being read");
            return;
        }
        log.push_back("answer " + text);
    }
}

void SimulatedSensor::WriteDue(TimePoint now, std::vector<std::string>& log) {
    while (!hangUpCheckAt_) {
        const auto next = output_.NextDue();
        if (!next || *next > now) {
            return;
        }
        const std::string_view due = output_.Due(now);
        std::size_t written = 0;
        if (!due.empty()) {
            const auto result = line_.Write(due.data(), due.size());
            if (result.error != 0) {
                HangUpLocked(log, "line failed on write");
                return;
            }
            written = result.bytes;
            if (written != 0) {
                RecordSent(now, due.substr(0, written));
                platform::WaitHub::Instance().NoteLineActivity();
            }
            if (written < due.size()) {
                writeBlocked_ = true;  // the reader is behind; wait until it takes more
                output_.Consume(written);
                return;
            }
        }
        if (output_.Consume(written)) {
            hangUpCheckAt_ = now + kHangUpCheckStep;
            hangUpGiveUpAt_ = now + kHangUpLinger;
        }
    }
}

void SimulatedSensor::RecordSent(TimePoint at, std::string_view bytes) {
    sent_.push_back(SentChunk{at, std::string(bytes)});
    sentBytes_ += bytes.size();
    while (sent_.size() > kMaxRecords || sentBytes_ > kMaxRecordedBytes) {
        sentBytes_ -= sent_.front().bytes.size();
        sent_.pop_front();
    }
}

void SimulatedSensor::HangUpWhenRead(TimePoint now, std::vector<std::string>& log) {
    if (!hangUpCheckAt_ || now < *hangUpCheckAt_) {
        return;
    }
    if (line_.UnreadByPort() == 0 || now >= hangUpGiveUpAt_) {
        HangUpLocked(log, "as planned");
    } else {
        hangUpCheckAt_ = now + kHangUpCheckStep;
    }
}

void SimulatedSensor::ArmWatchesLocked() {
    if (!line_.IsOpen()) {
        return;
    }
    line_.WatchReadable([this] { SetEvent(wake_); });
    if (writeBlocked_) {
        line_.WatchWritable([this] {
            writeBlocked_ = false;
            SetEvent(wake_);
        });
    }
}

void SimulatedSensor::HangUpLocked(std::vector<std::string>& log, const char* why) {
    assembler_.Clear();
    output_.Clear();
    writeBlocked_ = false;
    hangUpCheckAt_.reset();
    if (line_.IsOpen()) {
        line_.HangUp();
        log.push_back(std::string("hung up ") + why);
    }
}

void SimulatedSensor::Emit(const std::vector<std::string>& log) const {
    if (log.empty()) {
        return;
    }
    Logger logger;
    {
        std::lock_guard lock(mutex_);
        logger = logger_;
    }
    if (logger) {
        for (const std::string& line : log) {
            logger(line);
        }
    }
}

}  // namespace sensor_sim
