#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/port_identity.h"
#include "tests/support/comm_test_support.h"

namespace {

namespace fs = std::filesystem;
using kaldo_test::PortTest;

// A USB adapter and an on-board UART as sysfs and udev lay them out, in the test's folder.
TEST_F(PortTest, IdentitySaysWhatTheDeviceIsFromSysfsAndTheOtherEndOfAPseudoTerminal) {
    const fs::path root = folder_;
    const fs::path usb = root / "sys/devices/pci0000:00/usb1/1-2";
    fs::create_directories(usb / "1-2:1.0/ttyUSB0");
    fs::create_directories(root / "sys/class/tty/ttyUSB0");
    fs::create_directories(root / "sys/class/tty/ttyS0");
    fs::create_directories(root / "dev/serial/by-id");
    for (const auto& [file, text] : {std::pair{"idVendor", "0403"},
                                     {"idProduct", "6001"},
                                     {"manufacturer", "FTDI"},
                                     {"product", "FT232R USB UART"},
                                     {"serial", "A50285BI"}}) {
        std::ofstream(usb / file) << text << "\n";
    }
    fs::create_directory_symlink("../../../devices/pci0000:00/usb1/1-2/1-2:1.0/ttyUSB0",
                                 root / "sys/class/tty/ttyUSB0/device");
    fs::create_symlink("../../ttyUSB0", root / "dev/serial/by-id/usb-FTDI_FT232R-if00-port0");

    EXPECT_EQ(platform::DescribePortIdentity(platform::IdentifyDevice("/dev/ttyUSB0", root)),
              "/dev/ttyUSB0, USB serial adapter 0403:6001 FTDI FT232R USB UART, serial A50285BI, "
              "/dev/serial/by-id/usb-FTDI_FT232R-if00-port0");
    EXPECT_EQ(platform::DescribePortIdentity(platform::IdentifyDevice("/dev/ttyS0", root)),
              "/dev/ttyS0, serial port");

    platform::PseudoTerminal line;
    ASSERT_EQ(line.Open(3), 0);
    const auto self = platform::IdentifyDevice(line.SlavePath());
    EXPECT_EQ(platform::DescribePortIdentity(self), line.SlavePath() + ", pseudo-terminal (" +
                                                        self.servedBy + ", pid " +
                                                        std::to_string(getpid()) + ")");
    EXPECT_EQ(self.servedBy, fs::read_symlink("/proc/self/exe").filename());
}

}  // namespace
