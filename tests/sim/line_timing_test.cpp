#include <gtest/gtest.h>

#include "tools/sensor-sim/command_assembler.h"
#include "tools/sensor-sim/output_schedule.h"

namespace sensor_sim {
namespace {

using namespace std::chrono_literals;

const TimePoint T0 = TimePoint(100s);

TEST(CommandAssembler, BytesEndAsACommandWhenTheLineFallsQuiet) {
    CommandAssembler assembler;
    assembler.Feed("10", T0);
    assembler.Feed("0000", T0 + 4ms);  // a pause shorter than the gap joins the bytes
    EXPECT_FALSE(assembler.TakeComplete(T0 + 4ms + kCommandGap - 1ns));
    const auto burst = assembler.TakeComplete(T0 + 4ms + kCommandGap);
    ASSERT_TRUE(burst);
    EXPECT_EQ(burst->bytes, "100000");
    EXPECT_EQ(burst->firstByteAt, T0);
    EXPECT_FALSE(assembler.TakeComplete(T0 + 1s));
}

TEST(OutputSchedule, RefusesMoreThanItMayHold) {
    OutputSchedule schedule;
    ASSERT_TRUE(
        schedule.Queue(Segment{std::string(kMaxQueuedBytes - 1, 'x'), T0, false, {}, false}));
    EXPECT_FALSE(schedule.Queue(Segment{"xy", T0, false, {}, false}));
    EXPECT_TRUE(schedule.Queue(Segment{"x", T0, false, {}, false}));
}

}  // namespace
}  // namespace sensor_sim
