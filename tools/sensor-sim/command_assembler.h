// Cuts the bytes from the line into commands. Commands carry no terminator, so a command ends
// where the line falls quiet: the bytes that arrive with no pause of kCommandGap between them
// form one command. The tool writes each command in one piece, and a sender at 115200 baud
// (87 us a byte, in USB frames of 1 ms at worst) never pauses that long inside one, while the
// tool's own requests are at least 50 ms apart. On the hub's clock the gap also works under
// virtual time: it runs out only once every byte in flight has arrived.
#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace sensor_sim {

using TimePoint = std::chrono::steady_clock::time_point;

inline constexpr std::chrono::milliseconds kCommandGap{5};
// Longer than anything the tool can send (its transmit buffer holds 512 bytes).
inline constexpr std::size_t kMaxCommandBytes = 512;

struct Burst {
    TimePoint firstByteAt;
    std::string bytes;
    bool overflowed = false;  // longer than kMaxCommandBytes; bytes holds the beginning only
};

class CommandAssembler {
public:
    void Feed(std::string_view bytes, TimePoint now);
    // The burst whose gap has run out by now, if any.
    std::optional<Burst> TakeComplete(TimePoint now);
    // When the pending burst will be complete.
    std::optional<TimePoint> Deadline() const;
    void Clear();

private:
    Burst pending_;
    bool active_ = false;
    TimePoint lastByteAt_{};
};

}  // namespace sensor_sim
