#include "tools/sensor-sim/output_schedule.h"

#include <algorithm>

namespace sensor_sim {
namespace {

using Nanoseconds = std::chrono::nanoseconds;
constexpr long long kNanosPerSecond = 1'000'000'000;

// Line time of the first `count` bytes, rounded up so a byte is never early.
Duration LineTime(std::size_t count) {
    const long long n = static_cast<long long>(count);
    return std::chrono::duration_cast<Duration>(
        Nanoseconds((n * kNanosPerSecond + kBytesPerSecond - 1) / kBytesPerSecond));
}

// Bytes of a paced segment fully on the line `elapsed` after its start.
std::size_t BytesOnLine(Duration elapsed, std::size_t size) {
    if (elapsed >= LineTime(size)) {
        return size;
    }
    const long long nanos = std::chrono::duration_cast<Nanoseconds>(elapsed).count();
    return static_cast<std::size_t>(nanos * kBytesPerSecond / kNanosPerSecond);
}

}  // namespace

bool OutputSchedule::Queue(Segment segment) {
    if (segment.bytes.size() > kMaxQueuedBytes - queuedBytes_) {
        return false;
    }
    segment.paced = segment.paced && !segment.bytes.empty();  // an empty one is due at its start
    const TimePoint start = std::max(segment.notBefore, lineFreeAt_ + segment.pauseBefore);
    lineFreeAt_ = start + (segment.paced ? LineTime(segment.bytes.size()) : Duration{});
    queuedBytes_ += segment.bytes.size();
    queue_.push_back(Scheduled{std::move(segment), start, 0});
    return true;
}

std::string_view OutputSchedule::Due(TimePoint now) const {
    if (queue_.empty() || now < queue_.front().start) {
        return {};
    }
    const Scheduled& head = queue_.front();
    const std::string& bytes = head.segment.bytes;
    const std::size_t due =
        head.segment.paced ? BytesOnLine(now - head.start, bytes.size()) : bytes.size();
    return std::string_view(bytes).substr(head.sent, due - std::min(due, head.sent));
}

bool OutputSchedule::Consume(std::size_t n) {
    if (queue_.empty()) {
        return false;
    }
    Scheduled& head = queue_.front();
    head.sent = std::min(head.sent + n, head.segment.bytes.size());
    if (head.sent < head.segment.bytes.size()) {
        return false;
    }
    const bool hangUp = head.segment.hangUpAfter;
    queuedBytes_ -= head.segment.bytes.size();
    queue_.pop_front();
    return hangUp;
}

std::optional<TimePoint> OutputSchedule::NextDue() const {
    if (queue_.empty()) {
        return std::nullopt;
    }
    const Scheduled& head = queue_.front();
    if (!head.segment.paced) {
        return head.start;
    }
    return head.start + LineTime(head.sent + 1);
}

void OutputSchedule::Clear() {
    queue_.clear();
    queuedBytes_ = 0;
    lineFreeAt_ = TimePoint{};
}

}  // namespace sensor_sim
