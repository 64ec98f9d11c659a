#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/com_names.h"

namespace {

using platform::ComPort;

TEST(ComNames, OnlyComWithANumberFromOneIsAPortName) {
    const std::pair<const char*, std::optional<int>> cases[] = {
        {"COM1", 1}, {"com7", 7},    {"COM256", 256}, {"COM0", {}},        {"COM01", {}},
        {"COM", {}}, {"COM257", {}}, {"COM1x", {}},   {"\\\\.\\COM1", {}}, {"LPT1", {}},
    };
    for (const auto& [name, number] : cases) {
        EXPECT_EQ(platform::ParseComName(name), number) << name;
    }
    // CreateFileA also takes the device name, and only that prefix.
    const std::pair<const char*, std::optional<int>> devices[] = {
        {"\\\\.\\COM10", 10}, {"COM10", 10}, {"\\\\?\\COM1", {}}, {"\\\\.\\COM0", {}}};
    for (const auto& [name, number] : devices) {
        EXPECT_EQ(platform::ParseDeviceName(name), number) << name;
    }
}

TEST(ComNames, RealDevicesAreOrderedThenTakeTheNumbersNoLinkTakes) {
    EXPECT_EQ(
        platform::OrderSerialDevices({"ttyS10", "ttyUSB10", "ttyACM0", "tty0", "ttyUSB2", "ttyS2",
                                      "console", "ttyUSBx", "ttyS0", "ptmx"}),
        (std::vector<std::string>{"ttyUSB2", "ttyUSB10", "ttyACM0", "ttyS0", "ttyS2", "ttyS10"}));
    EXPECT_EQ(platform::AssignComNumbers({1, 3}, {"/dev/a", "/dev/b", "/dev/c"}),
              (std::vector<ComPort>{{2, "/dev/a"}, {4, "/dev/b"}, {5, "/dev/c"}}));
}

}  // namespace
