#include "tools/sensor-sim/command_assembler.h"

#include <algorithm>

namespace sensor_sim {

void CommandAssembler::Feed(std::string_view bytes, TimePoint now) {
    if (bytes.empty()) {
        return;
    }
    if (!active_) {
        pending_ = Burst{now, {}, false};
        active_ = true;
    }
    lastByteAt_ = now;
    const std::size_t room = kMaxCommandBytes - pending_.bytes.size();
    pending_.bytes.append(bytes.substr(0, std::min(room, bytes.size())));
    if (bytes.size() > room) {
        pending_.overflowed = true;
    }
}

std::optional<Burst> CommandAssembler::TakeComplete(TimePoint now) {
    if (!active_ || now < lastByteAt_ + kCommandGap) {
        return std::nullopt;
    }
    active_ = false;
    return std::move(pending_);
}

std::optional<TimePoint> CommandAssembler::Deadline() const {
    if (!active_) {
        return std::nullopt;
    }
    return lastByteAt_ + kCommandGap;
}

void CommandAssembler::Clear() {
    active_ = false;
}

}  // namespace sensor_sim
