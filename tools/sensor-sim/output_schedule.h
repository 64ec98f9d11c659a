// When each byte of the sensor's answers goes on the line. Segments are sent one after the
// other; a paced segment takes the line time of 115200 baud (ten bits a byte), each byte due
// when its last bit is out, and a segment may ask for a pause after the one before it or for
// the line to be cut once it is sent.
#pragma once

#include <chrono>
#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <string_view>

namespace sensor_sim {

using TimePoint = std::chrono::steady_clock::time_point;
using Duration = std::chrono::steady_clock::duration;

inline constexpr long long kBytesPerSecond = 115200 / 10;
// Bounds what a reader that does not read can make us hold.
inline constexpr std::size_t kMaxQueuedBytes = std::size_t{4} << 20;

struct Segment {
    std::string bytes;
    TimePoint notBefore{};
    bool paced = false;
    Duration pauseBefore{};  // after the end of the segment queued before it
    bool hangUpAfter = false;
};

class OutputSchedule {
public:
    // Returns false, queuing nothing, when the segment would pass kMaxQueuedBytes.
    bool Queue(Segment segment);
    // The bytes of the first segment that are due by now and not yet sent.
    std::string_view Due(TimePoint now) const;
    // Marks the first n bytes of Due() sent. Returns true when that finished a segment that
    // asks for a hang-up.
    bool Consume(std::size_t n);
    // When the next unsent byte falls due (possibly already passed).
    std::optional<TimePoint> NextDue() const;
    bool Empty() const { return queue_.empty(); }
    void Clear();

private:
    struct Scheduled {
        Segment segment;
        TimePoint start;
        std::size_t sent = 0;
    };

    std::deque<Scheduled> queue_;
    std::size_t queuedBytes_ = 0;
    TimePoint lineFreeAt_{};
};

}  // namespace sensor_sim
