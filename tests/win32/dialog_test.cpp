// The tool's dialogs on the system's own controls (Wine): keys and the close box end the dialog
// as the framework says; boxes show with their captions and icons without a loop of their own,
// with the owner disabled, and do not stall the framework's timers.
#include <gtest/gtest.h>

#include <thread>

#include "framework/message_box.h"
#include "tests/win32/win32_driver.h"
#include "ui/main_dialog.h"

namespace win32_test {
namespace {

constexpr char kMain[] = "`Kaldo Sensor Setting";

TEST(Win32Dialog, KeysAndTheCloseBoxEndTheDialogAsTheFrameworkSays) {
    const struct {
        int focus;
        const char* keys;  // nullptr: the close box
        INT_PTR result;
    } cases[] = {
        {IDC_EDIT_HIGH_ALARM, "\n", IDOK},
        {IDC_EDIT_LOW_ALARM, "\x1b", IDCANCEL},
        {IDC_EDIT_LOW_ALARM, nullptr, IDCANCEL},
    };
    for (const auto& c : cases) {
        CKaldoSensorSettingDlg dialog;
        const INT_PTR result = RunWithScript(dialog, [&] {
            screen::Window control = Item(kMain, c.focus);
            OnUi([&] { screen::Focus(control); });
            if (c.keys != nullptr) {
                screen::Type(control, c.keys);
            } else {
                screen::CloseBox(screen::Dialog(kMain));
            }
            EXPECT_TRUE(WaitUntilEnded());
        });
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(screen::Dialog(kMain), nullptr);
    }
}

TEST(Win32Dialog, BoxesShowWithoutALoopOfTheirOwnAndDisableTheirOwner) {
    // A worker's box closed by OK, by Enter, by Esc and by the close box; a box of the
    // user-interface thread disables its owner until it is closed.
    const char* const closes[] = {"ok", "\n", "\x1b", "close"};
    for (const char* close : closes) {
        SCOPED_TRACE(close);
        ProbeProgressDialog dialog;
        RunWithScript(dialog, [&] {
            std::atomic<int> result{-1};
            std::thread worker([&] {
                framework::SetWorkerThread();
                result = MessageBoxA(nullptr, "The port is used by others", "COM3", MB_ICONERROR);
            });
            screen::Box box;
            ASSERT_TRUE(WaitOnUi([&] {
                const auto boxes = screen::Boxes();
                return boxes.size() == 1 && (box = boxes.front()).window != nullptr;
            }));
            EXPECT_EQ(box.caption, "COM3");
            EXPECT_EQ(box.text, "The port is used by others");
            EXPECT_TRUE(box.icon);
            const int ticks = dialog.ticks.load();
            EXPECT_TRUE(WaitOnUi([&] { return dialog.ticks.load() >= ticks + 3; }));
            EXPECT_EQ(result.load(), -1);
            if (std::string(close) == "ok") {
                screen::Click(screen::Item(box.window, IDOK));
            } else if (std::string(close) == "close") {
                screen::CloseBox(box.window);
            } else {
                screen::Type(box.window, close);
            }
            EXPECT_TRUE(WaitOnUi([&] { return result.load() == IDOK && screen::Boxes().empty(); }));
            worker.join();
        });
    }
    CKaldoSensorSettingDlg main;
    RunWithScript(main, [&] {
        screen::Click(Item(kMain, IDC_BUTTON_SENSOR_INITIAL));
        ASSERT_TRUE(WaitOnUi([] { return !screen::Boxes().empty(); }));
        EXPECT_FALSE(screen::Enabled(screen::Dialog(kMain)));
        EXPECT_TRUE(Acknowledge("Please intial the Serial COM firstly"));
        EXPECT_TRUE(WaitOnUi([] { return screen::Enabled(screen::Dialog(kMain)); }));
    });
}

}  // namespace
}  // namespace win32_test
