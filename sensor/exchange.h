// The read ("Sensor Initial") and set ("Sensor Set") exchange with a sensor: what has come in,
// the last command sent, the sequence counter, the ticks of the operation under way and how the
// latest step ended. The main dialog drives it from its window timers and shows its outcomes; the
// exchange itself knows no window and shows nothing.
#pragma once

#include <atomic>
#include <cstdint>

#include "framework/cstring.h"

#define TIMER_READ_REPLY 1
#define TIMER_SET_REPLY 2
#define TIMER_READ_POLL 3
#define TIMER_SET_WATCHDOG 4

#define READ_REPLY_PERIOD_MS 50
#define SET_REPLY_PERIOD_MS 100
#define READ_POLL_PERIOD_MS 100
#define SET_WATCHDOG_PERIOD_MS 10000

// A read request goes out on every fifth poll tick; the read gives up after 500 ticks and the
// set after 20 watchdog ticks.
#define READ_REQUEST_EVERY_TICKS 5
#define READ_TIMEOUT_TICKS 500
#define SET_TIMEOUT_TICKS 20

// Bytes that must have arrived before a reply is looked at.
#define REPLY_THRESHOLD_LORAWAN 100
#define REPLY_THRESHOLD_NB 50

// What the received text keeps at most: far more than any reply or echo, but a noisy line that
// sends while no reply tick looks (no operation running, or a box open) cannot fill the memory.
// Bytes past it are counted, not kept.
#define REPLY_KEEP_BYTES 65536

// Pause before a reply is cut and looked at, so the rest of its line can arrive.
#define REPLY_SETTLE_MS 100

namespace sensor {

// How a step the user started ended: the dialog shows it in a box, kaldo-sensor-cli makes it an
// exit code.
enum class Outcome {
    Pending,  // nothing has ended since the step began
    PortOpened,
    PortHeld,
    PortBeyondLast,
    ReadWithoutPort,
    ReadAccepted,
    ReadRejected,
    ReadTimedOut,
    SetRefused,  // the checks before a set; the failed check has its own text
    SetAccepted,
    SetRejected,
    SetTimedOut,
};

// The box text of an outcome with one fixed text; nullptr for Pending and SetRefused.
const char* OutcomeText(Outcome outcome);

// A read reply is recognised by "1000" anywhere in its line, a field value included.
bool HasReadMark(const CString& strLine);

class Exchange {
public:
    // Received bytes, in arrival order.
    void TakeByte(char byte);
    std::uint32_t RxCount() const { return m_nRxCount; }
    const CString& Rx() const { return m_strRx; }

    // The sequence field of the next command; it advances with every command composed.
    int NextSequence() { return m_nSequence++; }
    int Sequence() const { return m_nSequence; }
    void CommandSent(const CString& strCommand) { m_strLastCommand = strCommand; }
    const CString& LastCommand() const { return m_strLastCommand; }

    // The read's poll ticks and the set's watchdog ticks share one count, which every end of an
    // operation starts afresh.
    // Counts a poll tick; whether it sends a request.
    bool ReadPollTick();
    // Whether the read has run out of ticks; the count starts afresh if so.
    bool ReadTimedOut();
    // Counts a watchdog tick; whether the set has run out of ticks (the count starts afresh).
    bool SetWatchdogTick();
    void EndOperation() { m_nTimeoutTicks = 0; }
    int TimeoutTicks() const { return m_nTimeoutTicks; }

    // Whether a reply tick looks at what has come in: enough bytes, and its line complete or gone
    // quiet since the last tick. The caller then lets the line settle before it takes it.
    bool ReplyDue(bool bLoraWan);
    // The text before the first line end; all of it when there is none or it starts with one.
    CString FirstLine() const;
    // Whether the first line is the echo of the last command. A line that is not goes alone, its
    // line end with it: what followed it waits for the next tick.
    bool TakeEcho();
    // Drops everything received.
    void Forget();

    // The latest step's end, readable from another thread.
    void Record(Outcome outcome) { m_outcome.store(outcome); }
    Outcome LastOutcome() const { return m_outcome.load(); }

private:
    std::uint32_t m_nRxCount = 0;
    std::uint32_t m_nRxCountAtLastTick = 0;  // tells a line still arriving from one gone quiet
    CString m_strRx;
    CString m_strLastCommand;
    int m_nSequence = 0;
    int m_nTimeoutTicks = 0;
    std::atomic<Outcome> m_outcome{Outcome::Pending};
};

}  // namespace sensor
