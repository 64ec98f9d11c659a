// What the user does to the widgets reaches the framework as input, and what the program does
// to its controls shows without coming back as the user's doing.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "framework/window_table.h"
#include "res/resource.h"
#include "tests/qt/probe_dialogs.h"

namespace qt_test {
namespace {

constexpr UINT kMain = IDD_KALDOSENSORSETTING_DIALOG;

QWidget* Control(int id) {
    return Presenter().ControlWidget(kMain, id);
}

template <typename T>
T* Control(int id) {
    return qobject_cast<T*>(Presenter().ControlWidget(kMain, id));
}

TEST(QtUserInput, ClicksTypingAndPicksReachTheFramework) {
    ProbeMainDialog dialog;
    RunWithScript(dialog, [&] {
        // A push button's click reaches its message-map handler, and only once.
        OnGui([] { QTest::mouseClick(Control(IDC_BUTTON_SENSOR_INITIAL), Qt::LeftButton); });
        EXPECT_TRUE(WaitOnGui(
            [&] { return dialog.Notifications(IDC_BUTTON_SENSOR_INITIAL, BN_CLICKED) == 1; }));

        // Typing: the framework holds the whole text, one change notification per key.
        OnGui([] { QTest::keyClicks(Control(IDC_EDIT_HIGH_ALARM), "123"); });
        EXPECT_TRUE(WaitOnGui([&] { return FrameworkText(dialog, IDC_EDIT_HIGH_ALARM) == "123"; }));
        EXPECT_EQ(dialog.Notifications(IDC_EDIT_HIGH_ALARM, EN_CHANGE), 3);
        // Typing in the middle: showing the framework's text, the same as the widget's, must
        // not move the cursor away from where the user types.
        OnGui([] {
            Control<QLineEdit>(IDC_EDIT_HIGH_ALARM)->setCursorPosition(1);
            QTest::keyClick(Control(IDC_EDIT_HIGH_ALARM), Qt::Key_X);
        });
        EXPECT_TRUE(
            WaitOnGui([&] { return FrameworkText(dialog, IDC_EDIT_HIGH_ALARM) == "1x23"; }));
        OnGui([] { QTest::keyClick(Control(IDC_EDIT_HIGH_ALARM), Qt::Key_Y); });
        EXPECT_TRUE(
            WaitOnGui([&] { return FrameworkText(dialog, IDC_EDIT_HIGH_ALARM) == "1xy23"; }));

        // The radio button the user clicks is checked by the framework, whose handler then
        // switches which edits take input; clicking it again leaves it checked.
        for (int round = 0; round < 2; ++round) {
            OnGui([] { QTest::mouseClick(Control(IDC_RADIO_NB), Qt::LeftButton); });
            EXPECT_TRUE(WaitOnGui(
                [&] { return dialog.Notifications(IDC_RADIO_NB, BN_CLICKED) == round + 1; }));
            OnGui([&] {
                EXPECT_TRUE(dialog.IsDlgButtonChecked(IDC_RADIO_NB));
                EXPECT_TRUE(Control<QRadioButton>(IDC_RADIO_NB)->isChecked());
                EXPECT_FALSE(Control<QRadioButton>(IDC_RADIO_LORAWAN)->isChecked());
                EXPECT_TRUE(Control(IDC_EDIT_SERVER_IP)->isEnabled());
                EXPECT_FALSE(Control(IDC_EDIT_APP_EUI)->isEnabled());
            });
        }

        // The edit limit holds for typing.
        OnGui([] { QTest::keyClicks(Control(IDC_EDIT_SERVER_IP), "192.168.100.200:9"); });
        EXPECT_TRUE(WaitOnGui(
            [&] { return FrameworkText(dialog, IDC_EDIT_SERVER_IP) == "192.168.100.200"; }));
        OnGui([] { EXPECT_EQ(Control<QLineEdit>(IDC_EDIT_SERVER_IP)->text(), "192.168.100.200"); });

        // Picking from the drop-down list by keyboard.
        OnGui([] {
            Control(IDC_COMBO_INTERVAL)->setFocus();
            QTest::keyClick(Control(IDC_COMBO_INTERVAL), Qt::Key_Down);
        });
        EXPECT_TRUE(WaitOnGui(
            [&] { return dialog.Notifications(IDC_COMBO_INTERVAL, CBN_SELCHANGE) == 1; }));
        OnGui([&] {
            EXPECT_EQ(dialog.GetDlgItem(IDC_COMBO_INTERVAL)->SendMessage(CB_GETCURSEL), 3);
            EXPECT_EQ(Control<QComboBox>(IDC_COMBO_INTERVAL)->currentText(), "120");
        });

        // Typing into an editable combo box changes its text, not its list.
        OnGui([] {
            QLineEdit* line = Control<QComboBox>(IDC_COMBO_BAUDRATE)->lineEdit();
            line->selectAll();
            QTest::keyClicks(line, "57600");
        });
        EXPECT_TRUE(
            WaitOnGui([&] { return FrameworkText(dialog, IDC_COMBO_BAUDRATE) == "57600"; }));
        OnGui([&] {
            EXPECT_EQ(dialog.GetDlgItem(IDC_COMBO_BAUDRATE)->SendMessage(CB_GETCURSEL), CB_ERR);
            EXPECT_EQ(dialog.GetDlgItem(IDC_COMBO_BAUDRATE)->SendMessage(CB_GETCOUNT), 3);
            EXPECT_EQ(Control<QComboBox>(IDC_COMBO_BAUDRATE)->count(), 3);
            EXPECT_EQ(Control<QComboBox>(IDC_COMBO_BAUDRATE)->currentText(), "57600");
        });
        EXPECT_EQ(dialog.Notifications(IDC_COMBO_BAUDRATE, CBN_EDITCHANGE), 5);

        // The program writes into controls and moves the focus: shown, never echoed.
        OnGui([] { QTest::mouseClick(Control(IDC_BUTTON_SENSOR_SET), Qt::LeftButton); });
        EXPECT_TRUE(
            WaitOnGui([] { return Control<QLineEdit>(IDC_EDIT_LOW_ALARM)->text() == "77"; }));
        OnGui([] {
            EXPECT_EQ(Control<QLineEdit>(IDC_EDIT_LOW_ALARM)->cursorPosition(), 0);
            EXPECT_EQ(Control<QComboBox>(IDC_COMBO_COM_PORT)->currentText(), "COM7");
            EXPECT_EQ(Control<QComboBox>(IDC_COMBO_COM_PORT)->count(), 3);
            EXPECT_EQ(Control(IDC_EDIT_HIGH_ALARM)->window()->focusWidget(),
                      Control(IDC_EDIT_HIGH_ALARM));
        });
        // Input is carried out in order: once a later click has arrived, an echo would have too.
        OnGui([] { QTest::mouseClick(Control(IDC_BUTTON_SENSOR_INITIAL), Qt::LeftButton); });
        EXPECT_TRUE(WaitOnGui(
            [&] { return dialog.Notifications(IDC_BUTTON_SENSOR_INITIAL, BN_CLICKED) == 2; }));
        EXPECT_EQ(dialog.Notifications(IDC_EDIT_LOW_ALARM, EN_CHANGE), 0);
        EXPECT_EQ(dialog.Notifications(IDC_COMBO_COM_PORT, CBN_SELCHANGE), 0);
        EXPECT_EQ(dialog.Notifications(IDC_COMBO_COM_PORT, CBN_EDITCHANGE), 0);
        EXPECT_EQ(dialog.Notifications(IDC_EDIT_HIGH_ALARM, EN_CHANGE), 5);
    });
}

TEST(QtUserInput, FocusMovedByTheUserIsTheFrameworksFocus) {
    ProbeMainDialog dialog;
    RunWithScript(dialog, [&] {
        OnGui([] { QTest::keyClick(Control(IDC_RADIO_LORAWAN)->window(), Qt::Key_Tab); });
        // From the first tab stop (the LoRaWAN radio button) Tab moves to "Sensor Initial".
        EXPECT_TRUE(WaitOnGui([&] {
            CWnd* button = dialog.GetDlgItem(IDC_BUTTON_SENSOR_INITIAL);
            return Control(IDC_BUTTON_SENSOR_INITIAL)->hasFocus() &&
                   framework::FindWindowData(button->m_hWnd)->focused;
        }));
    });
}

// How each way of ending the dialog by keyboard or window ends it.
TEST(QtUserInput, KeysAndTheCloseBoxEndTheDialogAsTheFrameworkSays) {
    struct Case {
        const char* name;
        std::function<void()> act;
        INT_PTR result;
        int buttonClicks;  // of "Sensor Initial"; a case that presses it leaves the dialog open
    };
    const Case cases[] = {
        {"Enter in an edit is OK",
         [] { QTest::keyClick(Control(IDC_EDIT_HIGH_ALARM), Qt::Key_Return); }, IDOK, 0},
        {"Enter in a closed combo box is OK",
         [] {
             Control(IDC_COMBO_BAUDRATE)->setFocus();
             QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter);
         },
         IDOK, 0},
        {"Esc cancels", [] { QTest::keyClick(Control(IDC_EDIT_LOW_ALARM), Qt::Key_Escape); },
         IDCANCEL, 0},
        {"the close box cancels", [] { Control(IDC_EDIT_LOW_ALARM)->window()->close(); }, IDCANCEL,
         0},
        // The script's end cancels the dialog; a pressed button must not have ended it first.
        {"Enter on a focused push button presses it",
         [] {
             Control(IDC_BUTTON_SENSOR_INITIAL)->setFocus();
             QTest::keyClick(Control(IDC_BUTTON_SENSOR_INITIAL), Qt::Key_Return);
         },
         IDCANCEL, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ProbeMainDialog dialog;
        const INT_PTR result = RunWithScript(dialog, [&] {
            OnGui([&] { c.act(); });
            if (c.buttonClicks > 0) {
                EXPECT_TRUE(WaitOnGui([&] {
                    return dialog.Notifications(IDC_BUTTON_SENSOR_INITIAL, BN_CLICKED) ==
                           c.buttonClicks;
                }));
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
