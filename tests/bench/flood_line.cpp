#include "tests/bench/flood_line.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <stdexcept>

#include "platform/port_folder.h"

std::vector<std::uint8_t> FloodBytes(std::size_t count) {
    std::vector<std::uint8_t> bytes(count);
    std::uint32_t state = 0x2545F491u;
    for (auto& byte : bytes) {
        // xorshift32: cheap, and no short period that could hide a slip of a few bytes.
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        byte = static_cast<std::uint8_t>(state >> 24);
    }
    return bytes;
}

FloodLine::FloodLine(int comNumber) {
    const auto fail = [this](const std::string& what) {
        Close();
        throw std::runtime_error(what + ": errno " + std::to_string(errno));
    };
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    std::array<char, 128> slavePath{};
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0 ||
        ptsname_r(master_, slavePath.data(), slavePath.size()) != 0) {
        fail("cannot make a pseudo-terminal");
    }
    slave_ = open(slavePath.data(), O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    termios raw{};
    if (slave_ < 0 || tcgetattr(slave_, &raw) != 0) {
        fail("cannot open " + std::string(slavePath.data()));
    }
    // A serial line: no echo, no line editing, no CR/LF changes.
    cfmakeraw(&raw);
    if (tcsetattr(slave_, TCSANOW, &raw) != 0) {
        fail("cannot make " + std::string(slavePath.data()) + " raw");
    }
    const std::string linkPath = platform::PortFolder() + "/COM" + std::to_string(comNumber);
    std::remove(linkPath.c_str());
    if (!platform::EnsurePortFolder() || symlink(slavePath.data(), linkPath.c_str()) != 0) {
        fail("cannot link " + linkPath);
    }
    linkPath_ = linkPath;
}

FloodLine::~FloodLine() {
    Close();
}

void FloodLine::Close() {
    if (!linkPath_.empty()) {
        unlink(linkPath_.c_str());
        linkPath_.clear();
    }
    for (int* fd : {&slave_, &master_}) {
        if (*fd >= 0) {
            close(*fd);
            *fd = -1;
        }
    }
}

int FloodLine::WriteAll(const std::vector<std::uint8_t>& bytes) {
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = write(master_, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno != EINTR) {
            return errno;
        }
        written += n > 0 ? static_cast<std::size_t>(n) : 0;
    }
    return 0;
}

void FloodLine::Discard() {
    char unread[4096];
    while (read(slave_, unread, sizeof unread) > 0) {
    }
}

FloodWriter::FloodWriter(FloodLine& line, const std::vector<std::uint8_t>& bytes)
    : line_(line), thread_([this, &bytes] {
          error_ = line_.WriteAll(bytes);
          done_ = true;
      }) {}

int FloodWriter::Abandon() {
    while (!done_) {
        line_.Discard();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return Join();
}

int FloodWriter::Join() {
    if (thread_.joinable()) {
        thread_.join();
    }
    return error_;
}
