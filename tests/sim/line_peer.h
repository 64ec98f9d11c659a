// Test helpers: a private port folder, and the tool's end of a simulated line opened with plain
// POSIX calls, so the simulator is checked independently of the port layer.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <string>
#include <string_view>
#include <thread>

#include "platform/wait_hub.h"

namespace sim_test {

using namespace std::chrono_literals;

// Points the port folder at a fresh temporary directory for the life of the object.
class TemporaryPortFolder {
public:
    TemporaryPortFolder() {
        char pattern[] = "/tmp/kaldo-sim-test-XXXXXX";
        path_ = mkdtemp(pattern);
        setenv("KALDO_SENSOR_PORTS", path_.c_str(), 1);
    }
    ~TemporaryPortFolder() {
        unsetenv("KALDO_SENSOR_PORTS");
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    std::string Link(int com) const { return path_ + "/COM" + std::to_string(com); }

private:
    std::string path_;
};

template <typename Condition>
bool Eventually(Condition condition, std::chrono::milliseconds limit = 5s) {
    const auto giveUp = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= giveUp) {
            return false;
        }
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

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
    ~LinePeer() { Close(); }
    LinePeer(const LinePeer&) = delete;
    LinePeer& operator=(const LinePeer&) = delete;

    bool IsOpen() const { return fd_ >= 0; }
    void Close() {
        if (fd_ >= 0) {
            close(fd_);
            fd_ = -1;
        }
    }

    bool Send(std::string_view bytes) {
        const bool whole =
            write(fd_, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
        platform::WaitHub::Instance().NoteLineActivity();
        return whole;
    }

    // Reads until `count` bytes are in, the line hangs up, or the time limit passes.
    std::string Receive(std::size_t count, std::chrono::milliseconds limit = 5s) {
        ReadUntil([&] { return received_.size() >= count; }, limit);
        return Take(count);
    }

    // Everything up to and including the first "\r\n".
    std::string ReceiveLine(std::chrono::milliseconds limit = 5s) {
        ReadUntil([&] { return received_.find("\r\n") != std::string::npos; }, limit);
        const auto end = received_.find("\r\n");
        return Take(end == std::string::npos ? received_.size() : end + 2);
    }

    // A hang-up reads as end of file or EIO, as a pulled adapter does.
    bool WaitHangUp(std::chrono::milliseconds limit = 5s) {
        ReadUntil([] { return false; }, limit);
        return hungUp_;
    }

private:
    template <typename Done>
    void ReadUntil(Done done, std::chrono::milliseconds limit) {
        const auto giveUp = std::chrono::steady_clock::now() + limit;
        for (auto now = std::chrono::steady_clock::now(); !done() && !hungUp_ && now < giveUp;
             now = std::chrono::steady_clock::now()) {
            pollfd p{fd_, POLLIN, 0};
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(giveUp - now);
            if (poll(&p, 1, static_cast<int>(left.count())) <= 0) {
                continue;
            }
            char buffer[4096];
            const ssize_t n = read(fd_, buffer, sizeof buffer);
            if (n > 0) {
                received_.append(buffer, static_cast<std::size_t>(n));
            } else if (n == 0 || errno == EIO) {
                hungUp_ = true;
            }
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
