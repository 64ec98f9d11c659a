// A worker thread's message box shows without an event loop of its own: the user-interface
// thread keeps serving its timers, and the worker is released however the box is closed. A port
// monitor's box stays usable while the user-interface thread waits for the monitor to stop.
#include <gtest/gtest.h>

#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <thread>

#include "framework/message_box.h"
#include "serial/serial_port.h"
#include "tests/qt/gui_driver.h"

namespace qt_test {
namespace {

TEST(QtMessageBoxes, WorkerBoxShowsWhileTheUserInterfaceKeepsTicking) {
    // Closed by the framework, by the OK button, by Esc and by the close box.
    const std::function<void(int id)> closes[] = {
        [](int id) { EXPECT_TRUE(::CloseMessageBox(id, IDOK)); },
        [](int id) {
            OnGui([id] {
                QTest::mouseClick(Presenter().MessageBoxWidget(id)->button(QMessageBox::Ok),
                                  Qt::LeftButton);
            });
        },
        [](int id) {
            OnGui([id] { QTest::keyClick(Presenter().MessageBoxWidget(id), Qt::Key_Escape); });
        },
        [](int id) { OnGui([id] { Presenter().MessageBoxWidget(id)->close(); }); },
    };
    for (const auto& close : closes) {
        SCOPED_TRACE(&close - closes);
        ProbeProgressDialog dialog;
        RunWithScript(dialog, [&] {
            std::atomic<int> result{-1};
            std::thread worker([&] {
                framework::SetWorkerThread();
                result = MessageBoxA(nullptr, "The port is used by others", "COM3", MB_ICONERROR);
            });
            const int id = WaitForBox();
            EXPECT_NE(id, 0);
            if (id != 0) {
                OnGui([id] {
                    QMessageBox* box = Presenter().MessageBoxWidget(id);
                    EXPECT_EQ(box->text(), "The port is used by others");
                    EXPECT_EQ(box->windowTitle(), "COM3");
                    EXPECT_EQ(box->icon(), QMessageBox::Critical);
                });
                const int ticks = dialog.ticks.load();
                EXPECT_TRUE(WaitOnGui([&] { return dialog.ticks.load() >= ticks + 3; }));
                EXPECT_EQ(result.load(), -1);
                close(id);
            }
            EXPECT_TRUE(WaitOnGui([&] { return result.load() == IDOK; }));
            EXPECT_TRUE(WaitOnGui([] { return Presenter().OpenMessageBoxIds().empty(); }));
            worker.join();
        });
    }
}

// Runs on the user-interface thread, from its message loop, what a script posts to it.
class RunnerDialog : public ProbeProgressDialog {
public:
    static constexpr UINT kRun = WM_APP + 1;
    void Post(std::function<void()>* task) {
        ::PostMessage(GetSafeHwnd(), kRun, 0, reinterpret_cast<LPARAM>(task));
    }

protected:
    LRESULT OnRun(WPARAM, LPARAM lParam) {
        (*reinterpret_cast<std::function<void()>*>(lParam))();
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(RunnerDialog, ProbeProgressDialog)
ON_MESSAGE(kRun, &RunnerDialog::OnRun)
END_MESSAGE_MAP()

TEST(QtMessageBoxes, AMonitorBoxStaysUsableWhileItsStopWaitsAndTheStopEndsWithIt) {
    RunnerDialog dialog;
    auto port = std::make_unique<CSerialPort>();
    std::atomic<bool> stopping{false};
    std::atomic<bool> stopped{false};
    // No COM4 in the run's empty port folder: the monitor's first event wait fails and it shows its
    // report.
    std::function<void()> start = [&] {
        port->OpenPort(&dialog, 4, 115200);
        port->StartMonitor();
    };
    std::function<void()> stop = [&] {
        stopping = true;
        port.reset();
        stopped = true;
    };
    RunWithScript(dialog, [&] {
        dialog.Post(&start);
        const int id = WaitForBox();
        ASSERT_NE(id, 0);
        dialog.Post(&stop);
        ASSERT_TRUE(WaitOnGui([&] { return stopping.load(); }));
        OnGui([id] { QTest::keyClick(Presenter().MessageBoxWidget(id), Qt::Key_Escape); });
        EXPECT_TRUE(WaitOnGui([&] { return stopped.load(); }));
    });
}

}  // namespace
}  // namespace qt_test
