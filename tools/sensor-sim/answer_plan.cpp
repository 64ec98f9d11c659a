#include "tools/sensor-sim/answer_plan.h"

#include <algorithm>

namespace sensor_sim {

std::string RandomBytes(std::size_t count, std::mt19937& random) {
    std::uniform_int_distribution<int> byte(0, 255);
    std::string bytes(std::min(count, kMaxQueuedBytes), '\0');
    for (char& c : bytes) {
        c = static_cast<char>(byte(random));
    }
    return bytes;
}

std::vector<Segment> PlanAnswer(std::string answer, bool isEcho, const SensorOptions& options,
                                TimePoint now, std::mt19937& random) {
    const bool flood = options.floodBytes != 0;
    std::string bytes = flood ? RandomBytes(options.floodBytes, random) : std::move(answer);
    if (!flood && isEcho && options.corruptEcho) {
        const std::size_t lineEnd = bytes.find("\r\n");
        if (lineEnd != std::string::npos && lineEnd > 0) {
            char& last = bytes[lineEnd - 1];
            last = (last == '0') ? '1' : '0';
        }
    }
    if (options.noiseBytes != 0) {
        bytes.insert(0, RandomBytes(options.noiseBytes, random));
    }
    if (options.cutTo && bytes.size() > *options.cutTo) {
        bytes.resize(*options.cutTo);
    }
    const bool hangUp = options.hangUpAfter.has_value();
    if (hangUp && bytes.size() > *options.hangUpAfter) {
        bytes.resize(*options.hangUpAfter);
    }

    // A flood goes as fast as the line takes it.
    const bool paced = options.paced && !flood;
    const TimePoint start = now + options.replyDelay;
    std::vector<Segment> segments;
    if (options.splitAt != 0 && options.splitAt < bytes.size()) {
        std::string rest = bytes.substr(options.splitAt);
        bytes.resize(options.splitAt);
        segments.push_back(Segment{std::move(bytes), start, paced, {}, false});
        segments.push_back(Segment{std::move(rest), start, paced, options.splitPause, hangUp});
    } else {
        segments.push_back(Segment{std::move(bytes), start, paced, {}, hangUp});
    }
    return segments;
}

}  // namespace sensor_sim
