// The memory a benchmarked process has used, as the system counts it for another process.
#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <psapi.h>

namespace tolvane::bench {

// The most memory the process has had in its working set at once, in KiB, or -1 when the system
// will not tell (under Wine, once the process has ended).
inline double PeakWorkingSetKb(HANDLE process) {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    return GetProcessMemoryInfo(process, &counters, sizeof(counters))
               ? static_cast<double>(counters.PeakWorkingSetSize) / 1024.0
               : -1;
}

}  // namespace tolvane::bench
