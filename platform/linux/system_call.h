// What every system call of this layer shares: a call a signal interrupts is made again.
#pragma once

#include <cerrno>

namespace platform {

// Calls `call` until it returns something other than a failure with EINTR; errno is the
// call's own when the result is negative.
template <typename Call>
auto RetryInterrupted(Call call) {
    decltype(call()) result;
    do {
        result = call();
    } while (result < 0 && errno == EINTR);
    return result;
}

}  // namespace platform
