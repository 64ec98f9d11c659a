#include "platform/port_release.h"

#include <signal.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>

namespace platform {
namespace {

// Lock-free, so that a signal handler may walk it whatever the interrupted thread was doing.
constexpr int kSlots = 16;
std::atomic<int> g_ports[kSlots] = {};  // descriptor + 1; 0 is a free slot

void ReleaseAll() {
    for (auto& slot : g_ports) {
        if (const int fd = slot.load() - 1; fd >= 0) {
            ioctl(fd, TIOCNXCL);
        }
    }
}

void OnSignal(int signal) {
    ReleaseAll();
    ::signal(signal, SIG_DFL);
    raise(signal);
}

}  // namespace

void NoteExclusivePort(int fd) {
    for (auto& slot : g_ports) {
        int expected = 0;
        if (slot.compare_exchange_strong(expected, fd + 1)) {
            return;
        }
    }
}

void ForgetExclusivePort(int fd) {
    for (auto& slot : g_ports) {
        int expected = fd + 1;
        if (slot.compare_exchange_strong(expected, 0)) {
            return;
        }
    }
}

void ReleasePortsWhenInterrupted() {
    constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    for (int s : kSignals) {
        sigaddset(&action.sa_mask, s);
    }
    for (int s : kSignals) {
        sigaction(s, &action, nullptr);
    }
}

void ExitReleasingPorts(int code) {
    ReleaseAll();
    std::fflush(nullptr);
    _exit(code);
}

}  // namespace platform
