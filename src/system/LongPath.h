// Paths past the classic limit of 259 characters, which the wide file functions take from
// Windows 2000 on only in their "\\?\" form.
#pragma once

#include <cstddef>
#include <string>

namespace tolvane {

// The longest path the file functions take as written (MAX_PATH less its terminating null).
inline constexpr std::size_t kMostPathCharacters = 259;

// The "\\?\" form of a full path ("\\?\UNC\server\share\..." for a share); a path already in that
// form, or a device path, as it is. The path must be full: the form turns off every
// normalisation, so "." and ".." would be names.
inline std::wstring LongPathForm(const std::wstring& fullPath) {
    if (fullPath.starts_with(L"\\\\?\\") || fullPath.starts_with(L"\\\\.\\")) {
        return fullPath;
    }
    if (fullPath.starts_with(L"\\\\")) {
        return L"\\\\?\\UNC\\" + fullPath.substr(2);
    }
    return L"\\\\?\\" + fullPath;
}

}  // namespace tolvane
