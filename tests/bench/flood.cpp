#include "tests/bench/flood.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace {
// Chunks as big as a pseudo-terminal usually takes at once.
constexpr std::size_t kChunk = 4096;
// A pseudo-terminal can gain room without waking its pollers; the writer then looks again.
constexpr auto kRetryStep = std::chrono::microseconds(100);
}  // namespace

std::vector<std::uint8_t> FloodBytes(std::size_t count) {
    std::vector<std::uint8_t> bytes(count);
    std::uint32_t state = 0x2545F491u;
    for (auto& byte : bytes) {
        // xorshift32: cheap, and no short period that could hide a slip of a few bytes.
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        byte = static_cast<std::uint8_t>(state >> 24);
    }
    return bytes;
}

// Shared with the watch callback, which may run after the writer is gone.
struct FloodWriter::Readiness {
    std::mutex mutex;
    std::condition_variable changed;
    bool ready = false;
};

FloodWriter::FloodWriter(platform::PseudoTerminal& line, const std::vector<std::uint8_t>& bytes)
    : readiness_(std::make_shared<Readiness>()),
      thread_([this, &line, &bytes] { Run(line, bytes); }) {}

FloodWriter::~FloodWriter() { Join(); }

void FloodWriter::Join() {
    if (thread_.joinable()) {
        thread_.join();
    }
}

void FloodWriter::Run(platform::PseudoTerminal& line, const std::vector<std::uint8_t>& bytes) {
    const auto* data = reinterpret_cast<const char*>(bytes.data());
    std::size_t written = 0;
    while (written < bytes.size()) {
        const auto result = line.Write(data + written, std::min(kChunk, bytes.size() - written));
        if (result.error != 0) {
            error_ = result.error;
            return;
        }
        written += result.bytes;
        if (!result.wouldBlock) {
            continue;
        }
        ++stalls_;
        std::unique_lock lock(readiness_->mutex);
        readiness_->ready = false;
        lock.unlock();
        line.WatchWritable([readiness = readiness_] {
            std::lock_guard guard(readiness->mutex);
            readiness->ready = true;
            readiness->changed.notify_one();
        });
        lock.lock();
        if (!readiness_->changed.wait_for(lock, kRetryStep, [this] { return readiness_->ready; })) {
            ++silentStalls_;
        }
    }
}
