// The monkey's view of the line: which bursts count as the tool's commands. A check that let a
// cut or garbled command through would hide the very faults it is there to find.
#include "tests/hardening/line_commands.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using hardening::SplitBurst;

const std::string kSet =
    "110002,0001,003C,270F,0000,05DC,0000,868500000,70B3D57ED0010727,70B3D57ED0010727,"
    "5A1F0C33E8D2B7946C0A17F4D39E2B61";

struct Case {
    const char* name;
    std::string burst;
    std::vector<std::uint32_t> sequences;  // empty: rejected
};

TEST(LineCommandsTest, BurstsSplitIntoWholeCommandsOrAreRejected) {
    const std::vector<Case> cases = {
        {"read", "100000", {0}},
        {"NB-IoT read, five digits", "1210000", {0x10000}},
        {"two reads in one burst", "10001A100017", {0x1A, 0x17}},
        {"set", kSet, {2}},
        {"set with a comma in a text", kSet + ",X", {2}},
        {"read then set", "100001" + kSet, {1, 2}},
        // The last text may hold anything: taking the read for its end is the safer reading.
        {"set then read", kSet + "100003", {2}},
        {"negative field", "130005,0001,003C,270F,0000,FFFFFFFF,0000,5,1,1.1.1.1,8080", {5}},
        {"read cut short", "1000", {}},
        {"lower-case sequence", "10000a", {}},
        {"zero in front of five digits", "1000001", {}},
        {"nine digits", "10123456789", {}},
        {"unknown prefix", "140000", {}},
        {"set with five numbers", "110002,0001,003C,270F,0000,05DC,868500000,A,B,C", {}},
        {"set cut inside its texts", "110002,0001,003C,270F,0000,05DC,0000,868500000,A", {}},
        {"numeric field of three digits", "110002,001,003C,270F,0000,05DC,0000,8,A,B,C", {}},
        {"junk after a read", "100000\r\n", {}},
        {"empty", "", {}},
    };
    for (const auto& c : cases) {
        const auto split = SplitBurst(c.burst);
        std::vector<std::uint32_t> sequences;
        if (split) {
            for (const auto& command : *split) {
                sequences.push_back(command.sequence);
            }
        }
        EXPECT_EQ(sequences, c.sequences) << c.name;
    }
}

TEST(LineCommandsTest, ABurstTheSensorKeptOnlyTheBeginningOfMayEndAnywhere) {
    EXPECT_TRUE(SplitBurst(kSet.substr(0, 40), true).has_value());
    EXPECT_TRUE(SplitBurst("100000" + kSet.substr(0, 9), true).has_value());
    EXPECT_FALSE(SplitBurst("100000xx", true).has_value());
}

}  // namespace
