// Shared pieces of the port tests: a temporary port folder, pseudo-terminals linked into it as
// COMn, another program holding a device, and waits with deadlines.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/ioctl.h>
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
#include "platform/pseudo_terminal.h"
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

// What the port side wrote to the line: everything there now, and at least atLeast bytes unless
// the patience runs out first.
inline std::string Receive(platform::PseudoTerminal& line, std::size_t atLeast = 0) {
    std::string got;
    Eventually([&] {
        char buffer[4096];
        for (auto r = line.Read(buffer, sizeof buffer); r.bytes > 0;
             r = line.Read(buffer, sizeof buffer)) {
            got.append(buffer, r.bytes);
        }
        return got.size() >= atLeast;
    });
    return got;
}

// Another program holding a device as a modem manager does: open and locked (or marked exclusive,
// as terminal programs do), under a name of its own, until the object goes.
class HoldingProcess {
public:
    HoldingProcess(const std::string& device, const char* name, bool exclusive = false) {
        int ready[2];
        if (pipe2(ready, O_CLOEXEC) != 0) {
            return;
        }
        pid_ = fork();
        if (pid_ == 0) {
            prctl(PR_SET_PDEATHSIG, SIGKILL);
            prctl(PR_SET_NAME, name);
            const int fd = open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
            const bool held =
                exclusive ? ioctl(fd, TIOCEXCL) == 0 : flock(fd, LOCK_EX | LOCK_NB) == 0;
            if (write(ready[1], &held, 1) == 1) {
                pause();
            }
            _exit(0);
        }
        close(ready[1]);
        char held = 0;
        held_ = pid_ > 0 && read(ready[0], &held, 1) == 1 && held == 1;
        close(ready[0]);
    }
    ~HoldingProcess() {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }
    HoldingProcess(const HoldingProcess&) = delete;
    HoldingProcess& operator=(const HoldingProcess&) = delete;

    bool held() const { return held_; }
    int pid() const { return pid_; }

private:
    int pid_ = -1;
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

    TemporaryPortFolder ports_;
    const std::string& folder_ = ports_.Path();
};

// An OVERLAPPED with a manual-reset event of its own.
struct Overlapped {
    Overlapped() { ov.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr); }
    ~Overlapped() { CloseHandle(ov.hEvent); }
    Overlapped(const Overlapped&) = delete;
    Overlapped& operator=(const Overlapped&) = delete;

    bool Signalled() const { return WaitForSingleObject(ov.hEvent, 0) == WAIT_OBJECT_0; }

    OVERLAPPED ov;
};

}  // namespace kaldo_test
