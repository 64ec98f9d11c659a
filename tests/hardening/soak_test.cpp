// Many read-and-set cycles in a row against the simulated sensor, as a technician configuring a
// batch of sensors would: every one must succeed, the sensor must take every new high alarm, and
// memory must not grow with the number of cycles. KALDO_SOAK_CYCLES sets the count.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cstdlib>
#include <string>

#include "tests/support/tool_harness.h"

namespace {

using namespace std::chrono_literals;

long PeakResidentKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

TEST(SoakTest, ReadAndSetCyclesAllSucceedAndTheSensorTakesEveryHighAlarm) {
    ToolHarness h;
    auto& sensor = h.AddSensor(3);
    h.Start();
    h.OpenPort();
    const char* value = std::getenv("KALDO_SOAK_CYCLES");
    const long cycles = value != nullptr ? std::atol(value) : 1000;
    long warmedUpKb = PeakResidentKb();  // again once allocator pools and buffers are in use
    for (long cycle = 0; cycle < cycles; ++cycle) {
        SCOPED_TRACE(cycle);
        h.Click(IDC_BUTTON_SENSOR_INITIAL);
        ASSERT_TRUE(h.time.Advance(300ms));
        h.ExpectBox("The Parameters have been Display correctly\r\n");
        // A person's pause: the answer to the extra request that follows a read is dropped by
        // the next reply tick, which must come before the set.
        ASSERT_TRUE(h.time.Advance(200ms));

        const int highAlarm = 1000 + static_cast<int>(cycle % 50000);
        h.agent.Type(ToolHarness::kMain, IDC_EDIT_HIGH_ALARM, std::to_string(highAlarm));
        h.Click(IDC_BUTTON_SENSOR_SET);
        ASSERT_TRUE(h.time.Advance(250ms));
        h.ExpectBox("The Parameters have been set correctly\r\n");
        ASSERT_EQ(sensor.Settings().highAlarm, highAlarm);
        ASSERT_FALSE(h.agent.OpenMessageBox().has_value());
        ASSERT_TRUE(h.time.Advance(20ms));
        h.presenter.ForgetClosedBoxes();
        warmedUpKb = cycle == 100 ? PeakResidentKb() : warmedUpKb;
    }
#ifndef KALDO_SANITIZED
    EXPECT_LE(PeakResidentKb(), warmedUpKb + 16 * 1024) << "the peak grew";
#endif
    // Two commands a cycle, plus the extra request after every read.
    EXPECT_EQ(h.dlg.GetExchange().Sequence(), 3 * cycles);
    EXPECT_EQ(h.agent.Control(ToolHarness::kMain, IDC_COMBO_INTERVAL)->items.size(), 7u);
}

}  // namespace
