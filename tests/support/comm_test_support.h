// Shared pieces of the port tests: a temporary port folder, pseudo-terminals linked into it as
// COMn, and waits with deadlines.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include "platform/comm.h"
#include "platform/event.h"
#include "platform/handle_table.h"
#include "platform/wait_hub.h"
#include "tests/support/port_folder.h"

namespace kaldo_test {

inline constexpr DWORD kPatience = 10000;  // ms a test waits for something that must happen

// Polls a condition that another thread makes true; gives up after the patience.
inline bool Eventually(const std::function<bool()>& condition) {
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::milliseconds(kPatience);
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= giveUp) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// The master side of a pseudo-terminal; the slave is what the port layer opens.
class Pty {
public:
    Pty() {
        master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (master_ >= 0 && grantpt(master_) == 0 && unlockpt(master_) == 0) {
            slave_ = ptsname(master_);
        }
    }
    ~Pty() { CloseMaster(); }
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;

    int master() const { return master_; }
    const std::string& slave() const { return slave_; }

    void CloseMaster() {
        if (master_ >= 0) {
            close(master_);
            master_ = -1;
        }
    }

    void Send(const std::string& bytes) const {
        ASSERT_EQ(write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }

    // Reads from the master until size bytes came or the patience ran out.
    std::string Receive(std::size_t size) const {
        std::string got;
        Eventually([&] {
            char buffer[4096];
            const ssize_t n = read(master_, buffer, std::min(sizeof buffer, size - got.size()));
            got.append(buffer, n > 0 ? static_cast<std::size_t>(n) : 0);
            return got.size() >= size;
        });
        return got;
    }

private:
    int master_ = -1;
    std::string slave_;
};

// Another program holding a device as a modem manager does: open and locked, under a name of its
// own. It lets go when the object goes.
class HoldingProcess {
public:
    HoldingProcess(const std::string& device, const char* name) {
        int ready[2];
        int release[2];
        if (pipe2(ready, O_CLOEXEC) != 0 || pipe2(release, O_CLOEXEC) != 0) {
            return;
        }
        pid_ = fork();
        if (pid_ == 0) {
            prctl(PR_SET_NAME, name);
            const int fd = open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
            const char held = fd >= 0 && flock(fd, LOCK_EX | LOCK_NB) == 0 ? 1 : 0;
            char byte = 0;
            close(release[1]);
            if (write(ready[1], &held, 1) == 1) {
                [[maybe_unused]] const ssize_t n = read(release[0], &byte, 1);  // until released
            }
            _exit(0);
        }
        close(ready[1]);
        close(release[0]);
        release_ = release[1];
        char held = 0;
        held_ = pid_ > 0 && read(ready[0], &held, 1) == 1 && held == 1;
        close(ready[0]);
    }
    ~HoldingProcess() {
        close(release_);
        if (pid_ > 0) {
            waitpid(pid_, nullptr, 0);
        }
    }
    HoldingProcess(const HoldingProcess&) = delete;
    HoldingProcess& operator=(const HoldingProcess&) = delete;

    bool held() const { return held_; }
    int pid() const { return pid_; }

private:
    int pid_ = -1;
    int release_ = -1;
    bool held_ = false;
};

// Every test gets a port folder of its own, and leaves the hub on the steady clock.
class PortTest : public ::testing::Test {
protected:
    void TearDown() override { platform::WaitHub::Instance().UseSteadyClock(); }

    void Link(const std::string& target, int n) {
        ASSERT_EQ(symlink(target.c_str(), ports_.Link(n).c_str()), 0) << ports_.Link(n);
    }

    static HANDLE Open(int n) {
        return CreateFileA(("COM" + std::to_string(n)).c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                           nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    }

    HANDLE OpenPty(Pty& pty, int n = 3) {
        Link(pty.slave(), n);
        return Open(n);
    }

    TemporaryPortFolder ports_;
    const std::string& folder_ = ports_.Path();
};

// A pseudo-terminal opened as COM3, watching for input.
class OpenPortTest : public PortTest {
protected:
    void SetUp() override {
        PortTest::SetUp();
        port_ = OpenPty(pty_);
        ASSERT_NE(port_, INVALID_HANDLE_VALUE);
        ASSERT_EQ(SetCommMask(port_, EV_RXCHAR), TRUE);
    }
    void TearDown() override {
        CloseHandle(port_);
        PortTest::TearDown();
    }

    Pty pty_;
    HANDLE port_ = nullptr;
};

// An OVERLAPPED with a manual-reset event of its own.
struct Overlapped {
    Overlapped() { ov.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr); }
    ~Overlapped() { CloseHandle(ov.hEvent); }
    Overlapped(const Overlapped&) = delete;
    Overlapped& operator=(const Overlapped&) = delete;

    bool Signalled() const { return WaitForSingleObject(ov.hEvent, 0) == WAIT_OBJECT_0; }
    bool AwaitSignal() const { return WaitForSingleObject(ov.hEvent, kPatience) == WAIT_OBJECT_0; }

    OVERLAPPED ov;
};

}  // namespace kaldo_test
