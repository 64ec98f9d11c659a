// The tool on real widgets (Qt's offscreen platform, real clock) against a simulated sensor:
// open the port, read the sensor, change the high alarm and write it back.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QString>
#include <QTest>

#include <cstdlib>
#include <filesystem>
#include <thread>

#include "tests/qt/gui_driver.h"
#include "tools/sensor-sim/simulated_sensor.h"
#include "ui/main_dialog.h"

namespace qt_test {
namespace {

constexpr UINT kMain = IDD_KALDOSENSORSETTING_DIALOG;

QWidget* Control(int id) {
    return Presenter().ControlWidget(kMain, id);
}

// The text of the message box on screen, if one is.
QString ShownBox() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* box = qobject_cast<QMessageBox*>(widget); box != nullptr && box->isVisible()) {
            return box->text();
        }
    }
    return {};
}

// Waits for a box saying text and presses its OK button.
bool Acknowledge(const QString& text) {
    if (!WaitOnGui([&] { return ShownBox() == text; })) {
        ADD_FAILURE() << "no box saying " << text.toStdString()
                      << "; shown: " << OnGui(ShownBox).toStdString();
        return false;
    }
    OnGui([] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* box = qobject_cast<QMessageBox*>(widget);
                box != nullptr && box->isVisible()) {
                QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
            }
        }
    });
    return true;
}

void Click(int id) {
    OnGui([id] { QTest::mouseClick(Control(id), Qt::LeftButton); });
}

TEST(QtEndToEnd, ReadChangeAndWriteTheHighAlarmOfASimulatedSensor) {
    char pattern[] = "/tmp/kaldo-qt-ports-XXXXXX";
    const std::string folder = mkdtemp(pattern);
    setenv("KALDO_SENSOR_PORTS", folder.c_str(), 1);
    sensor_sim::SimulatedSensor sensor;
    sensor_sim::SensorOptions options;
    options.paced = true;  // as on the wire, 115200 baud
    ASSERT_EQ(sensor.Start(3, options), 0);

    CWinApp app;
    CKaldoSensorSettingDlg dialog;
    app.m_pMainWnd = &dialog;
    std::thread script([&] {
        ASSERT_TRUE(WaitOnGui([] {
            return Control(IDC_BUTTON_USB_SET) != nullptr &&
                   Control(IDC_BUTTON_USB_SET)->isVisible();
        }));
        Click(IDC_BUTTON_USB_SET);
        Acknowledge("Intial Serial Port sucessful");

        Click(IDC_BUTTON_SENSOR_INITIAL);
        Acknowledge("The Parameters have been Display correctly\r\n");
        EXPECT_EQ(
            OnGui([] { return qobject_cast<QLineEdit*>(Control(IDC_EDIT_HIGH_ALARM))->text(); }),
            "1200");
        EXPECT_EQ(OnGui([] { return qobject_cast<QLineEdit*>(Control(IDC_EDIT_ADDRESS))->text(); }),
                  "7");

        std::this_thread::sleep_for(50ms);  // the sensor tells commands apart by a quiet line
        OnGui([] {
            auto* edit = qobject_cast<QLineEdit*>(Control(IDC_EDIT_HIGH_ALARM));
            edit->selectAll();
            QTest::keyClicks(edit, "1500");
        });
        Click(IDC_BUTTON_SENSOR_SET);
        Acknowledge("The Parameters have been set correctly\r\n");
        EXPECT_EQ(sensor.Settings().highAlarm, 1500);

        // For a person to look at: the dialog after a read, in both modes.
        const QString dir = QStringLiteral(KALDO_SCREENSHOT_DIR);
        OnGui([&] {
            EXPECT_TRUE(Presenter().SaveScreenshot(kMain, dir + "/main_dialog_lorawan_read.png"));
        });
        Click(IDC_RADIO_NB);
        EXPECT_TRUE(WaitOnGui([] { return Control(IDC_EDIT_SERVER_IP)->isEnabled(); }));
        OnGui([&] { EXPECT_TRUE(Presenter().SaveScreenshot(kMain, dir + "/main_dialog_nb.png")); });
        OnGui([] { QTest::keyClick(Presenter().DialogWidget(kMain), Qt::Key_Escape); });
    });
    dialog.DoModal();
    script.join();
    sensor.Stop();
    unsetenv("KALDO_SENSOR_PORTS");
    std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace qt_test
