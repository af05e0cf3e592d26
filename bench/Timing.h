// What the Windows benchmarks share: a millisecond clock, the median of a series and the spread
// of the ratios of two series run side by side.
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

// The middle value, or the mean of the two middle ones; -1 for an empty series.
inline double Median(std::vector<double> values) {
    if (values.empty()) {
        return -1;
    }
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

struct Ratios {
    double median = -1;
    double min = -1;
    double max = -1;
};

// The ratios of the two series round by round (the same round shares the machine's state),
// over the rounds where both have a time; -1 throughout when none has.
inline Ratios PairRatios(const std::vector<double>& numerators,
                         const std::vector<double>& denominators) {
    std::vector<double> ratios;
    for (std::size_t i = 0; i < numerators.size() && i < denominators.size(); ++i) {
        if (numerators[i] > 0 && denominators[i] > 0) {
            ratios.push_back(numerators[i] / denominators[i]);
        }
    }
    if (ratios.empty()) {
        return {};
    }
    const auto [low, high] = std::minmax_element(ratios.begin(), ratios.end());
    return {Median(ratios), *low, *high};
}

}  // namespace tolvane::bench
