// Decimal text of a number, without the C library's formatted printing.
#pragma once

#include <cstdint>
#include <string>

namespace tolvane {

inline std::wstring Decimal(std::uint32_t number) {
    wchar_t digits[10];
    int count = 0;
    do {
        digits[count++] = static_cast<wchar_t>(L'0' + number % 10);
        number /= 10;
    } while (number != 0);
    std::wstring text;
    while (count > 0) {
        text.push_back(digits[--count]);
    }
    return text;
}

}  // namespace tolvane
