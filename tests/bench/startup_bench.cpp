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
bool g_reported = false;

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
            g_reported = true;
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

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], kChildFlag) == 0) {
        g_spawned = Clock::time_point(Clock::duration(std::strtoll(argv[2], nullptr, 10)));
        return AfxWinMain(1, argv) == 0 && g_reported ? 0 : 1;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    kaldo_test::TemporaryPortFolder folder;
    platform::PseudoTerminal sensor;
    if (sensor.Open(1) != 0) {
        std::fprintf(stderr, "cannot link COM1\n");
        return 1;
    }
    const std::string self = std::filesystem::read_symlink("/proc/self/exe");
    for (int run = 0; run < (argc > 1 ? std::atoi(argv[1]) : 10); ++run) {
        const std::string child = "exec '" + self + "' " + kChildFlag + " " +
                                  std::to_string(Clock::now().time_since_epoch().count());
        if (std::system(child.c_str()) != 0) {
            std::fprintf(stderr, "run %d: the main dialog was never shown\n", run + 1);
            return 1;
        }
    }
    return 0;
}
