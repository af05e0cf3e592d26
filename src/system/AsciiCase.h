// Letter case folded for ASCII alone: registry paths and the names of services and programs are
// ASCII, and the C library's wide case functions are not imports every supported Windows is
// known to have.
#pragma once

#include <algorithm>
#include <string>
#include <string_view>

namespace tolvane {

inline wchar_t AsciiLower(wchar_t c) {
    return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

inline std::wstring AsciiLowered(std::wstring text) {
    for (wchar_t& c : text) {
        c = AsciiLower(c);
    }
    return text;
}

inline bool SameIgnoringCase(std::wstring_view a, std::wstring_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](wchar_t x, wchar_t y) { return AsciiLower(x) == AsciiLower(y); });
}

}  // namespace tolvane
