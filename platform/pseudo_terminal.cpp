#include "platform/pseudo_terminal.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <cstdlib>

#include "platform/fd_watcher.h"
#include "platform/port_folder.h"
#include "platform/system_call.h"

namespace platform {
namespace {

void CloseQuietly(int& fd) {
    if (fd >= 0) {
        close(fd);
        fd = -1;
    }
}

// The slave starts in the terminal's cooked defaults; a serial device delivers bytes as they
// are, so echo, line editing and CR/LF translation must go before anyone talks to it.
int MakeRaw(int fd) {
    termios tio{};
    if (tcgetattr(fd, &tio) != 0) {
        return errno;
    }
    cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    cfsetispeed(&tio, B115200);
    cfsetospeed(&tio, B115200);
    return tcsetattr(fd, TCSANOW, &tio) == 0 ? 0 : errno;
}

// Points the link at the slave in one step (a temporary link renamed over the old one), so a
// port opener never finds the name missing or half made. Made relative to the folder's
// descriptor: the folder's path could lead elsewhere by now.
int Link(const Descriptor& folder, const std::string& name, const std::string& target) {
    struct stat existing {};
    if (fstatat(folder.get(), name.c_str(), &existing, AT_SYMLINK_NOFOLLOW) == 0 &&
        !S_ISLNK(existing.st_mode)) {
        return EEXIST;
    }
    static std::atomic<unsigned> counter{0};
    const std::string temporary =
        name + ".new." + std::to_string(getpid()) + "." + std::to_string(counter.fetch_add(1));
    if (symlinkat(target.c_str(), folder.get(), temporary.c_str()) != 0) {
        return errno;
    }
    if (renameat(folder.get(), temporary.c_str(), folder.get(), name.c_str()) != 0) {
        const int err = errno;
        unlinkat(folder.get(), temporary.c_str(), 0);
        return err;
    }
    return 0;
}

// Another instance may have taken the name over since: only a link to our slave is ours.
void UnlinkIfOurs(const Descriptor& folder, const std::string& name, const std::string& target) {
    std::array<char, 4096> buffer{};
    const ssize_t n = readlinkat(folder.get(), name.c_str(), buffer.data(), buffer.size() - 1);
    if (n > 0 && std::string(buffer.data(), static_cast<std::size_t>(n)) == target) {
        unlinkat(folder.get(), name.c_str(), 0);
    }
}

// The watcher thread may still sleep in a poll that holds a reference to our master, and the
// line is cut only when the last reference goes. Arming a watch wakes it to poll without ours.
void WakeWatcher() {
    FdWatcher& watcher = FdWatcher::Instance();
    watcher.Disarm(watcher.Arm(-1, 0, [](short) {}));
}

PseudoTerminal::IoResult Result(ssize_t n) {
    if (n >= 0) {
        return {static_cast<std::size_t>(n), false, 0};
    }
    return errno == EAGAIN ? PseudoTerminal::IoResult{0, true, 0}
                           : PseudoTerminal::IoResult{0, false, errno};
}

}  // namespace

PseudoTerminal::~PseudoTerminal() {
    HangUp();
}

int PseudoTerminal::Open(int comNumber) {
    HangUp();
    if (comNumber < 1) {
        return EINVAL;
    }
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    if (master_ < 0) {
        return errno;
    }
    std::array<char, 128> name{};
    if (grantpt(master_) != 0 || unlockpt(master_) != 0 ||
        ptsname_r(master_, name.data(), name.size()) != 0) {
        const int err = errno;
        CloseQuietly(master_);
        return err;
    }
    slavePath_ = name.data();
    // Ours is the first slave descriptor, so the line stays up while port users come and go.
    slave_ = open(slavePath_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    int err = slave_ < 0 ? errno : MakeRaw(slave_);
    Descriptor folder = err == 0 ? EnsurePortFolder() : Descriptor();
    if (err == 0 && !folder.valid()) {
        err = EACCES;
    }
    const std::string linkName = "COM" + std::to_string(comNumber);
    if (err == 0) {
        err = Link(folder, linkName, slavePath_);
    }
    if (err != 0) {
        HangUp();
        return err;
    }
    folder_ = std::move(folder);
    linkName_ = linkName;
    linkPath_ = PortFolder() + "/" + linkName;
    return 0;
}

int PseudoTerminal::BaudRate() const {
    struct Rate {
        speed_t code;
        int baud;
    };
    static constexpr Rate kRates[] = {{B1200, 1200},   {B2400, 2400},    {B4800, 4800},
                                      {B9600, 9600},   {B19200, 19200},  {B38400, 38400},
                                      {B57600, 57600}, {B115200, 115200}};
    termios settings{};
    // The master reports the settings the slave side was given.
    if (master_ < 0 || tcgetattr(master_, &settings) != 0) {
        return 0;
    }
    for (const Rate& rate : kRates) {
        if (cfgetospeed(&settings) == rate.code) {
            return rate.baud;
        }
    }
    return 0;
}

std::size_t PseudoTerminal::UnreadByPort() const {
    if (slave_ < 0) {
        return 0;
    }
    // Written bytes reach the slave's input queue through kernel work that FIONREAD does not
    // wait for; a poll of the slave does.
    pollfd slave{slave_, POLLIN, 0};
    const int ready = RetryInterrupted([&] { return poll(&slave, 1, 0); });
    int count = 0;
    if (ready <= 0 || ioctl(slave_, FIONREAD, &count) != 0 || count < 0) {
        return 0;
    }
    return static_cast<std::size_t>(count);
}

PseudoTerminal::IoResult PseudoTerminal::Read(char* buffer, std::size_t size) {
    return Result(RetryInterrupted([&] { return read(master_, buffer, size); }));
}

PseudoTerminal::IoResult PseudoTerminal::Write(const char* data, std::size_t size) {
    return Result(RetryInterrupted([&] { return write(master_, data, size); }));
}

void PseudoTerminal::WatchReadable(std::function<void()> onReady) {
    Arm(readable_, POLLIN, std::move(onReady));
}

void PseudoTerminal::WatchWritable(std::function<void()> onReady) {
    Arm(writable_, POLLOUT, std::move(onReady));
}

void PseudoTerminal::Arm(Watch& watch, short events, std::function<void()> onReady) {
    if (master_ < 0 || watch.waiting.exchange(true)) {
        return;
    }
    watch.id =
        FdWatcher::Instance().Arm(master_, events, [&watch, onReady = std::move(onReady)](short) {
            watch.waiting = false;
            onReady();
        });
}

bool PseudoTerminal::Disarm(Watch& watch) {
    const bool armed = watch.id != 0;
    if (armed) {
        FdWatcher::Instance().Disarm(watch.id);
        watch.id = 0;
    }
    watch.waiting = false;
    return armed;
}

void PseudoTerminal::HangUp() {
    const bool readWatched = Disarm(readable_);
    if (Disarm(writable_) || readWatched) {
        WakeWatcher();
    }
    if (!linkPath_.empty()) {
        UnlinkIfOurs(folder_, linkName_, slavePath_);
        folder_.Reset();
        linkPath_.clear();
    }
    CloseQuietly(slave_);
    CloseQuietly(master_);
    slavePath_.clear();
}

}  // namespace platform
