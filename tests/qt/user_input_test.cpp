// The tool's main dialog on real widgets: what the user types stays as typed however busy the
// framework is meanwhile, and keys end the dialog as Windows does.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

#include "framework/dialog_template.h"
#include "tests/qt/gui_driver.h"
#include "ui/main_dialog.h"

namespace qt_test {
namespace {

QWidget* Control(int id) {
    return Presenter().ControlWidget(IDD_KALDOSENSORSETTING_DIALOG, id);
}

// Types keys ('^': Home first) into what has the focus while the framework works on the dialog
// (EnableWindow on others, a byte arrives, UpdateData(TRUE)); then its loop takes them in.
void TypeWhileBusy(CKaldoSensorSettingDlg& dialog, int typedInto, bool enabling, const char* keys) {
    for (const ControlTemplate& c : FindDialogTemplate(dialog.IDD)->controls) {
        if (enabling && c.id != typedInto && c.id != IDC_STATIC) {
            CWnd* other = dialog.GetDlgItem(c.id);
            other->EnableWindow(!other->EnableWindow(FALSE));
        }
    }
    ::SendMessage(dialog.m_hWnd, UWM_PORT_RXBYTE, '\n', 0);
    dialog.UpdateData(TRUE);
    if (*keys == '^') {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Home);
        ++keys;
    }
    QTest::keyClicks(QApplication::focusWidget(), keys);
    for (MSG msg; ::PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE);) {
        ::DispatchMessage(&msg);
    }
}

TEST(QtUserInput, KeysTypedWhileTheFrameworkChangesTheDialogEndAsTyped) {
    CKaldoSensorSettingDlg dialog;
    RunWithScript(dialog, [&] {
        for (const int id : {IDC_EDIT_HIGH_ALARM, IDC_EDIT_LOW_ALARM, IDC_EDIT_APP_EUI,
                             IDC_EDIT_APP_KEY, IDC_COMBO_COM_PORT, IDC_COMBO_BAUDRATE}) {
            OnGui([&] {
                Control(id)->setFocus(Qt::MouseFocusReason);  // as a click, without a list
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
                for (const char* keys : {"2", "3", "^10", "9"}) {
                    TypeWhileBusy(dialog, id, *keys == '2', keys);
                }
            });
            EXPECT_TRUE(WaitOnGui([&] {
                const char* shown = Control(id)->inherits("QComboBox") ? "currentText" : "text";
                CString text;
                dialog.GetDlgItem(id)->GetWindowText(text);
                return text == "10923" && Control(id)->property(shown) == "10923";
            })) << id;
        }
        // Picked by the program, the first entry of an editable box is the list's pick too.
        OnGui([&] { dialog.m_cbBaudRate.SetCurSel(0); });
        EXPECT_TRUE(WaitOnGui(
            [] { return Control(IDC_COMBO_BAUDRATE)->property("currentIndex").toInt() == 0; }));
        const QString typed(APP_EUI_LIMIT + 1, 'B');
        OnGui([&] {
            Control(IDC_EDIT_APP_EUI)->setFocus(Qt::MouseFocusReason);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(QApplication::focusWidget(), typed);
        });
        CString shown;
        EXPECT_TRUE(WaitOnGui([&] {
            dialog.GetDlgItem(IDC_EDIT_APP_EUI)->GetWindowText(shown);
            return shown == typed.left(APP_EUI_LIMIT).toStdString().c_str();
        }));
    });
}

TEST(QtUserInput, KeysAndTheCloseBoxEndTheDialogAsTheFrameworkSays) {
    const struct {
        std::function<void()> act;
        INT_PTR result;
        const char* box;  // shown, the dialog staying open until the script ends
    } cases[] = {
        {[] { QTest::keyClick(Control(IDC_EDIT_HIGH_ALARM), Qt::Key_Return); }, IDOK, nullptr},
        {[] { QTest::keyClick(Control(IDC_EDIT_LOW_ALARM), Qt::Key_Escape); }, IDCANCEL, nullptr},
        {[] { Control(IDC_EDIT_LOW_ALARM)->window()->close(); }, IDCANCEL, nullptr},
        {[] {  // Enter on a focused push button presses it
             Control(IDC_BUTTON_SENSOR_INITIAL)->setFocus();
             QTest::keyClick(Control(IDC_BUTTON_SENSOR_INITIAL), Qt::Key_Return);
         },
         IDCANCEL, "Please intial the Serial COM firstly"},
    };
    for (const auto& c : cases) {
        CKaldoSensorSettingDlg dialog;
        const INT_PTR result = RunWithScript(dialog, [&] {
            OnGui(c.act);
            EXPECT_TRUE(c.box != nullptr ? Acknowledge(c.box) : WaitUntilEnded());
        });
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(Presenter().DialogWidget(IDD_KALDOSENSORSETTING_DIALOG), nullptr);
    }
}

}  // namespace
}  // namespace qt_test
