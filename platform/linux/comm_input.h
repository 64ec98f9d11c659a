// Bytes read from a line ahead of the reader. A reader that takes one byte at a time (status
// query, one-byte read, per byte) is served from one read system call per chunk.
#pragma once

#include <sys/types.h>

#include <array>
#include <cstddef>

#include "platform/windows_types.h"

namespace platform {

class CommInput {
public:
    DWORD Size() const { return static_cast<DWORD>(end_ - start_); }
    // Reads what fd has, up to a chunk; call only when empty. Returns what read returned.
    ssize_t Fill(int fd);
    // Moves up to count bytes to `to`; returns how many.
    DWORD Take(void* to, DWORD count);
    void Clear() { start_ = end_ = 0; }

private:
    // As much as a terminal's line discipline holds.
    std::array<BYTE, 4096> bytes_{};
    std::size_t start_ = 0;
    std::size_t end_ = 0;
};

}  // namespace platform
