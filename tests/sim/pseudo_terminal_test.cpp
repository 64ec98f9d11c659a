#include "platform/pseudo_terminal.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>
#include <fstream>
#include <memory>

#include "tests/sim/line_peer.h"
#include "tests/support/comm_test_support.h"

namespace {

using kaldo_test::Eventually;
using platform::PseudoTerminal;
using sim_test::LinePeer;

class PseudoTerminalTest : public ::testing::Test {
protected:
    std::string Read(PseudoTerminal& line, std::size_t count) {
        std::string bytes;
        Eventually([&] {
            char buffer[256];
            const auto result = line.Read(buffer, sizeof buffer);
            bytes.append(buffer, result.bytes);
            return bytes.size() >= count;
        });
        return bytes;
    }

    kaldo_test::TemporaryPortFolder folder_;
};

TEST_F(PseudoTerminalTest, LinksARawLineThatCarriesBytesBothWaysUntilItHangsUp) {
    PseudoTerminal line;
    ASSERT_EQ(line.Open(3), 0);
    EXPECT_EQ(line.LinkPath(), folder_.Link(3));
    EXPECT_EQ(std::filesystem::read_symlink(folder_.Link(3)), line.SlavePath());

    // Raw before anyone opens it: no echo, no line editing, CR and LF as they are.
    termios tio{};
    const int slave = open(line.SlavePath().c_str(), O_RDONLY | O_NOCTTY);
    ASSERT_EQ(tcgetattr(slave, &tio), 0);
    close(slave);
    EXPECT_EQ(tio.c_lflag & (ECHO | ICANON | ISIG), 0u);
    EXPECT_EQ(tio.c_iflag & (ICRNL | IXON), 0u);
    EXPECT_EQ(tio.c_oflag & OPOST, 0u);

    std::atomic<bool> readable{false};
    line.WatchReadable([&] { readable = true; });
    auto peer = std::make_unique<LinePeer>(folder_.Link(3));
    peer->Send("100000\r");
    ASSERT_TRUE(Eventually([&] { return readable.load(); }));
    EXPECT_EQ(Read(line, 7), "100000\r");
    char none[8];
    EXPECT_TRUE(line.Read(none, sizeof none).wouldBlock);
    line.WatchReadable([] {});

    const std::string reply = "1000,a\r\n";
    EXPECT_EQ(line.Write(reply.data(), reply.size()).bytes, reply.size());
    EXPECT_EQ(peer->Receive(reply.size()), reply);

    // The port closing and opening again is not a hang-up of the line; HangUp is.
    peer = std::make_unique<LinePeer>(folder_.Link(3));
    EXPECT_EQ(line.Write("x", 1).bytes, 1u);
    EXPECT_EQ(peer->Receive(1), "x");
    line.HangUp();
    EXPECT_FALSE(line.IsOpen());
    EXPECT_TRUE(peer->WaitHangUp());
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(folder_.Link(3))));
}

TEST_F(PseudoTerminalTest, ReplacesAStaleLinkButNothingElse) {
    std::filesystem::create_symlink("/dev/pts/no-such-terminal", folder_.Link(5));
    std::ofstream(folder_.Link(6)) << "not a link";
    PseudoTerminal line;
    ASSERT_EQ(line.Open(5), 0);
    EXPECT_EQ(std::filesystem::read_symlink(folder_.Link(5)), line.SlavePath());
    EXPECT_EQ(PseudoTerminal().Open(6), EEXIST);
    EXPECT_TRUE(std::filesystem::is_regular_file(folder_.Link(6)));
}

}  // namespace
