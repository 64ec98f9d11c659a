// A line that floods the tool with random bytes as fast as the pseudo-terminal takes them, while
// a read runs: the dialog must keep answering and ticking, and memory must stay bounded. Runs on
// the real clock, as the flood does. KALDO_FLOOD_BYTES sets the size (10485760 for 10 MB).
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <memory>
#include <mutex>
#include <random>
#include <thread>

#include "platform/pseudo_terminal.h"
#include "tests/hardening/process_memory.h"
#include "tests/support/tool_harness.h"

namespace {

using namespace std::chrono_literals;
constexpr std::size_t kChunk = 4096;
constexpr std::size_t kMaxResidentGrowth = std::size_t{64} << 20;
// Far below the flood: what the reply tick lets pile up between two looks.
constexpr std::size_t kMaxReceivedText = std::size_t{1} << 20;

std::size_t FloodBytes() {
    const char* value = std::getenv("KALDO_FLOOD_BYTES");
    if (value != nullptr) {
        return static_cast<std::size_t>(std::atoll(value));
    }
    // The reply tick pauses 100 ms in every 150 while bytes keep coming, so the tool takes a
    // flood at some 20 kB/s, above the line's 11.5 kB/s: 10 MB is for a long run by script.
    return hardening::kSanitized ? std::size_t{16} << 10 : std::size_t{64} << 10;
}

// Writes random bytes to the line as fast as the other side reads them, up to a count or until
// stopped.
class Flood {
public:
    Flood(platform::PseudoTerminal& line, std::size_t bytes)
        : thread_([this, &line, bytes] { Run(line, bytes); }) {}
    ~Flood() {
        Stop();
        thread_.join();
    }

    void Stop() { stop_ = true; }
    bool Done() const { return done_; }
    std::size_t Written() const { return written_; }
    int Error() const { return error_; }

private:
    void Run(platform::PseudoTerminal& line, std::size_t bytes) {
        std::mt19937 random(7);
        std::uniform_int_distribution<int> byte(0, 255);
        char chunk[kChunk];
        while (written_ < bytes && error_ == 0 && !stop_) {
            const std::size_t size = std::min(kChunk, bytes - written_);
            for (std::size_t i = 0; i < size; ++i) {
                chunk[i] = static_cast<char>(byte(random));
            }
            for (std::size_t sent = 0; sent < size && error_ == 0 && !stop_;) {
                const auto result = line.Write(chunk + sent, size - sent);
                error_ = result.error;
                sent += result.bytes;
                written_ += result.bytes;
                if (result.wouldBlock) {
                    WaitWritable(line);
                }
            }
        }
        done_ = true;
    }

    // The watch may fire after the flood has ended: what it signals outlives the flood.
    struct Writable {
        std::mutex mutex;
        std::condition_variable changed;
        bool ready = false;
    };

    void WaitWritable(platform::PseudoTerminal& line) {
        auto writable = std::make_shared<Writable>();
        line.WatchWritable([writable] {
            std::lock_guard lock(writable->mutex);
            writable->ready = true;
            writable->changed.notify_all();
        });
        std::unique_lock lock(writable->mutex);
        writable->changed.wait_for(lock, 1s, [&] { return writable->ready; });
    }

    std::atomic<std::size_t> written_{0};
    std::atomic<int> error_{0};
    std::atomic<bool> done_{false};
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

// The real clock while it lives; the harness ends the dialog under virtual time again, as it
// counts on to go through the dialog's pauses.
class RealClock {
public:
    RealClock() { platform::WaitHub::Instance().UseSteadyClock(); }
    ~RealClock() { platform::WaitHub::Instance().UseVirtualClock(false); }
};

TEST(FloodTest, TheDialogKeepsAnsweringAndTickingWithBoundedMemory) {
    g_nTimeoutTicks = 0;
    g_nProgressPos = 0;
    // The line outlives the dialog, whose port would otherwise report it cut.
    platform::PseudoTerminal line;
    ToolHarness h;
    ASSERT_EQ(line.Open(3), 0);
    h.Start();
    h.OpenPort();
    // From here on the real clock: the flood does not wait for virtual time.
    const RealClock realClock;
    h.agent.Click(ToolHarness::kMain, IDC_BUTTON_SENSOR_INITIAL);

    const std::size_t wanted = FloodBytes();
    std::size_t bytes = 0;
    const std::size_t baseline = hardening::ResidentBytes();
    std::size_t peakResident = baseline;
    std::size_t peakText = 0;
    long answers = 0;
    long resets = 0;
    int lastTicks = -1;
    long tickChanges = 0;
    const auto started = std::chrono::steady_clock::now();
    {
        // At least the bytes wanted, and for as long as it takes to see the timers at work.
        Flood flood(line, std::numeric_limits<std::size_t>::max());
        const auto giveUp = started + 30min;
        std::size_t lastText = 0;
        while (flood.Written() < wanted || resets < 2 || tickChanges < 2) {
            ASSERT_EQ(flood.Error(), 0);
            ASSERT_LT(std::chrono::steady_clock::now(), giveUp)
                << flood.Written() << " bytes, " << resets << " resets, " << tickChanges
                << " poll ticks seen";
            // A person at the screen: boxes are answered.
            h.agent.CloseMessageBox();
            std::size_t text = 0;
            int ticks = 0;
            h.Run([&] {
                text = static_cast<std::size_t>(h.dlg.m_strRx.GetLength());
                ticks = g_nTimeoutTicks;
            });
            ++answers;
            resets += text < lastText ? 1 : 0;
            lastText = text;
            peakText = std::max(peakText, text);
            tickChanges += lastTicks >= 0 && ticks != lastTicks ? 1 : 0;
            lastTicks = ticks;
            peakResident = std::max(peakResident, hardening::ResidentBytes());
            std::this_thread::sleep_for(5ms);  // sampling, not waiting for anything
        }
        flood.Stop();
        bytes = flood.Written();
    }
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started);

    EXPECT_LE(peakText, kMaxReceivedText);
    if (hardening::kResidentSizeMeaningful) {
        EXPECT_LE(peakResident, baseline + kMaxResidentGrowth);
    }
    std::printf(
        "flood: %zu bytes in %.1f s (%.0f bytes/s); the dialog answered %ld times; received text "
        "reset %ld times, at most %zu bytes; resident %zu MiB before, at most %zu MiB\n",
        bytes, seconds.count(), static_cast<double>(bytes) / seconds.count(), answers, resets,
        peakText, baseline >> 20, peakResident >> 20);
}

}  // namespace

// Nothing runs: no reply tick will look at what comes in, however much of it there is.
TEST(FloodTest, AnIdleDialogKeepsOnlyTheBeginningOfWhatANoisyLineSends) {
    platform::PseudoTerminal line;
    ToolHarness h;
    ASSERT_EQ(line.Open(3), 0);
    h.Start();
    h.OpenPort();
    const RealClock realClock;

    const std::size_t bytes = 4 * std::size_t{REPLY_KEEP_BYTES};
    {
        Flood flood(line, bytes);
        const auto giveUp = std::chrono::steady_clock::now() + 600s;
        while (!flood.Done() || line.UnreadByPort() > 0) {
            ASSERT_LT(std::chrono::steady_clock::now(), giveUp);
            std::this_thread::sleep_for(10ms);
        }
    }
    ASSERT_TRUE(h.time.Settle());
    std::size_t text = 0;
    std::uint32_t counted = 0;
    h.Run([&] {
        text = static_cast<std::size_t>(h.dlg.m_strRx.GetLength());
        counted = h.dlg.m_nRxCount;
    });
    EXPECT_EQ(counted, bytes);
    EXPECT_EQ(text, std::size_t{REPLY_KEEP_BYTES});
}
