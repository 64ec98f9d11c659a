// The byte-path measurements as Google Benchmark functions with manual time: a flood through the
// tool's port monitor to a window handler on the receiver's thread, and the same flood through
// Python's per-byte reader.
#pragma once

#include <benchmark/benchmark.h>

#include <string>

#include "tests/bench/byte_receiver.h"
#include "tests/bench/port_rig.h"

constexpr int kMonitorCom = 1;
constexpr int kPythonCom = 2;
constexpr int kRigLines = 2;

// Registers BytePath/<presenter>, and PythonPerByteReader withPython. The monitor must already
// run on kMonitorCom for the receiver.
void RegisterBytePathBenchmarks(const std::string& presenter, PortRig& rig, ByteReceiver& receiver,
                                bool withPython);
