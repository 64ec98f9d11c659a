// A worker thread's message box shows without an event loop of its own: the user-interface
// thread keeps serving its timers, and the worker is released however the box is closed.
#include <gtest/gtest.h>

#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <thread>

#include "framework/message_box.h"
#include "tests/qt/gui_driver.h"

namespace qt_test {
namespace {

TEST(QtMessageBoxes, WorkerBoxShowsWhileTheUserInterfaceKeepsTicking) {
    struct Case {
        const char* name;
        std::function<void(int id)> close;
    };
    const Case cases[] = {
        {"closed by the framework", [](int id) { EXPECT_TRUE(::CloseMessageBox(id, IDOK)); }},
        {"OK button",
         [](int id) {
             OnGui([id] {
                 QTest::mouseClick(Presenter().MessageBoxWidget(id)->button(QMessageBox::Ok),
                                   Qt::LeftButton);
             });
         }},
        {"Esc",
         [](int id) {
             OnGui([id] { QTest::keyClick(Presenter().MessageBoxWidget(id), Qt::Key_Escape); });
         }},
        {"close box", [](int id) { OnGui([id] { Presenter().MessageBoxWidget(id)->close(); }); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ProbeProgressDialog dialog;
        RunWithScript(dialog, [&] {
            std::atomic<int> result{-1};
            std::thread worker([&] {
                framework::SetWorkerThread();
                result = MessageBoxA(nullptr, "The port is used by others", "COM3", MB_ICONERROR);
            });
            int id = 0;
            EXPECT_TRUE(WaitOnGui([&] {
                const std::vector<int> ids = Presenter().OpenMessageBoxIds();
                id = ids.empty() ? 0 : ids.back();
                return id != 0 && Presenter().MessageBoxWidget(id)->isVisible();
            }));
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
                c.close(id);
            }
            EXPECT_TRUE(WaitOnGui([&] { return result.load() == IDOK; }));
            EXPECT_TRUE(WaitOnGui([] { return Presenter().OpenMessageBoxIds().empty(); }));
            worker.join();
        });
    }
}

}  // namespace
}  // namespace qt_test
