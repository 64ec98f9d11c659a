// What the process's threads did over a measurement, to tell our own cost from the machine's
// load: CPU time (every thread, user and system), the time they were ready to run but waited
// for a core (other programs' load on a shared machine), and context switches (voluntary ones
// are sleeps, involuntary ones are preemption or yields).
#pragma once

struct ProcessStats {
    double cpuSeconds = 0;
    double runQueueSeconds = 0;  // threads alive at both samples only
    long voluntarySwitches = 0;
    long involuntarySwitches = 0;
};

ProcessStats SampleProcessStats();
ProcessStats operator-(const ProcessStats& after, const ProcessStats& before);
