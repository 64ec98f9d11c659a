// The timing of the read ("Sensor Initial") and set ("Sensor Set") operations, and how received
// text is looked at. The main dialog runs the operations from its window timers, with the
// progress dialog shown while they run.
#pragma once

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

std::uint32_t ReplyThreshold(bool bLoraWan);
// The text before the first line end; all of it when there is none or the text starts with one.
CString FirstLine(const CString& strRx);
// A read reply is recognised by "1000" anywhere in its line, a field value included.
bool HasReadMark(const CString& strLine);

}  // namespace sensor
