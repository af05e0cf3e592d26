// What the Windows benchmarks share: a millisecond clock and the median of a series.
#pragma once

#include <windows.h>

#include <algorithm>
#include <vector>

namespace tolvane::bench {

inline double Now() {
    LARGE_INTEGER counter;
    LARGE_INTEGER frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// -1 for an empty series.
inline double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? -1 : values[values.size() / 2];
}

}  // namespace tolvane::bench
