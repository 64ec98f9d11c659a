// A pseudo-terminal linked as COMn in the port folder, and a flood written into its master side:
// a fixed pseudo-random sequence, so that a lost, doubled or reordered byte shows in the content.
// Writes block, so the kernel wakes the writer whenever the line has room (a poll for room on a
// master is often not woken, and the flood would then measure the writer).
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

std::vector<std::uint8_t> FloodBytes(std::size_t count);

class FloodLine {
public:
    // Throws if the pseudo-terminal cannot be made or linked.
    explicit FloodLine(int comNumber);
    ~FloodLine();
    FloodLine(const FloodLine&) = delete;
    FloodLine& operator=(const FloodLine&) = delete;

    const std::string& LinkPath() const { return linkPath_; }

    // Returns 0 or the errno of a failed write.
    int WriteAll(const std::vector<std::uint8_t>& bytes);
    // Drops whatever waits on the line unread.
    void Discard();

private:
    void Close();

    int master_ = -1;
    int slave_ = -1;  // keeps the line up while readers open and close the port
    std::string linkPath_;
};

// Writes the bytes into the line on a thread of its own from construction until Join.
class FloodWriter {
public:
    FloodWriter(FloodLine& line, const std::vector<std::uint8_t>& bytes);
    ~FloodWriter() { Join(); }
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
