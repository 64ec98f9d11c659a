#include "platform/pseudo_terminal.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>

#include "tests/support/comm_test_support.h"

namespace {

namespace fs = std::filesystem;
using kaldo_test::Eventually;
using kaldo_test::PortTest;
using platform::PseudoTerminal;

// The port's end is opened with plain POSIX calls: the line is checked apart from the port layer.
TEST_F(PortTest, APseudoTerminalLinksARawLineThatHangsUpOnlyWhenToldTo) {
    PseudoTerminal line;
    ASSERT_EQ(line.Open(3), 0);
    const auto openPeer = [&] {
        return open(ports_.Link(3).c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    };
    int peer = openPeer();
    bool hungUp = false;  // end of file or EIO, as for a pulled adapter
    const auto peerReads = [&](std::size_t count) {
        std::string got;
        Eventually([&] {
            char buffer[64];
            const ssize_t n = read(peer, buffer, sizeof buffer);
            got.append(buffer, n > 0 ? static_cast<std::size_t>(n) : 0);
            hungUp = n == 0 || (n < 0 && errno == EIO);
            return got.size() >= count || hungUp;
        });
        return got;
    };

    // Raw before anyone sets it: no echo, no line editing, CR and LF as they are.
    termios tio{};
    ASSERT_EQ(tcgetattr(peer, &tio), 0);
    EXPECT_EQ(tio.c_lflag & (ECHO | ICANON | ISIG), 0u);
    EXPECT_EQ(tio.c_iflag & (ICRNL | IXON), 0u);
    EXPECT_EQ(tio.c_oflag & OPOST, 0u);

    // The port closing and opening again is not a hang-up of the line; HangUp is.
    close(peer);
    peer = openPeer();
    EXPECT_EQ(line.Write("x", 1).bytes, 1u);
    EXPECT_EQ(peerReads(1), "x");
    EXPECT_FALSE(hungUp);
    line.HangUp();
    EXPECT_FALSE(line.IsOpen());
    peerReads(SIZE_MAX);
    EXPECT_TRUE(hungUp);
    close(peer);
    EXPECT_FALSE(fs::exists(fs::symlink_status(ports_.Link(3))));
}

TEST_F(PortTest, APseudoTerminalReplacesAStaleLinkButNothingElse) {
    fs::create_symlink("/dev/pts/no-such-terminal", ports_.Link(5));
    std::ofstream(ports_.Link(6)) << "not a link";
    PseudoTerminal line;
    ASSERT_EQ(line.Open(5), 0);
    EXPECT_EQ(fs::read_symlink(ports_.Link(5)), line.SlavePath());
    EXPECT_EQ(PseudoTerminal().Open(6), EEXIST);
    EXPECT_TRUE(fs::is_regular_file(ports_.Link(6)));
}

}  // namespace
