// Start-up: from starting the program to its main dialog shown and first painted, with the port
// probe (a pseudo-terminal linked as COM1 plays the sensor). Each run starts this program again as
// a child that runs what the tool's main does, prints the times and closes the dialog.
//
// Usage: kaldo-bench-startup [runs]
#include <QApplication>
#include <QEvent>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "framework/framework.h"
#include "framework/qt/qt_presenter.h"
#include "framework/win_main.h"
#include "platform/pseudo_terminal.h"
#include "res/resource.h"
#include "tests/support/port_folder.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr const char* kChildFlag = "--startup-child";
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
            std::printf("startup_ms %f painted_ms %f\n", shownMs_, MillisecondsSinceSpawned());
            std::fflush(stdout);
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
std::string RunOnce(const std::string& self) {
    const std::string command = "exec '" + self + "' " + kChildFlag + " " +
                                std::to_string(Clock::now().time_since_epoch().count());
    std::unique_ptr<FILE, int (*)(FILE*)> child(popen(command.c_str(), "re"), pclose);
    std::string report;
    char line[256];
    while (child && std::fgets(line, sizeof line, child.get()) != nullptr) {
        report = std::strncmp(line, "startup_ms ", 11) == 0 ? line : report;
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
    kaldo_test::TemporaryPortFolder folder;
    platform::PseudoTerminal sensor;
    if (sensor.Open(1) != 0) {
        std::fprintf(stderr, "cannot link COM1\n");
        return 1;
    }
    for (int run = 0; run < (argc > 1 ? std::atoi(argv[1]) : 10); ++run) {
        const std::string report = RunOnce(std::filesystem::read_symlink("/proc/self/exe"));
        if (report.empty()) {
            std::fprintf(stderr, "run %d: the main dialog was never shown\n", run + 1);
            return 1;
        }
        std::fputs(report.c_str(), stdout);
        std::fflush(stdout);
    }
    return 0;
}
