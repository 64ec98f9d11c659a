#include "platform/descriptor.h"

#include <unistd.h>

namespace platform {

void Descriptor::Reset(int fd) {
    if (fd_ >= 0) {
        close(fd_);
    }
    fd_ = fd;
}

}  // namespace platform
