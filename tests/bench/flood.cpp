#include "tests/bench/flood.h"

#include <chrono>

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

FloodWriter::FloodWriter(FloodLine& line, const std::vector<std::uint8_t>& bytes)
    : line_(line), thread_([this, &bytes] {
          error_ = line_.WriteAll(bytes);
          done_ = true;
      }) {}

FloodWriter::~FloodWriter() {
    Join();
}

int FloodWriter::Abandon() {
    while (!done_) {
        line_.Discard();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return Join();
}

int FloodWriter::Join() {
    if (thread_.joinable()) {
        thread_.join();
    }
    return error_;
}
