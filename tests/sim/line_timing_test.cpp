#include <gtest/gtest.h>

#include "tools/sensor-sim/command_assembler.h"
#include "tools/sensor-sim/output_schedule.h"

namespace sensor_sim {
namespace {

using namespace std::chrono_literals;

const TimePoint T0 = TimePoint(100s);

TEST(CommandAssembler, BytesEndAsACommandWhenTheLineFallsQuiet) {
    CommandAssembler assembler;
    EXPECT_FALSE(assembler.Deadline());
    assembler.Feed("10", T0);
    assembler.Feed("0000", T0 + 4ms);  // a pause shorter than the gap joins the bytes
    EXPECT_EQ(assembler.Deadline(), T0 + 4ms + kCommandGap);
    EXPECT_FALSE(assembler.TakeComplete(T0 + 4ms + kCommandGap - 1ns));

    auto burst = assembler.TakeComplete(T0 + 4ms + kCommandGap);
    ASSERT_TRUE(burst);
    EXPECT_EQ(burst->bytes, "100000");
    EXPECT_EQ(burst->firstByteAt, T0);
    EXPECT_FALSE(burst->overflowed);
    EXPECT_FALSE(assembler.TakeComplete(T0 + 1s));

    assembler.Feed("12", T0 + 2s);
    burst = assembler.TakeComplete(T0 + 3s);
    ASSERT_TRUE(burst);
    EXPECT_EQ(burst->bytes, "12");
}

TEST(CommandAssembler, AnEndlessBurstKeepsOnlyItsBeginning) {
    CommandAssembler assembler;
    for (int i = 0; i < 100; ++i) {
        assembler.Feed(std::string(100, 'x'), T0);
    }
    const auto burst = assembler.TakeComplete(T0 + kCommandGap);
    ASSERT_TRUE(burst);
    EXPECT_EQ(burst->bytes.size(), kMaxCommandBytes);
    EXPECT_TRUE(burst->overflowed);
}

// Cumulative bytes a 115200-baud line has carried `elapsed` after it started.
std::size_t LineBytes(Duration elapsed) {
    return static_cast<std::size_t>(std::chrono::nanoseconds(elapsed).count() * 11520 /
                                    1'000'000'000);
}

TEST(OutputSchedule, PacedBytesFallDueAtLineSpeed) {
    OutputSchedule schedule;
    const std::string answer(117, 'a');
    ASSERT_TRUE(schedule.Queue(Segment{answer, T0, true, {}, false}));
    EXPECT_TRUE(schedule.Due(T0).empty());
    EXPECT_EQ(schedule.NextDue(), T0 + 86806ns);  // ten bits at 115200 baud, rounded up

    std::string sent;
    for (auto t = T0 + 1ms; !schedule.Empty(); t += 1ms) {
        const auto due = schedule.Due(t);
        sent += due;
        EXPECT_EQ(sent.size(), std::min(answer.size(), LineBytes(t - T0)));
        schedule.Consume(due.size());
        EXPECT_TRUE(schedule.Due(t).empty());
        ASSERT_LT(t, T0 + 20ms);
    }
    EXPECT_EQ(sent, answer);
}

TEST(OutputSchedule, SegmentsFollowEachOtherWithTheirPauses) {
    OutputSchedule schedule;
    ASSERT_TRUE(schedule.Queue(Segment{"first", T0, false, {}, false}));
    ASSERT_TRUE(schedule.Queue(Segment{"second", T0, false, 50ms, true}));
    EXPECT_TRUE(schedule.Due(T0 - 1ms).empty());
    EXPECT_EQ(schedule.Due(T0), "first");
    EXPECT_FALSE(schedule.Consume(5));
    EXPECT_EQ(schedule.NextDue(), T0 + 50ms);
    EXPECT_TRUE(schedule.Due(T0 + 49ms).empty());
    EXPECT_EQ(schedule.Due(T0 + 50ms), "second");
    EXPECT_FALSE(schedule.Consume(2));  // a hang-up waits for the segment's last byte
    EXPECT_EQ(schedule.Due(T0 + 50ms), "cond");
    EXPECT_TRUE(schedule.Consume(4));
    EXPECT_TRUE(schedule.Empty());

    // A paced segment holds the line: the next one starts after its last byte.
    schedule.Clear();
    ASSERT_TRUE(schedule.Queue(Segment{std::string(1152, 'p'), T0, true, {}, false}));
    ASSERT_TRUE(schedule.Queue(Segment{"u", T0, false, {}, false}));
    schedule.Consume(schedule.Due(T0 + 100ms).size());
    EXPECT_EQ(schedule.NextDue(), T0 + 100ms);

    // An empty segment that cuts the line is due at its start.
    schedule.Clear();
    ASSERT_TRUE(schedule.Queue(Segment{"", T0, true, {}, true}));
    EXPECT_EQ(schedule.NextDue(), T0);
    EXPECT_TRUE(schedule.Consume(0));
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
