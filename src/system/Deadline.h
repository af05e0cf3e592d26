// Time left of a wait measured on a millisecond counter that wraps every 2^32 ms.
#pragma once

#include <cstdint>

namespace tolvane {

// Unsigned differences stay right across the wrap of the counter.
constexpr std::uint32_t TimeLeft(std::uint32_t start, std::uint32_t now, std::uint32_t total) {
    const std::uint32_t elapsed = now - start;
    return elapsed >= total ? 0 : total - elapsed;
}

}  // namespace tolvane
