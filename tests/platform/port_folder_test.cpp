#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "platform/com_names.h"
#include "platform/port_folder.h"
#include "tests/support/comm_test_support.h"

namespace {

namespace fs = std::filesystem;

constexpr uid_t kNobody = 65534;
using kaldo_test::PortTest;

TEST_F(PortTest, OnlyTheUsersOwnFolderInAFolderOthersCannotChangeIsTrusted) {
    const std::string ports = folder_ + "/ports";
    struct Case {
        const char* what;
        std::function<void()> make;
        std::string distrust;  // empty: trusted
        bool needsRoot = false;
        std::string path = "";  // if not the ports folder
    };
    const Case cases[] = {
        {"private", [&] { mkdir(ports.c_str(), 0700); }, ""},
        {"up and down again", [] {}, "its path goes up with ..", false, ports + "/../ports"},
        {"readable by all", [&] { chmod(ports.c_str(), 0755); }, ""},
        {"group may write", [&] { chmod(ports.c_str(), 0770); }, "writable by its group"},
        {"all may write, sticky", [&] { chmod(ports.c_str(), 01707); }, "writable by others"},
        {"in a folder all may change",
         [&] {
             chmod(ports.c_str(), 0700);
             chmod(folder_.c_str(), 0777);
         },
         "its folder " + folder_ + " is writable by others"},
        {"in a sticky folder", [&] { chmod(folder_.c_str(), 01777); }, ""},
        {"someone else's", [&] { chown(ports.c_str(), kNobody, kNobody); }, "owned by uid 65534",
         true},
        {"in someone else's folder",
         [&] {
             chown(ports.c_str(), getuid(), getgid());
             chown(folder_.c_str(), kNobody, kNobody);
             chmod(folder_.c_str(), 0755);
         },
         "its folder " + folder_ + " is owned by uid 65534", true},
        {"a link to a private folder",
         [&] {
             chown(folder_.c_str(), getuid(), getgid());
             fs::rename(ports, folder_ + "/real");
             fs::create_directory_symlink(folder_ + "/real", ports);
         },
         "a symbolic link, not a folder"},
        // Checked by name, a link anywhere above could be swapped between the check and the use.
        {"under a link",
         [&] {
             fs::remove(ports);
             fs::create_directory(folder_ + "/real/ports");
             fs::create_directory_symlink(folder_ + "/real", folder_ + "/up");
         },
         folder_ + "/up is a symbolic link", false, folder_ + "/up/ports"},
    };
    for (const Case& c : cases) {
        if (c.needsRoot && geteuid() != 0) {
            continue;  // only root can give a folder away
        }
        c.make();
        EXPECT_EQ(platform::PortFolderDistrust(c.path.empty() ? ports : c.path), c.distrust)
            << c.what;
    }
}

TEST_F(PortTest, AnUntrustedFolderLendsNoPortAndSaysWhyOnce) {
    ASSERT_EQ(chmod(folder_.c_str(), 0777), 0);
    Link("/dev/null", 3);
    testing::internal::CaptureStderr();
    EXPECT_EQ(platform::ResolveComPort(3), std::nullopt);
    EXPECT_TRUE(platform::ListComPorts().empty());
    EXPECT_FALSE(platform::EnsurePortFolder().valid());
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(said, std::string(program_invocation_short_name) + ": ignoring the port folder " +
                        folder_ + ": writable by others\n");

    chmod(folder_.c_str(), 0700);
    EXPECT_EQ(platform::ResolveComPort(3), folder_ + "/COM3");
}

TEST_F(PortTest, MissingFoldersAreMadePrivate) {
    unsetenv("KALDO_SENSOR_PORTS");
    setenv("XDG_RUNTIME_DIR", folder_.c_str(), 1);
    const mode_t umaskBefore = umask(0);  // the folders must not rely on the user's umask
    const bool made = platform::EnsurePortFolder().valid();
    umask(umaskBefore);
    ASSERT_TRUE(made);
    for (const char* folder : {"/kaldo-sensor", "/kaldo-sensor/ports"}) {
        struct stat info {};
        ASSERT_EQ(stat((folder_ + folder).c_str(), &info), 0) << folder;
        EXPECT_EQ(info.st_mode & 07777, 0700u) << folder;
    }
    EXPECT_EQ(platform::TrustedPortFolder(), folder_ + "/kaldo-sensor/ports");

    // Nothing is made behind a link.
    fs::create_directory(folder_ + "/other");
    fs::create_directory(folder_ + "/runtime");
    fs::create_directory_symlink(folder_ + "/other", folder_ + "/runtime/kaldo-sensor");
    setenv("XDG_RUNTIME_DIR", (folder_ + "/runtime").c_str(), 1);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(platform::EnsurePortFolder().valid());
    testing::internal::GetCapturedStderr();
    EXPECT_FALSE(fs::exists(folder_ + "/other/ports"));
}

}  // namespace
