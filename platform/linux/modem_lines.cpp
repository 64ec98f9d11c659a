#include "platform/modem_lines.h"

#include <sys/ioctl.h>

#include <cerrno>
#include <mutex>

namespace platform {
namespace {

// TIOCM* ioctls on a pseudo-terminal fail with ENOTTY (some drivers say EINVAL): no lines.
bool NoModemLines(int err) {
    return err == ENOTTY || err == EINVAL;
}

class TerminalModemLines final : public ModemLines {
public:
    explicit TerminalModemLines(int fd) : fd_(fd) {}

    std::optional<bool> Cts() override {
        int status = 0;
        if (ioctl(fd_, TIOCMGET, &status) != 0) {
            return std::nullopt;
        }
        return (status & TIOCM_CTS) != 0;
    }
    bool SetRts(bool on) override { return Drive(TIOCM_RTS, on); }
    bool SetDtr(bool on) override { return Drive(TIOCM_DTR, on); }

private:
    bool Drive(int line, bool on) {
        if (ioctl(fd_, on ? TIOCMBIS : TIOCMBIC, &line) == 0) {
            return true;
        }
        return NoModemLines(errno);
    }

    int fd_;
};

std::mutex g_factoryMutex;
ModemLinesFactory g_factory;

}  // namespace

void SetModemLinesFactory(ModemLinesFactory factory) {
    std::lock_guard lock(g_factoryMutex);
    g_factory = std::move(factory);
}

std::unique_ptr<ModemLines> MakeModemLines(int fd, std::function<void()> linesChanged) {
    {
        std::lock_guard lock(g_factoryMutex);
        if (g_factory) {
            return g_factory(fd, std::move(linesChanged));
        }
    }
    return std::make_unique<TerminalModemLines>(fd);
}

}  // namespace platform
