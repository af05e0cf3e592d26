// The files the build carries as resources, read back from their sources for comparison.
#pragma once

#include <string>

#include "system/SystemInfo.h"
#include "system/win32/Win32System.h"

namespace tolvane::win32 {

inline std::string Bytes(Win32System& system, const std::wstring& path) {
    return ReadFileBytes(system, path, 1 << 20).bytes.value_or("(unreadable)");
}

// The source file the build carried, through Wine's drive for the Linux file system: in the
// folder TOLVANE_RESOURCES names (a Windows path, where the tests run on another machine than
// the build's), else where the build found it.
inline std::wstring SourceOf(const wchar_t* name) {
    wchar_t given[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableW(L"TOLVANE_RESOURCES", given, MAX_PATH);
    std::wstring path = L"Z:";
    if (length > 0 && length < MAX_PATH) {
        path = given;
    } else {
        for (const char* c = TOLVANE_RESOURCES_DIR; *c; ++c) {
            path.push_back(*c == '/' ? L'\\' : static_cast<wchar_t>(*c));
        }
    }
    return path + L"\\" + name;
}

}  // namespace tolvane::win32
