// The platform tests, and the small child programs some of them start: this same binary
// started with a switch.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "system/SystemInfo.h"
#include "system/win32/Win32System.h"

int wmain(int argc, wchar_t** argv) {
    if (argc >= 3 && std::wstring(argv[1]) == L"--sleep") {
        Sleep(static_cast<DWORD>(_wtoi(argv[2])));
        return 0;
    }
    if (argc >= 2 && std::wstring(argv[1]) == L"--os-code") {
        tolvane::win32::Win32System system;
        return tolvane::GetOsVersion(system);
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
