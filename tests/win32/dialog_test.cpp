// The tool's dialogs on the system's own controls (Wine): what the user types stays as typed
// however busy the framework is meanwhile and within the edit's limit; keys and the close box
// end the dialog as the framework says; boxes show with their captions and icons without a loop
// of their own, with the owner disabled; and neither a box nor Windows' own loop for moving a
// window stalls the framework's timers.
#include <gtest/gtest.h>

#include <thread>

#include "framework/message_box.h"
#include "tests/win32/win32_driver.h"
#include "ui/main_dialog.h"

namespace win32_test {
namespace {

constexpr char kMain[] = "`Kaldo Sensor Setting";

TEST(Win32Dialog, KeysTypedWhileTheFrameworkChangesTheDialogEndAsTyped) {
    CKaldoSensorSettingDlg dialog;
    RunWithScript(dialog, [&] {
        for (const int id : {IDC_EDIT_HIGH_ALARM, IDC_EDIT_APP_KEY, IDC_COMBO_BAUDRATE}) {
            screen::Window control = Item(kMain, id);
            OnUi([&] {
                screen::Focus(control);
                dialog.GetDlgItem(id)->SetWindowText("");
            });
            // Each batch of keys lands while the framework is busy with the dialog: a byte
            // arrives, the others are disabled and enabled, the fields are read back.
            for (const char* keys : {"2", "3", "^10", "9"}) {
                OnUi([&] {
                    screen::Type(control, keys);
                    ::SendMessage(dialog.m_hWnd, UWM_PORT_RXBYTE, '\n', 0);
                    for (const int other : {IDC_BUTTON_USB_SET, IDC_EDIT_LOW_ALARM}) {
                        CWnd* w = dialog.GetDlgItem(other);
                        w->EnableWindow(!w->EnableWindow(FALSE));
                    }
                    dialog.UpdateData(TRUE);
                });
            }
            EXPECT_TRUE(WaitOnUi([&] {
                CString text;
                dialog.GetDlgItem(id)->GetWindowText(text);
                return text == "10923" && screen::Text(control) == "10923";
            })) << id;
        }
        // The edit's limit holds for typing: 5 digits for the server port.
        screen::Window port = Item(kMain, IDC_EDIT_SERVER_PORT);
        OnUi([&] { screen::Focus(port); });
        screen::Type(port, "1234567");
        EXPECT_TRUE(WaitOnUi([&] {
            CString text;
            dialog.GetDlgItem(IDC_EDIT_SERVER_PORT)->GetWindowText(text);
            return text == "12345" && screen::Text(port) == "12345";
        }));
    });
}

TEST(Win32Dialog, KeysAndTheCloseBoxEndTheDialogAsTheFrameworkSays) {
    const struct {
        int focus;
        const char* keys;  // nullptr: the close box
        INT_PTR result;
        const char* box;  // shown, the dialog staying open until the script ends
    } cases[] = {
        {IDC_EDIT_HIGH_ALARM, "\n", IDOK, nullptr},
        {IDC_EDIT_LOW_ALARM, "\x1b", IDCANCEL, nullptr},
        {IDC_EDIT_LOW_ALARM, nullptr, IDCANCEL, nullptr},
        // Enter on a focused push button presses it.
        {IDC_BUTTON_SENSOR_INITIAL, "\n", IDCANCEL, "Please intial the Serial COM firstly"},
    };
    for (const auto& c : cases) {
        CKaldoSensorSettingDlg dialog;
        const INT_PTR result = RunWithScript(dialog, [&] {
            screen::Window control = Item(kMain, c.focus);
            OnUi([&] { screen::Focus(control); });
            EXPECT_TRUE(WaitOnUi([&] { return dialog.GetDlgItem(c.focus)->m_hWnd != nullptr; }));
            if (c.keys != nullptr) {
                screen::Type(control, c.keys);
            } else {
                screen::CloseBox(screen::Dialog(kMain));
            }
            EXPECT_TRUE(c.box != nullptr ? Acknowledge(c.box, "Kaldo Sensor Setting")
                                         : WaitUntilEnded());
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
        screen::Click(Item(kMain, IDC_BUTTON_SENSOR_SET));
        ASSERT_TRUE(WaitOnUi([] { return !screen::Boxes().empty(); }));
        EXPECT_FALSE(screen::Enabled(screen::Dialog(kMain)));
        EXPECT_TRUE(Acknowledge("Please intial the Serial COM firstly"));
        EXPECT_TRUE(WaitOnUi([] { return screen::Enabled(screen::Dialog(kMain)); }));
    });
}

TEST(Win32Dialog, TimersRunWhileWindowsMovesTheWindowInItsOwnLoop) {
    ProbeProgressDialog dialog;
    RunWithScript(dialog, [&] {
        screen::Window window = screen::Dialog("");
        ASSERT_NE(window, nullptr);
        screen::StartMove(window);
        // The ticks go on while the move loop holds the thread, and a byte sent from another
        // thread is taken.
        const int ticks = dialog.ticks.load();
        const auto deadline = std::chrono::steady_clock::now() + kPatience;
        while (dialog.ticks.load() < ticks + 5 && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(2ms);
        }
        EXPECT_GE(dialog.ticks.load(), ticks + 5);
        EXPECT_EQ(::SendMessage(dialog.m_hWnd, WM_NULL, 0, 0), 0);
        screen::EndMove(window);
    });
}

}  // namespace
}  // namespace win32_test
