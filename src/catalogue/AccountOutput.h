// Reading `net user`'s saved report. Pure: no file and no window, so it can be fuzzed.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tolvane {

// Missing: there is no such account here (no help assistant on Windows 2000, or one removed).
enum class AccountState : std::uint8_t { Active, Inactive, Unknown, Missing };

// The text after the key, past the next separator, up to the end of its line (either of the two
// characters); with all occurrences, every such text joined by CR LF. Each byte is one character
// of code page 1252.
std::wstring FindValueInText(std::string_view bytes, const std::wstring& key, bool allOccurrences,
                             const std::wstring& separator, wchar_t lineEnd, wchar_t otherLineEnd);

// The state of an account from the value found after the account-active key.
AccountState AccountStateOf(const std::wstring& value);

}  // namespace tolvane
