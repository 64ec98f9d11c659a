#include "tests/bench/python_reader.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

extern char** environ;

namespace {
const char* const kScript = KALDO_BENCH_DIR "/python_per_byte_reader.py";
// Debian's interpreter, the one its python3-serial package installs for (another python3 may
// come first on the path).
const char* const kPython = "/usr/bin/python3";
}  // namespace

PythonReader::PythonReader(const std::string& path, std::size_t count) {
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) {
        throw std::runtime_error("pipe failed");
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    const std::string countText = std::to_string(count);
    // -P: the source tree's serial/ folder must not shadow the serial module.
    const char* argv[] = {kPython, "-P", kScript, path.c_str(), countText.c_str(), nullptr};
    const int err =
        posix_spawn(&pid_, kPython, &actions, nullptr, const_cast<char**>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    fromChild_ = pipeFds[0];
    if (err != 0) {
        pid_ = -1;
        throw std::runtime_error("cannot start " + std::string(kPython) + ": errno " +
                                 std::to_string(err));
    }
    if (const std::string line = ReadLine(); line != "ready") {
        throw std::runtime_error("the Python reader did not get ready: '" + line + "'");
    }
}

PythonReader::~PythonReader() {
    if (fromChild_ >= 0) {
        close(fromChild_);
    }
    if (pid_ > 0) {
        int status = 0;
        waitpid(pid_, &status, 0);
    }
}

std::string PythonReader::ReadLine() {
    std::string line;
    char c = 0;
    for (;;) {
        const ssize_t n = read(fromChild_, &c, 1);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0 || c == '\n') {
            return line;
        }
        line += c;
    }
}

std::size_t PythonReader::WaitDone() {
    const std::string line = ReadLine();
    // Anything else (it died, or said something unexpected) counts as nothing received.
    got_ = line.rfind("done ", 0) == 0 ? std::stoul(line.substr(5)) : 0;
    return got_;
}

std::vector<std::uint8_t> PythonReader::TakeReceived() {
    std::vector<std::uint8_t> bytes(got_);
    std::size_t have = 0;
    while (have < got_) {
        const ssize_t n = read(fromChild_, bytes.data() + have, got_ - have);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        have += static_cast<std::size_t>(n);
    }
    bytes.resize(have);
    return bytes;
}
