// Many read-and-set cycles in a row against the simulated sensor, as a technician configuring a
// batch of sensors would: every one must succeed, the sensor must take every new high alarm, and
// memory must not grow with the number of cycles. KALDO_SOAK_CYCLES sets the count.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "tests/hardening/process_memory.h"
#include "tests/support/tool_harness.h"

namespace {

using namespace std::chrono_literals;
constexpr UINT kMain = ToolHarness::kMain;
constexpr long kWarmUpCycles = 100;  // allocator pools and first-use buffers
constexpr std::size_t kMaxResidentGrowth = std::size_t{16} << 20;

long Cycles() {
    const char* value = std::getenv("KALDO_SOAK_CYCLES");
    return value != nullptr ? std::atol(value) : (hardening::kSanitized ? 200 : 1000);
}

TEST(SoakTest, ReadAndSetCyclesAllSucceedAndTheSensorTakesEveryHighAlarm) {
    ToolHarness h;
    auto& sensor = h.AddSensor(3);
    h.Start();
    h.OpenPort();
    auto& presenter = static_cast<HeadlessPresenter&>(GetPresenter());

    const long cycles = Cycles();
    std::size_t baseline = 0;
    std::size_t peak = 0;
    for (long cycle = 0; cycle < cycles; ++cycle) {
        h.Click(IDC_BUTTON_SENSOR_INITIAL);
        ASSERT_TRUE(h.time.Advance(300ms));
        h.ExpectBox("The Parameters have been Display correctly\r\n");
        // A person's pause: the answer to the extra request that follows a read is dropped by
        // the next reply tick, which must come before the set.
        ASSERT_TRUE(h.time.Advance(200ms));

        const int highAlarm = 1000 + static_cast<int>(cycle % 50000);
        h.agent.Type(kMain, IDC_EDIT_HIGH_ALARM, std::to_string(highAlarm));
        h.Click(IDC_BUTTON_SENSOR_SET);
        ASSERT_TRUE(h.time.Advance(250ms));
        h.ExpectBox("The Parameters have been set correctly\r\n");
        ASSERT_EQ(sensor.Settings().highAlarm, highAlarm) << "cycle " << cycle;
        ASSERT_FALSE(h.agent.OpenMessageBox().has_value()) << "cycle " << cycle;
        ASSERT_TRUE(h.time.Advance(20ms));

        presenter.ForgetClosedBoxes();
        const std::size_t resident = hardening::ResidentBytes();
        peak = std::max(peak, resident);
        if (cycle == kWarmUpCycles) {
            baseline = resident;
        }
    }
    if (hardening::kResidentSizeMeaningful && baseline != 0) {
        EXPECT_LE(peak, baseline + kMaxResidentGrowth);
    }
    // Two commands a cycle, plus the extra request after every read.
    EXPECT_EQ(h.dlg.m_nSequence, 3 * cycles);
    EXPECT_EQ(h.agent.Control(kMain, IDC_COMBO_INTERVAL)->items.size(), 7u);
}

}  // namespace
