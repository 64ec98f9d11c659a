// kaldo-sensor-sim: serves a simulated sensor on a COM link until told to stop.
#include <signal.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <system_error>
#include <vector>

#include "tools/sensor-sim/command_line.h"
#include "tools/sensor-sim/simulated_sensor.h"

using sensor_sim::SimulatedSensor;

namespace {

const auto g_started = std::chrono::steady_clock::now();

void Print(const std::string& line) {
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - g_started;
    std::printf("%9.3f  %s\n", elapsed.count(), line.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    // Signals are taken by sigwait below; blocked before any thread starts, so none gets them.
    // Each that would end the process removes the link first: a link left behind names the
    // pseudo-terminal of whoever takes its number next. SIGPIPE comes when standard output
    // goes, SIGHUP when the terminal that started the simulator closes.
    sigset_t signals;
    sigemptyset(&signals);
    for (int s : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE, SIGUSR1, SIGUSR2}) {
        sigaddset(&signals, s);
    }
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);

    std::string error;
    const auto line =
        sensor_sim::ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc), error);
    if (!line) {
        std::fprintf(stderr, "kaldo-sensor-sim: %s\n\n%s", error.c_str(),
                     sensor_sim::Usage().c_str());
        return 2;
    }
    if (line->help) {
        std::printf("%s", sensor_sim::Usage().c_str());
        return 0;
    }

    SimulatedSensor sensor;
    if (const int err = sensor.Start(line->comNumber, line->options, Print); err != 0) {
        std::fprintf(stderr, "kaldo-sensor-sim: cannot link COM%d: %s\n", line->comNumber,
                     std::generic_category().message(err).c_str());
        return 1;
    }
    std::printf("Simulated %s sensor on COM%d (%s, link %s)\n",
                sensor_sim::VariantName(line->options.variant), line->comNumber,
                sensor.SlavePath().c_str(), sensor.LinkPath().c_str());

    for (;;) {
        int received = 0;
        if (sigwait(&signals, &received) != 0 || (received != SIGUSR1 && received != SIGUSR2)) {
            break;
        }
        if (received == SIGUSR1) {
            sensor.HangUp();
        } else if (sensor.Reconnect() == 0) {
            std::printf("Linked again: %s -> %s\n", sensor.LinkPath().c_str(),
                        sensor.SlavePath().c_str());
        }
    }
    sensor.Stop();
    std::printf("Stopped; COM%d link removed.\n", line->comNumber);
    return 0;
}
