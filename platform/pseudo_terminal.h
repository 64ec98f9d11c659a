// The device side of a simulated serial line: a pseudo-terminal whose slave is linked as COMn in
// the port folder, so that the port layer opens it like any other port. The object keeps a slave
// descriptor of its own, opened before anyone else's: the master then never reports a hang-up
// merely because the program on the slave side closed the port, only when HangUp() cuts the line.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "platform/descriptor.h"

namespace platform {

class PseudoTerminal {
public:
    struct IoResult {
        std::size_t bytes = 0;
        bool wouldBlock = false;  // nothing to read, or no room to write, right now
        int error = 0;            // errno of a real failure, else 0
    };

    PseudoTerminal() = default;
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    // Creates a fresh pseudo-terminal in raw mode and links it as COMn, replacing a link left
    // there by an earlier run. Refuses to replace anything that is not a symbolic link. Returns 0
    // or the errno of the step that failed, in which case nothing is left open or linked.
    int Open(int comNumber);

    bool IsOpen() const { return master_ >= 0; }
    const std::string& SlavePath() const { return slavePath_; }
    const std::string& LinkPath() const { return linkPath_; }

    // The line speed the port side has set, in bits per second (0 if unknown).
    int BaudRate() const;

    // Bytes written to the line that the port side has not read yet.
    std::size_t UnreadByPort() const;

    IoResult Read(char* buffer, std::size_t size);
    IoResult Write(const char* data, std::size_t size);

    // Runs onReady once, on the descriptor watcher's thread, when the master has bytes to read
    // (or room to write). Does nothing while a watch of that kind is still waiting. The
    // callback may take the hub lock; it must not call back into this object.
    void WatchReadable(std::function<void()> onReady);
    void WatchWritable(std::function<void()> onReady);

    // Removes the link and closes both sides: whoever has the slave open sees a hang-up.
    void HangUp();

private:
    struct Watch {
        std::uint64_t id = 0;
        std::atomic<bool> waiting{false};
    };

    void Arm(Watch& watch, short events, std::function<void()> onReady);
    bool Disarm(Watch& watch);  // whether it had been armed

    Watch readable_;
    Watch writable_;
    int master_ = -1;
    int slave_ = -1;
    std::string slavePath_;
    Descriptor folder_;  // the port folder the link is in
    std::string linkName_;
    std::string linkPath_;
};

}  // namespace platform
