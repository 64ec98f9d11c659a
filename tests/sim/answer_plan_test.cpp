#include "tools/sensor-sim/answer_plan.h"

#include <gtest/gtest.h>

namespace sensor_sim {
namespace {

using namespace std::chrono_literals;

const TimePoint T0 = TimePoint(100s);
const std::string kEcho = "110001,0001,003C,270F,0000,270F,0000,868500000,A,B,C\r\n";

std::string Joined(const std::vector<Segment>& segments) {
    std::string bytes;
    for (const Segment& s : segments) {
        bytes += s.bytes;
    }
    return bytes;
}

TEST(AnswerPlan, EachMisbehaviourBendsTheAnswerItsOwnWay) {
    std::mt19937 random(1);
    SensorOptions cut;
    cut.cutTo = 20;
    EXPECT_EQ(Joined(PlanAnswer(kEcho, true, cut, T0, random)), kEcho.substr(0, 20));

    SensorOptions corrupt;
    corrupt.corruptEcho = true;
    const std::string corrupted = Joined(PlanAnswer(kEcho, true, corrupt, T0, random));
    ASSERT_EQ(corrupted.size(), kEcho.size());
    EXPECT_EQ(corrupted.substr(0, kEcho.size() - 3), kEcho.substr(0, kEcho.size() - 3));
    EXPECT_NE(corrupted[kEcho.size() - 3], 'C');
    EXPECT_EQ(Joined(PlanAnswer(kEcho, false, corrupt, T0, random)), kEcho);  // replies untouched

    SensorOptions noise;
    noise.noiseBytes = 16;
    const std::string noisy = Joined(PlanAnswer(kEcho, true, noise, T0, random));
    EXPECT_EQ(noisy.size(), 16 + kEcho.size());
    EXPECT_EQ(noisy.substr(16), kEcho);

    SensorOptions split;
    split.splitAt = 10;
    split.splitPause = 300ms;
    const auto parts = PlanAnswer(kEcho, true, split, T0, random);
    ASSERT_EQ(parts.size(), 2u);
    EXPECT_EQ(parts[0].bytes, kEcho.substr(0, 10));
    EXPECT_EQ(parts[1].pauseBefore, 300ms);

    SensorOptions hangUp;
    hangUp.hangUpAfter = 12;
    const auto cutLine = PlanAnswer(kEcho, true, hangUp, T0, random);
    EXPECT_EQ(Joined(cutLine), kEcho.substr(0, 12));
    EXPECT_TRUE(cutLine.back().hangUpAfter);

    SensorOptions flood;
    flood.floodBytes = 5000;
    const auto junk = PlanAnswer(kEcho, true, flood, T0, random);
    EXPECT_EQ(Joined(junk).size(), 5000u);
    EXPECT_EQ(Joined(junk).find(kEcho), std::string::npos);
}

}  // namespace
}  // namespace sensor_sim
