// Start-up: from starting the program to its main dialog shown and first painted, with the port
// probe (a pseudo-terminal linked as COM1 plays the sensor). Each run starts this program again as
// a child that runs what the tool's main does and reports the times, then closes the dialog.
//
// Usage: kaldo-bench-startup [runs]
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QEvent>
#include <QWidget>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <string>

#include "framework/qt/qt_presenter.h"
#include "framework/win_main.h"
#include "res/resource.h"
#include "tests/bench/port_rig.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kChildFlag = "--startup-child";
// The descriptor the child writes its report to.
constexpr int kReportFd = 3;

Clock::time_point g_spawned;

std::string MillisecondsSinceSpawned(Clock::time_point t) {
    return std::to_string(std::chrono::duration<double, std::milli>(t - g_spawned).count());
}

// Reports when the main dialog was first shown and painted, then closes it through its close box.
class ShownWatcher : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const bool show = event->type() == QEvent::Show;
        if (done_ || (!show && event->type() != QEvent::Paint) || !IsMainDialog(watched)) {
            return false;
        }
        if (show || shown_ == Clock::time_point{}) {
            shown_ = show ? Clock::now() : shown_;
            return false;
        }
        done_ = true;
        const std::string report = "startup_ms " + MillisecondsSinceSpawned(shown_) +
                                   " painted_ms " + MillisecondsSinceSpawned(Clock::now()) + "\n";
        [[maybe_unused]] const auto written = write(kReportFd, report.data(), report.size());
        close(kReportFd);
        ::PostMessage(AfxGetApp()->m_pMainWnd->GetSafeHwnd(), WM_CLOSE, 0, 0);
        return false;
    }

private:
    static bool IsMainDialog(QObject* watched) {
        auto* presenter = dynamic_cast<QtPresenter*>(&GetPresenter());
        return presenter != nullptr &&
               presenter->DialogWidget(IDD_KALDOSENSORSETTING_DIALOG) == watched;
    }

    bool done_ = false;
    Clock::time_point shown_;
};

void WatchForTheMainDialog() {
    if (g_spawned != Clock::time_point{}) {
        qApp->installEventFilter(new ShownWatcher(qApp));
    }
}
Q_COREAPP_STARTUP_FUNCTION(WatchForTheMainDialog)

int RunChild(char* program, const char* spawnedNs) {
    g_spawned = Clock::time_point(Clock::duration(std::strtoll(spawnedNs, nullptr, 10)));
    char* childArgv[] = {program, nullptr};
    return AfxWinMain(1, childArgv);
}

// Starts one child and reads its report; empty if it gave none.
std::string RunOnce(const char* self) {
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) {
        return {};
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], kReportFd);
    const auto spawned = Clock::now();
    const std::string spawnedNs = std::to_string(spawned.time_since_epoch().count());
    const char* argv[] = {self, kChildFlag, spawnedNs.c_str(), nullptr};
    pid_t pid = -1;
    const int err = posix_spawn(&pid, self, &actions, nullptr, const_cast<char**>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    std::string report;
    char buffer[256];
    for (ssize_t n = 0; err == 0 && (n = read(pipeFds[0], buffer, sizeof buffer)) > 0;) {
        report.append(buffer, static_cast<std::size_t>(n));
    }
    close(pipeFds[0]);
    if (err == 0) {
        int status = 0;
        waitpid(pid, &status, 0);
    }
    return report;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], kChildFlag) == 0) {
        return RunChild(argv[0], argv[2]);
    }
    const int runs = argc > 1 ? std::atoi(argv[1]) : 10;
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    try {
        PortRig sensor(1);
        for (int run = 0; run < runs; ++run) {
            const std::string report = RunOnce("/proc/self/exe");
            if (report.empty()) {
                std::fprintf(stderr, "run %d: the main dialog was never shown\n", run + 1);
                return 1;
            }
            std::fputs(report.c_str(), stdout);
            std::fflush(stdout);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
