#include <fcntl.h>
#include <grp.h>
#include <linux/capability.h>
#include <sys/fsuid.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "platform/comm_uucp_lock.h"
#include "platform/port_problem.h"
#include "platform/processes.h"
#include "tests/support/comm_test_support.h"

namespace {

using kaldo_test::HoldingProcess;
using kaldo_test::PortTest;
using platform::PortProblem;

constexpr uid_t kNobody = 65534;

TEST_F(PortTest, ADeviceTheUserMayNotOpenNamesTheGroupThatMay) {
    platform::PseudoTerminal line;
    ASSERT_EQ(line.Open(3), 0);
    const std::string device = line.SlavePath();
    // Serial adapters belong to root and dialout; root can give the terminal away, others not.
    if (const group* dialout = getgrnam("dialout"); dialout != nullptr && geteuid() == 0) {
        ASSERT_EQ(chown(device.c_str(), 0, dialout->gr_gid), 0);
    }
    struct stat info {};
    ASSERT_EQ(stat(device.c_str(), &info), 0);
    const std::string group = getgrgid(info.st_gid)->gr_name;
    // Neither mode lets the owner in, so a user who owns the terminal is refused too.
    const std::pair<mode_t, std::string> cases[] = {
        {0060,
         device + ": permission denied. Add yourself to the " + group + " group and log in again."},
        {0040, device + ": permission denied. Only its owner may open it."},
        {0000, device + ": permission denied. Only its owner may open it."},
    };
    for (const auto& [mode, text] : cases) {
        ASSERT_EQ(chmod(device.c_str(), mode), 0);
        // Root is never denied a device: this thread opens files as nobody while it asks.
        setfsgid(kNobody);
        setfsuid(kNobody);
        const auto said = platform::DescribePortProblem(platform::DiagnoseDevice(device));
        setfsuid(getuid());
        setfsgid(getgid());
        EXPECT_EQ(said, text) << std::oct << mode;
    }
}

TEST_F(PortTest, APortHeldByAnotherProgramNamesItAndFreeOrMissingOnesAreNoProblem) {
    platform::PseudoTerminal line;
    ASSERT_EQ(line.Open(3), 0);
    Link(folder_ + "/gone", 4);
    EXPECT_EQ(platform::DiagnoseComPort(3).kind, PortProblem::Kind::None);
    EXPECT_EQ(platform::DiagnoseComPort(4).kind, PortProblem::Kind::Absent);
    EXPECT_EQ(platform::DiagnoseComPort(4).device, folder_ + "/gone");
    EXPECT_EQ(platform::DiagnoseComPort(5).kind, PortProblem::Kind::Absent);
    EXPECT_EQ(platform::DescribePortProblem(platform::DiagnoseComPort(4)), "");

    // An exclusive mark keeps out all but root: this thread gives up what lets root pass it.
    HoldingProcess marker(line.SlavePath(), "minicom", true);
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct caps[2]{};
    ASSERT_TRUE(marker.held() && syscall(SYS_capget, &header, caps) == 0);
    const auto admin = caps[0].effective & (1u << CAP_SYS_ADMIN);
    caps[0].effective ^= admin;
    ASSERT_EQ(syscall(SYS_capset, &header, caps), 0);
    const PortProblem problem = platform::DiagnoseComPort(3);
    caps[0].effective ^= admin;
    syscall(SYS_capset, &header, caps);
    EXPECT_EQ(platform::DescribePortProblem(problem),
              line.SlavePath() + ": held by another program (minicom, pid " +
                  std::to_string(marker.pid()) + "). Close it and start the tool again.");
}

// A program that marks the device with a lock file only is named by it, not by /proc.
TEST_F(PortTest, ALockFileNamesTheHolder) {
    platform::PseudoTerminal line;
    ASSERT_EQ(line.Open(3), 0);
    const std::string lockFile =
        std::string(platform::kUucpLockFolder) + "/" + platform::UucpLockName(line.SlavePath());
    if (!(std::ofstream(lockFile) << getpid() << "\n")) {
        GTEST_SKIP() << "cannot write " << lockFile;
    }
    const PortProblem problem = platform::DiagnoseComPort(3);
    EXPECT_EQ(Open(3), INVALID_HANDLE_VALUE);
    // Anyone may write there: a file not written by the process it names is no one's mark.
    EXPECT_TRUE(chown(lockFile.c_str(), kNobody, kNobody) != 0 ||
                platform::DiagnoseComPort(3).kind == PortProblem::Kind::None);
    unlink(lockFile.c_str());
    EXPECT_EQ(platform::DescribePortProblem(problem),
              line.SlavePath() + ": held by another program (" + platform::ProgramName(getpid()) +
                  ", pid " + std::to_string(getpid()) + "). Close it and start the tool again.");
}

// A link may name anything; only a serial line the user may talk to is opened, and what is
// refused is said. Nothing is written to what is refused, a terminal least of all.
TEST_F(PortTest, OnlySerialLinesOfTheUserAreOpened) {
    platform::PseudoTerminal others;
    platform::PseudoTerminal own;
    ASSERT_EQ(others.Open(8), 0);
    ASSERT_EQ(own.Open(9), 0);
    const bool root = geteuid() == 0;
    if (root) {
        ASSERT_EQ(chown(others.SlavePath().c_str(), kNobody, kNobody), 0);
    }
    std::ofstream(folder_ + "/file") << "x";
    // The terminal this program runs in: one of its standard streams.
    const int savedInput = dup(0);
    const int ownInput = open(own.SlavePath().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_EQ(dup2(ownInput, 0), 0);
    const struct {
        std::string target;
        std::string refusal;
    } cases[] = {
        {"/dev/null", "not a serial line"},
        {folder_ + "/file", "not a serial line but a file of another kind"},
        {"/dev/tty", "a console or terminal, not a serial line"},
        {"/dev/console", "a console or terminal, not a serial line"},
        {own.SlavePath(), "the terminal this program runs in"},
        {others.SlavePath(), root ? "a pseudo-terminal of uid 65534" : ""},
    };
    int n = 1;
    for (const auto& c : cases) {
        unlink(ports_.Link(n).c_str());
        Link(c.target, n);
        const PortProblem problem = platform::DiagnoseComPort(n);
        if (!c.refusal.empty()) {
            EXPECT_EQ(Open(n), INVALID_HANDLE_VALUE) << c.target;
            EXPECT_EQ(problem.kind, PortProblem::Kind::PermissionDenied) << c.target;
            EXPECT_EQ(platform::DescribePortProblem(problem),
                      problem.device + ": not used: " + c.refusal + ".");
        }
        ++n;
    }
    dup2(savedInput, 0);
    close(savedInput);
    close(ownInput);
    EXPECT_EQ(kaldo_test::Receive(own), "");
}

}  // namespace
