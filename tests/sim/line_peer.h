// The tool's end of a simulated line opened with plain POSIX calls, so the simulator is checked
// independently of the port layer.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <string>
#include <string_view>
#include <thread>

#include "platform/wait_hub.h"
#include "tests/support/port_folder.h"

namespace sim_test {

using namespace std::chrono_literals;

class LinePeer {
public:
    explicit LinePeer(const std::string& path)
        : fd_(open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC)) {
        termios tio{};
        if (fd_ >= 0 && tcgetattr(fd_, &tio) == 0) {
            cfmakeraw(&tio);
            tcsetattr(fd_, TCSANOW, &tio);
        }
    }
    ~LinePeer() {
        if (fd_ >= 0) {
            close(fd_);
        }
    }
    LinePeer(const LinePeer&) = delete;
    LinePeer& operator=(const LinePeer&) = delete;

    void Send(std::string_view bytes) {
        EXPECT_EQ(write(fd_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
        platform::WaitHub::Instance().NoteLineActivity();
    }

    // count bytes, or fewer if the line hangs up or five seconds pass.
    std::string Receive(std::size_t count) {
        ReadUntil([&] { return received_.size() >= count; });
        return Take(count);
    }

    // Everything up to and including the first "\r\n".
    std::string ReceiveLine() {
        ReadUntil([&] { return received_.find("\r\n") != std::string::npos; });
        const auto end = received_.find("\r\n");
        return Take(end == std::string::npos ? received_.size() : end + 2);
    }

    // A hang-up reads as end of file or EIO, as a pulled adapter does.
    bool WaitHangUp() {
        ReadUntil([] { return false; });
        return hungUp_;
    }

private:
    template <typename Done>
    void ReadUntil(Done done) {
        const auto giveUp = std::chrono::steady_clock::now() + 5s;
        while (!done() && !hungUp_ && std::chrono::steady_clock::now() < giveUp) {
            pollfd p{fd_, POLLIN, 0};
            char buffer[4096];
            if (poll(&p, 1, 10) <= 0) {
                continue;
            }
            const ssize_t n = read(fd_, buffer, sizeof buffer);
            if (n > 0) {
                received_.append(buffer, static_cast<std::size_t>(n));
            }
            hungUp_ = n == 0 || (n < 0 && errno == EIO);
        }
    }

    std::string Take(std::size_t count) {
        std::string taken = received_.substr(0, count);
        received_.erase(0, taken.size());
        return taken;
    }

    int fd_;
    std::string received_;
    bool hungUp_ = false;
};

}  // namespace sim_test
