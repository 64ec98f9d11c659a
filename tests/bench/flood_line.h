// A pseudo-terminal linked as COMn in the port folder, whose master side a flood is written into
// with blocking writes: the kernel then wakes the writer whenever the line has room. (A poll for
// room on a pseudo-terminal's master is often not woken when the reader frees some, so a writer
// that polls stalls for its whole retry step and the flood measures the writer, not the reader.)
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class FloodLine {
public:
    // Throws if the pseudo-terminal cannot be made or linked.
    explicit FloodLine(int comNumber);
    ~FloodLine();
    FloodLine(const FloodLine&) = delete;
    FloodLine& operator=(const FloodLine&) = delete;

    const std::string& LinkPath() const { return linkPath_; }

    // Writes every byte, waiting for room as needed. Returns 0 or the errno of a failed write.
    int WriteAll(const std::vector<std::uint8_t>& bytes);
    // Drops whatever waits on the line unread, as a reader that gave up would have left it.
    void Discard();

private:
    void Close();

    int master_ = -1;
    // Held open so that the line stays up while readers open and close the port.
    int slave_ = -1;
    std::string linkPath_;
};
