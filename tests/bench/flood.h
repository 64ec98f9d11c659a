// A flood for the byte path: a fixed pseudo-random sequence, so that a lost, doubled or reordered
// byte shows in the content, written into a line by a thread of its own as fast as it takes bytes.
#pragma once

#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

#include "tests/bench/flood_line.h"

std::vector<std::uint8_t> FloodBytes(std::size_t count);

// Writes the bytes from construction until Join.
class FloodWriter {
public:
    FloodWriter(FloodLine& line, const std::vector<std::uint8_t>& bytes);
    ~FloodWriter();
    FloodWriter(const FloodWriter&) = delete;
    FloodWriter& operator=(const FloodWriter&) = delete;

    // Returns 0, or the errno of a failed write.
    int Join();
    // The reader gave up: drops what it leaves unread until the writer is through, then joins.
    int Abandon();

private:
    FloodLine& line_;
    std::atomic<bool> done_{false};
    int error_ = 0;
    std::thread thread_;
};
