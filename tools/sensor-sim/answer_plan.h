// How the sensor answers: at once or at line speed, after a delay, and with the faults a real
// sensor or cable shows (no answer, a short or split answer, noise, a wrong echo, a cut line,
// a flood of junk). PlanAnswer turns one answer into the segments that carry it.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "tools/sensor-sim/output_schedule.h"
#include "tools/sensor-sim/sensor_model.h"

namespace sensor_sim {

struct SensorOptions {
    Variant variant = Variant::LoRaWan;  // commands of the other variant go unanswered
    bool paced = false;                  // 115200 baud line time, else every answer at once
    Duration replyDelay{};

    bool silent = false;               // takes commands in, answers and applies nothing
    std::optional<std::size_t> cutTo;  // answer with the first bytes only
    std::size_t splitAt = 0;           // if not 0: that many bytes, a pause, the rest
    Duration splitPause = std::chrono::milliseconds(200);
    std::size_t noiseBytes = 0;              // random bytes before each answer
    bool corruptEcho = false;                // the last character of a set's echo differs
    std::optional<std::size_t> hangUpAfter;  // cut the line once that many are sent and read
    std::size_t floodBytes = 0;              // if not 0: random bytes instead of each answer
    std::uint32_t seed = 1;                  // of noise and flood bytes
};

// Random bytes, at most kMaxQueuedBytes of them.
std::string RandomBytes(std::size_t count, std::mt19937& random);

// `answer` is the padded reply line or echo; `now` the moment the command was complete.
std::vector<Segment> PlanAnswer(std::string answer, bool isEcho, const SensorOptions& options,
                                TimePoint now, std::mt19937& random);

}  // namespace sensor_sim
