// A sensor on a pseudo-terminal linked as COMn. One thread serves it; it takes part in the wait
// hub like the tool's own threads and waits only through platform waits, with a deadline at its
// next scheduled byte, so under a virtual clock its answers move with virtual time. Every
// public member may be called from any thread while it runs.
#pragma once

#include <atomic>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/pseudo_terminal.h"
#include "platform/windows_types.h"
#include "tools/sensor-sim/answer_plan.h"
#include "tools/sensor-sim/command_assembler.h"
#include "tools/sensor-sim/output_schedule.h"
#include "tools/sensor-sim/sensor_model.h"

namespace sensor_sim {

class SimulatedSensor {
public:
    struct ReceivedCommand {
        TimePoint at;  // on the hub clock, when its first byte was read
        std::string bytes;
        bool understood = false;  // a command of the sensor's variant
    };
    struct SentChunk {
        TimePoint at;
        std::string bytes;
    };
    // Receives one line of text for each command taken in, answer planned and line event.
    using Logger = std::function<void(const std::string&)>;

    SimulatedSensor();
    ~SimulatedSensor();
    SimulatedSensor(const SimulatedSensor&) = delete;
    SimulatedSensor& operator=(const SimulatedSensor&) = delete;

    // Links a fresh pseudo-terminal as COMn and starts serving it. Returns 0 or an errno.
    int Start(int comNumber, const SensorOptions& options, Logger logger = {});
    // Stops the thread, cuts the line and removes the link.
    void Stop();

    SensorOptions Options() const;
    void SetOptions(const SensorOptions& options);
    SensorSettings Settings() const;
    void SetSettings(const SensorSettings& settings);

    // Cuts the line now: whoever has the port open sees a hang-up, and the link goes away.
    void HangUp();
    // A fresh pseudo-terminal under the same COM number. Returns 0 or an errno.
    int Reconnect();
    bool IsConnected() const;
    std::string SlavePath() const;
    // The line speed the port side has set (0 while unknown).
    int LineBaudRate() const;
    std::string LinkPath() const;

    // The most recent kMaxRecords of each, and of the chunks no more than kMaxRecordedBytes.
    std::vector<ReceivedCommand> Received() const;
    std::vector<SentChunk> Sent() const;
    std::string SentBytes() const;

    static constexpr std::size_t kMaxRecords = 10000;
    static constexpr std::size_t kMaxRecordedBytes = kMaxQueuedBytes;

private:
    void Run();  // on the thread, registered with the hub by Start
    // Reads, answers and writes what is due; returns how long to wait for more.
    DWORD Service(std::vector<std::string>& log);
    void ReadAvailable(TimePoint now, std::vector<std::string>& log);
    void Answer(Burst burst, TimePoint now, std::vector<std::string>& log);
    void WriteDue(TimePoint now, std::vector<std::string>& log);
    void RecordSent(TimePoint at, std::string_view bytes);
    void HangUpWhenRead(TimePoint now, std::vector<std::string>& log);
    void ArmWatchesLocked();
    void HangUpLocked(std::vector<std::string>& log, const char* why);
    void Emit(const std::vector<std::string>& log) const;

    HANDLE stop_;
    HANDLE wake_;
    std::thread thread_;

    mutable std::mutex mutex_;
    int comNumber_ = 0;
    SensorOptions options_;
    SensorSettings settings_;
    Logger logger_;
    std::mt19937 random_;
    platform::PseudoTerminal line_;
    CommandAssembler assembler_;
    OutputSchedule output_;
    std::atomic<bool> writeBlocked_{false};  // cleared by the line's writable watch
    // A planned hang-up waits for the port to read the answer's last bytes, as a cable pulled
    // after them would; a hang-up discards what is still unread.
    std::optional<TimePoint> hangUpCheckAt_;
    TimePoint hangUpGiveUpAt_{};
    std::deque<ReceivedCommand> received_;
    std::deque<SentChunk> sent_;
    std::size_t sentBytes_ = 0;
};

}  // namespace sensor_sim
