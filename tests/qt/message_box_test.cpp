// Message boxes under the Qt presenter: shown without an event loop of their own, closed by
// the user or by the framework, from the user-interface thread or a worker.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <thread>

#include "framework/message_box.h"
#include "res/resource.h"
#include "tests/qt/probe_dialogs.h"

namespace qt_test {
namespace {

// The newest box the presenter shows, once there is one.
int WaitForShownBox() {
    int id = 0;
    const bool shown = WaitOnGui([&] {
        const std::vector<int> ids = Presenter().OpenMessageBoxIds();
        if (ids.empty() || !Presenter().MessageBoxWidget(ids.back())->isVisible()) {
            return false;
        }
        id = ids.back();
        return true;
    });
    EXPECT_TRUE(shown) << "no message box shown";
    return shown ? id : 0;
}

// A worker thread asks for a box and waits for it.
class WorkerBox {
public:
    WorkerBox(HWND owner, const char* text, const char* caption, UINT type)
        : thread_([=, this] {
              framework::SetWorkerThread();
              result_ = MessageBoxA(owner, text, caption, type);
          }) {}
    ~WorkerBox() { thread_.join(); }

    int Result() const { return result_.load(); }

private:
    std::atomic<int> result_{-1};
    std::thread thread_;
};

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
            WorkerBox worker(nullptr, "The port is used by others", "COM3", MB_ICONERROR);
            const int id = WaitForShownBox();
            ASSERT_NE(id, 0);
            OnGui([id] {
                QMessageBox* box = Presenter().MessageBoxWidget(id);
                EXPECT_EQ(box->text(), "The port is used by others");
                EXPECT_EQ(box->windowTitle(), "COM3");
                EXPECT_EQ(box->icon(), QMessageBox::Critical);
                EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
                EXPECT_EQ(box->parentWidget(), nullptr);
                EXPECT_FALSE(box->isModal());
            });
            const int ticks = dialog.ticks.load();
            EXPECT_TRUE(WaitOnGui([&] { return dialog.ticks.load() >= ticks + 3; }));
            EXPECT_EQ(worker.Result(), -1);

            c.close(id);
            EXPECT_TRUE(WaitOnGui([&] { return worker.Result() == IDOK; }));
            EXPECT_TRUE(WaitOnGui([] { return Presenter().OpenMessageBoxIds().empty(); }));
        });
    }
}

TEST(QtMessageBoxes, IconFollowsTheBoxType) {
    struct Case {
        UINT type;
        QMessageBox::Icon icon;
    };
    const Case cases[] = {{MB_OK, QMessageBox::NoIcon},
                          {MB_ICONERROR, QMessageBox::Critical},
                          {MB_ICONEXCLAMATION, QMessageBox::Warning},
                          {MB_ICONINFORMATION, QMessageBox::Information}};
    ProbeProgressDialog dialog;
    RunWithScript(dialog, [&] {
        for (const Case& c : cases) {
            WorkerBox worker(nullptr, "text", "caption", c.type);
            const int id = WaitForShownBox();
            ASSERT_NE(id, 0);
            EXPECT_EQ(OnGui([id] { return Presenter().MessageBoxWidget(id)->icon(); }), c.icon)
                << c.type;
            ::CloseMessageBox(id, IDOK);
        }
    });
}

TEST(QtMessageBoxes, BoxOfTheUserInterfaceThreadBelongsToItsDialog) {
    ProbeMainDialog dialog;
    RunWithScript(dialog, [&] {
        OnGui([] {
            QTest::mouseClick(
                Presenter().ControlWidget(IDD_KALDOSENSORSETTING_DIALOG, IDC_BUTTON_USB_SET),
                Qt::LeftButton);
        });
        const int id = WaitForShownBox();
        ASSERT_NE(id, 0);
        OnGui([id] {
            QMessageBox* box = Presenter().MessageBoxWidget(id);
            QWidget* owner = Presenter().DialogWidget(IDD_KALDOSENSORSETTING_DIALOG);
            EXPECT_EQ(box->text(), "Intial Serial Port sucessful");
            EXPECT_EQ(box->windowTitle().toStdString(), AfxGetAppName());
            EXPECT_EQ(box->parentWidget(), owner);
            EXPECT_LE((box->geometry().center() - owner->geometry().center()).manhattanLength(), 2);
        });
        // Meanwhile its dialog takes no input, yet looks as before (not greyed out).
        OnGui([] {
            auto* edit = qobject_cast<QLineEdit*>(
                Presenter().ControlWidget(IDD_KALDOSENSORSETTING_DIALOG, IDC_EDIT_HIGH_ALARM));
            QWidget* button =
                Presenter().ControlWidget(IDD_KALDOSENSORSETTING_DIALOG, IDC_BUTTON_SENSOR_SET);
            EXPECT_TRUE(edit->isEnabled());
            EXPECT_TRUE(button->isEnabled());
            QTest::keyClicks(edit, "12");
            QTest::mouseClick(button, Qt::LeftButton);
            EXPECT_EQ(edit->text(), "");
        });
        OnGui([id] {
            QMessageBox* box = Presenter().MessageBoxWidget(id);
            QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
        });
        EXPECT_TRUE(WaitOnGui([&] { return dialog.usbSetReturned.load() == 1; }));
        EXPECT_EQ(dialog.Notifications(IDC_BUTTON_SENSOR_SET, BN_CLICKED), 0);
        // Enabled again, it takes input.
        OnGui([] {
            QTest::keyClicks(
                Presenter().ControlWidget(IDD_KALDOSENSORSETTING_DIALOG, IDC_EDIT_HIGH_ALARM), "3");
        });
        EXPECT_TRUE(WaitOnGui([&] { return FrameworkText(dialog, IDC_EDIT_HIGH_ALARM) == "3"; }));
    });
}

// A worker's box over a dialog outlives the dialog: the worker still waits for its answer.
TEST(QtMessageBoxes, BoxOutlivesTheDialogItWasShownOver) {
    ProbeMainDialog dialog;
    std::unique_ptr<WorkerBox> worker;
    int id = 0;
    RunWithScript(dialog, [&] {
        worker = std::make_unique<WorkerBox>(dialog.Window(), "Initial is FAIL, please try again",
                                             "Sensor", MB_ICONEXCLAMATION);
        id = WaitForShownBox();
        OnGui([&] {
            EXPECT_EQ(Presenter().MessageBoxWidget(id)->parentWidget(),
                      Presenter().DialogWidget(IDD_KALDOSENSORSETTING_DIALOG));
        });
    });
    ASSERT_NE(id, 0);
    // Back on the GUI thread, the dialog gone.
    EXPECT_EQ(Presenter().DialogWidget(IDD_KALDOSENSORSETTING_DIALOG), nullptr);
    QMessageBox* box = Presenter().MessageBoxWidget(id);
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->isVisible());
    EXPECT_EQ(box->parentWidget(), nullptr);
    EXPECT_EQ(worker->Result(), -1);
    QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
    worker.reset();  // joins: released by the click
    EXPECT_TRUE(Presenter().OpenMessageBoxIds().empty());
}

}  // namespace
}  // namespace qt_test
