// Shared pieces of the port tests: a temporary port folder, pseudo-terminals linked into it as
// COMn, fake modem lines, and waits with deadlines.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "platform/comm.h"
#include "platform/event.h"
#include "platform/handle_table.h"
#include "platform/modem_lines.h"
#include "platform/wait_hub.h"

namespace kaldo_test {

inline constexpr DWORD kPatience = 10000;  // ms a test waits for something that must happen

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
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::milliseconds(kPatience);
        while (got.size() < size && std::chrono::steady_clock::now() < giveUp) {
            pollfd p{master_, POLLIN, 0};
            if (poll(&p, 1, 100) <= 0) {
                continue;
            }
            char buffer[65536];
            const ssize_t n = read(master_, buffer, std::min(sizeof buffer, size - got.size()));
            if (n > 0) {
                got.append(buffer, static_cast<std::size_t>(n));
            }
        }
        return got;
    }

private:
    int master_ = -1;
    std::string slave_;
};

// Every test gets a port folder of its own, and leaves the hub on the steady clock.
class PortTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/kaldo-ports-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder_ = pattern;
        setenv("KALDO_SENSOR_PORTS", folder_.c_str(), 1);
    }
    void TearDown() override {
        platform::WaitHub::Instance().UseSteadyClock();
        platform::SetModemLinesFactory({});
        unsetenv("KALDO_SENSOR_PORTS");
        std::filesystem::remove_all(folder_);
    }

    void Link(const std::string& target, int n) {
        const std::string link = folder_ + "/COM" + std::to_string(n);
        ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0) << link;
    }

    static HANDLE Open(int n) {
        const std::string name = "COM" + std::to_string(n);
        return CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                           FILE_FLAG_OVERLAPPED, nullptr);
    }

    // A pseudo-terminal linked as COM3 and opened.
    HANDLE OpenPty(Pty& pty, int n = 3) {
        Link(pty.slave(), n);
        return Open(n);
    }

    std::string folder_;
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

// Modem lines whose CTS the test moves; records what the port drives.
struct FakeLineState {
    std::mutex mutex;
    bool cts = false;
    bool rts = false;
    bool dtr = false;
    std::function<void()> changed;

    void SetCts(bool on) {
        std::function<void()> notify;
        {
            std::lock_guard lock(mutex);
            cts = on;
            notify = changed;
        }
        if (notify) {
            notify();
        }
    }
};

class FakeModemLines final : public platform::ModemLines {
public:
    explicit FakeModemLines(std::shared_ptr<FakeLineState> state) : state_(std::move(state)) {}
    std::optional<bool> Cts() override {
        std::lock_guard lock(state_->mutex);
        return state_->cts;
    }
    bool SetRts(bool on) override {
        std::lock_guard lock(state_->mutex);
        state_->rts = on;
        return true;
    }
    bool SetDtr(bool on) override {
        std::lock_guard lock(state_->mutex);
        state_->dtr = on;
        return true;
    }

private:
    std::shared_ptr<FakeLineState> state_;
};

inline std::shared_ptr<FakeLineState> InstallFakeModemLines() {
    auto state = std::make_shared<FakeLineState>();
    platform::SetModemLinesFactory([state](int, std::function<void()> changed) {
        {
            std::lock_guard lock(state->mutex);
            state->changed = std::move(changed);
        }
        return std::make_unique<FakeModemLines>(state);
    });
    return state;
}

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

}  // namespace kaldo_test
