// The byte-path measurements, as Google Benchmark functions with manual time: a flood through the
// tool's port monitor to a window handler on the receiver's thread, the same flood through
// Python's per-byte reader, and the two halves of the monitor's per-byte work on their own
// (reading the port a byte at a time, and the cross-thread SendMessage) to show where time goes.
#pragma once

#include <benchmark/benchmark.h>

#include <string>

#include "tests/bench/byte_receiver.h"
#include "tests/bench/port_rig.h"

// The port the receiver's monitor reads, and the spare lines for the other readers.
constexpr int kMonitorCom = 1;
constexpr int kPythonCom = 2;
constexpr int kDirectCom = 3;
constexpr int kRigLines = 3;

// Registers the flood through the monitor and the hand-off alone, named BytePath/<presenter> and
// HandOff/<presenter>; withComparisons adds the port read alone and Python's reader. The monitor
// must already run on kMonitorCom for the receiver.
void RegisterBytePathBenchmarks(const std::string& presenter, PortRig& rig, ByteReceiver& receiver,
                                bool withComparisons);
