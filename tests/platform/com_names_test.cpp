#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "comm_test_support.h"
#include "platform/com_names.h"
#include "platform/port_folder.h"

namespace {

using kaldo_test::PortTest;
using platform::ComPort;

TEST(ComNames, OnlyComWithANumberFromOneIsAPortName) {
    const struct {
        const char* name;
        std::optional<int> number;
    } cases[] = {
        {"COM1", 1},  {"COM10", 10},      {"com7", 7},         {"Com256", 256}, {"COM0", {}},
        {"COM", {}},  {"COM01", {}},      {"COM257", {}},      {"COM1x", {}},   {"COM-1", {}},
        {"LPT1", {}}, {"COM1000000", {}}, {"\\\\.\\COM1", {}}, {"", {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(platform::ParseComName(c.name), c.number) << c.name;
    }
}

TEST(ComNames, SerialDevicesAreOrderedByKindThenKernelNumber) {
    EXPECT_EQ(
        platform::OrderSerialDevices({"ttyS10", "ttyUSB10", "ttyACM0", "tty0", "ttyUSB2", "ttyS2",
                                      "console", "ttyUSBx", "ttyS0", "ptmx"}),
        (std::vector<std::string>{"ttyUSB2", "ttyUSB10", "ttyACM0", "ttyS0", "ttyS2", "ttyS10"}));
}

TEST(ComNames, DevicesTakeTheNumbersNoLinkTakes) {
    EXPECT_EQ(platform::AssignComNumbers({1, 3}, {"/dev/a", "/dev/b", "/dev/c"}),
              (std::vector<ComPort>{{2, "/dev/a"}, {4, "/dev/b"}, {5, "/dev/c"}}));
    EXPECT_EQ(platform::AssignComNumbers({}, {"/dev/a"}), (std::vector<ComPort>{{1, "/dev/a"}}));
}

TEST(PortFolder, ExplicitFolderThenRuntimeFolderThenTmp) {
    const char* savedRuntime = std::getenv("XDG_RUNTIME_DIR");
    const std::string runtime = savedRuntime ? savedRuntime : "";
    setenv("KALDO_SENSOR_PORTS", "/x/ports", 1);
    setenv("XDG_RUNTIME_DIR", "/run/user/7", 1);
    EXPECT_EQ(platform::PortFolder(), "/x/ports");
    unsetenv("KALDO_SENSOR_PORTS");
    EXPECT_EQ(platform::PortFolder(), "/run/user/7/kaldo-sensor/ports");
    unsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(platform::PortFolder(), "/tmp/kaldo-sensor-" + std::to_string(getuid()) + "/ports");
    if (savedRuntime) {
        setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    }
}

TEST_F(PortTest, LinksInThePortFolderNameTheirPorts) {
    Link("/dev/null", 3);
    Link("/dev/null", 10);
    EXPECT_EQ(platform::ResolveComPort(3), folder_ + "/COM3");
    EXPECT_EQ(platform::ResolveComPort(10), folder_ + "/COM10");
    EXPECT_EQ(platform::ResolveComPort(200), std::nullopt);
    const auto ports = platform::ListComPorts();
    int links = 0;
    for (const auto& port : ports) {
        if (port.number == 3 || port.number == 10) {
            EXPECT_EQ(port.path, folder_ + "/COM" + std::to_string(port.number));
            ++links;
        } else {
            EXPECT_EQ(port.path.rfind("/dev/tty", 0), 0u) << port.path;
        }
    }
    EXPECT_EQ(links, 2);
}

}  // namespace
