// A flood for the byte path: a fixed pseudo-random sequence, so that a lost, doubled or reordered
// byte shows in the content, written into a pseudo-terminal's master as fast as it takes bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

#include "platform/pseudo_terminal.h"

std::vector<std::uint8_t> FloodBytes(std::size_t count);

// Writes the bytes on a thread of its own, from construction until Join.
class FloodWriter {
public:
    FloodWriter(platform::PseudoTerminal& line, const std::vector<std::uint8_t>& bytes);
    ~FloodWriter();
    FloodWriter(const FloodWriter&) = delete;
    FloodWriter& operator=(const FloodWriter&) = delete;

    void Join();
    // After Join: the errno of a failed write (0 if all went), and how often the
    // pseudo-terminal was full, and of those how often no readiness came within the retry step.
    int Error() const { return error_; }
    std::size_t Stalls() const { return stalls_; }
    std::size_t SilentStalls() const { return silentStalls_; }

private:
    struct Readiness;

    void Run(platform::PseudoTerminal& line, const std::vector<std::uint8_t>& bytes);

    std::shared_ptr<Readiness> readiness_;
    int error_ = 0;
    std::size_t stalls_ = 0;
    std::size_t silentStalls_ = 0;
    std::thread thread_;
};
