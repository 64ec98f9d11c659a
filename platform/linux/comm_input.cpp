#include "platform/comm_input.h"

#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "platform/system_call.h"

namespace platform {

ssize_t CommInput::Fill(int fd) {
    const ssize_t n = RetryInterrupted([&] { return ::read(fd, bytes_.data(), bytes_.size()); });
    start_ = 0;
    end_ = n > 0 ? static_cast<std::size_t>(n) : 0;
    return n;
}

DWORD CommInput::Take(void* to, DWORD count) {
    const std::size_t n = std::min<std::size_t>(count, end_ - start_);
    std::memcpy(to, bytes_.data() + start_, n);
    start_ += n;
    return static_cast<DWORD>(n);
}

}  // namespace platform
