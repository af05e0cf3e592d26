// Reading `net user`'s saved report. Pure: no file and no window, so it can be fuzzed.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tolvane {

inline constexpr std::int16_t kAccountInactive = 1;
inline constexpr std::int16_t kAccountActive = 0;
inline constexpr std::int16_t kAccountUnknown = -1;

// The same search over the file's bytes, each byte one character of code page 1252.
std::wstring FindValueInText(std::string_view bytes, const std::wstring& key, bool allOccurrences,
                             const std::wstring& separator, wchar_t endCharacter1,
                             wchar_t endCharacter2);

// The state code of a value found after the account-active key.
std::int16_t AccountStateOf(const std::wstring& value);

}  // namespace tolvane
