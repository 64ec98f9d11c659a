// Start-up: from starting the program to its main dialog shown and first painted, with the port
// probe (a pseudo-terminal linked as COM1 plays the sensor). Each run starts this program again as
// a child that runs what the tool's main does, reports the times on descriptor 3 and closes the
// dialog.
//
// Usage: kaldo-bench-startup [runs]
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QEvent>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "framework/framework.h"
#include "framework/qt/qt_presenter.h"
#include "framework/win_main.h"
#include "res/resource.h"
#include "tests/bench/port_lines.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
constexpr const char* kChildFlag = "--startup-child";
constexpr int kReportFd = 3;
Clock::time_point g_spawned;

double MillisecondsSinceSpawned() {
    return std::chrono::duration<double, std::milli>(Clock::now() - g_spawned).count();
}

// Notes the main dialog's first show and, after it, its first paint; then closes it.
class ShownWatcher : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* presenter = dynamic_cast<QtPresenter*>(&GetPresenter());
        if (shownMs_ < 0 || presenter == nullptr ||
            presenter->DialogWidget(IDD_KALDOSENSORSETTING_DIALOG) != watched) {
            return false;
        }
        if (event->type() == QEvent::Show && shownMs_ == 0) {
            shownMs_ = MillisecondsSinceSpawned();
        } else if (event->type() == QEvent::Paint && shownMs_ > 0) {
            const std::string report = "startup_ms " + std::to_string(shownMs_) + " painted_ms " +
                                       std::to_string(MillisecondsSinceSpawned()) + "\n";
            [[maybe_unused]] const auto written = write(kReportFd, report.data(), report.size());
            close(kReportFd);
            shownMs_ = -1;
            ::PostMessage(AfxGetApp()->m_pMainWnd->GetSafeHwnd(), WM_CLOSE, 0, 0);
        }
        return false;
    }

private:
    double shownMs_ = 0;  // -1 once reported
};

void WatchForTheMainDialog() {
    if (g_spawned != Clock::time_point{}) {
        qApp->installEventFilter(new ShownWatcher(qApp));
    }
}
Q_COREAPP_STARTUP_FUNCTION(WatchForTheMainDialog)

// Starts one child and returns its report; empty if it gave none.
std::string RunOnce() {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        return {};
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], kReportFd);
    const std::string spawned = std::to_string(Clock::now().time_since_epoch().count());
    const char* argv[] = {"/proc/self/exe", kChildFlag, spawned.c_str(), nullptr};
    pid_t pid = -1;
    const int err =
        posix_spawn(&pid, argv[0], &actions, nullptr, const_cast<char**>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    std::string report;
    char buffer[256];
    for (ssize_t n = 0; err == 0 && (n = read(fds[0], buffer, sizeof buffer)) > 0;) {
        report.append(buffer, static_cast<std::size_t>(n));
    }
    close(fds[0]);
    if (err == 0) {
        waitpid(pid, nullptr, 0);
    }
    return report;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], kChildFlag) == 0) {
        g_spawned = Clock::time_point(Clock::duration(std::strtoll(argv[2], nullptr, 10)));
        return AfxWinMain(1, argv);
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    PortLines sensor(1);
    for (int run = 0; run < (argc > 1 ? std::atoi(argv[1]) : 10); ++run) {
        const std::string report = RunOnce();
        if (report.empty()) {
            std::fprintf(stderr, "run %d: the main dialog was never shown\n", run + 1);
            return 1;
        }
        std::fputs(report.c_str(), stdout);
        std::fflush(stdout);
    }
    return 0;
}
