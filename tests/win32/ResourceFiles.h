// The files the build carries as resources, read back from their sources for comparison.
#pragma once

#include <string>

#include "system/SystemInfo.h"
#include "system/win32/Win32System.h"

namespace tolvane::win32 {

inline std::string Bytes(Win32System& system, const std::wstring& path) {
    return ReadFileBytes(system, path, 1 << 20).bytes.value_or("(unreadable)");
}

// The source file the build carried, through Wine's drive for the Linux file system.
inline std::wstring SourceOf(const wchar_t* name) {
    std::wstring path = L"Z:";
    for (const char* c = TOLVANE_RESOURCES_DIR; *c; ++c) {
        path.push_back(*c == '/' ? L'\\' : static_cast<wchar_t>(*c));
    }
    return path + L"\\" + name;
}

}  // namespace tolvane::win32
