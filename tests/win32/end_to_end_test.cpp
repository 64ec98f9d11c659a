// The tool on the system's own controls (Wine, real clock) against a simulated sensor that the
// run links as a COM port of the Wine prefix (KALDO_TEST_COM names its number): open the port,
// read the sensor, change the high alarm and write it back.
#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/win32/win32_driver.h"
#include "ui/main_dialog.h"

namespace win32_test {
namespace {

constexpr char kMain[] = "`Kaldo Sensor Setting";

TEST(Win32EndToEnd, ReadChangeAndWriteASimulatedSensor) {
    const char* com = std::getenv("KALDO_TEST_COM");
    if (com == nullptr) {
        GTEST_SKIP() << "KALDO_TEST_COM names no port with a simulated sensor";
    }
    CWinApp app;
    CKaldoSensorSettingDlg dialog;
    app.m_pMainWnd = &dialog;
    RunWithScript(dialog, [&] {
        screen::Window port = Item(kMain, IDC_COMBO_COM_PORT);
        const std::string name = std::string("COM") + com;
        ASSERT_TRUE(WaitOnUi([&] { return screen::Text(port) == name; })) << screen::Text(port);
        screen::Click(Item(kMain, IDC_BUTTON_USB_SET));
        ASSERT_TRUE(Acknowledge("Intial Serial Port sucessful"));

        screen::Click(Item(kMain, IDC_BUTTON_SENSOR_INITIAL));
        ASSERT_TRUE(Acknowledge("The Parameters have been Display correctly\r\n"));
        screen::Window high = Item(kMain, IDC_EDIT_HIGH_ALARM);
        EXPECT_EQ(screen::Text(high), "1200");

        OnUi([&] { screen::Focus(high); });
        screen::Type(high, "*1500");
        EXPECT_TRUE(WaitOnUi([&] { return screen::Text(high) == "1500"; }));
        screen::Click(Item(kMain, IDC_BUTTON_SENSOR_SET));
        // The progress window shows meanwhile, its bar in the tool's green.
        EXPECT_NE(Item("", IDC_PROGRESS_BAR), nullptr);
        ASSERT_TRUE(Acknowledge("The Parameters have been set correctly\r\n"));

        screen::Click(Item(kMain, IDC_BUTTON_SENSOR_INITIAL));
        ASSERT_TRUE(Acknowledge("The Parameters have been Display correctly\r\n"));
        EXPECT_EQ(screen::Text(high), "1500");
    });
}

}  // namespace
}  // namespace win32_test
