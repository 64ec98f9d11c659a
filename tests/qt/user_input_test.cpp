// What the user does to the widgets reaches the framework, and keys end the dialog as Windows
// does.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>

#include "res/resource.h"
#include "tests/qt/gui_driver.h"

namespace qt_test {
namespace {

constexpr UINT kMain = IDD_KALDOSENSORSETTING_DIALOG;

QWidget* Control(int id) {
    return Presenter().ControlWidget(kMain, id);
}

TEST(QtUserInput, ClicksAndTypingReachTheFramework) {
    ProbeMainDialog dialog;
    RunWithScript(dialog, [&] {
        OnGui([] { QTest::mouseClick(Control(IDC_BUTTON_SENSOR_INITIAL), Qt::LeftButton); });
        EXPECT_TRUE(WaitOnGui([&] { return dialog.initialClicks.load() == 1; }));

        // Typing in the middle: mirroring the framework's text must not move the cursor.
        OnGui([] { QTest::keyClicks(Control(IDC_EDIT_HIGH_ALARM), "123"); });
        EXPECT_TRUE(WaitOnGui([&] { return FrameworkText(dialog, IDC_EDIT_HIGH_ALARM) == "123"; }));
        OnGui([] { qobject_cast<QLineEdit*>(Control(IDC_EDIT_HIGH_ALARM))->setCursorPosition(1); });
        for (const auto& [key, text] :
             {std::pair{Qt::Key_X, "1x23"}, std::pair{Qt::Key_Y, "1xy23"}}) {
            OnGui([key] { QTest::keyClick(Control(IDC_EDIT_HIGH_ALARM), key); });
            EXPECT_TRUE(
                WaitOnGui([&] { return FrameworkText(dialog, IDC_EDIT_HIGH_ALARM) == text; }));
        }

        // "NB Sensor" takes the LoRaWAN keys out of use and the server fields into it, and back.
        for (const int radio : {IDC_RADIO_NB, IDC_RADIO_LORAWAN}) {
            const bool nb = radio == IDC_RADIO_NB;
            OnGui([radio] { QTest::mouseClick(Control(radio), Qt::LeftButton); });
            EXPECT_TRUE(WaitOnGui([&] {
                return dialog.IsDlgButtonChecked(radio) &&
                       Control(IDC_EDIT_APP_EUI)->isEnabled() != nb &&
                       Control(IDC_EDIT_APP_KEY)->isEnabled() != nb &&
                       Control(IDC_EDIT_SERVER_IP)->isEnabled() == nb &&
                       Control(IDC_EDIT_SERVER_PORT)->isEnabled() == nb;
            })) << radio;
        }
    });
}

TEST(QtUserInput, KeysAndTheCloseBoxEndTheDialogAsTheFrameworkSays) {
    struct Case {
        const char* name;
        std::function<void()> act;
        INT_PTR result;
        bool pressesButton;  // "Sensor Initial"; the dialog stays open
    };
    const Case cases[] = {
        {"Enter in an edit is OK",
         [] { QTest::keyClick(Control(IDC_EDIT_HIGH_ALARM), Qt::Key_Return); }, IDOK, false},
        {"Esc cancels", [] { QTest::keyClick(Control(IDC_EDIT_LOW_ALARM), Qt::Key_Escape); },
         IDCANCEL, false},
        {"the close box cancels", [] { Control(IDC_EDIT_LOW_ALARM)->window()->close(); }, IDCANCEL,
         false},
        // The script's end cancels the dialog; the pressed button must not have ended it first.
        {"Enter on a focused push button presses it",
         [] {
             Control(IDC_BUTTON_SENSOR_INITIAL)->setFocus();
             QTest::keyClick(Control(IDC_BUTTON_SENSOR_INITIAL), Qt::Key_Return);
         },
         IDCANCEL, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ProbeMainDialog dialog;
        const INT_PTR result = RunWithScript(dialog, [&] {
            OnGui([&] { c.act(); });
            if (c.pressesButton) {
                EXPECT_TRUE(WaitOnGui([&] { return dialog.initialClicks.load() == 1; }));
            } else {
                EXPECT_TRUE(dialog.WaitUntilDestroyed());
            }
        });
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(Presenter().DialogWidget(kMain), nullptr);
    }
}

}  // namespace
}  // namespace qt_test
