// The platform tests, and the small child programs some of them start: this same binary
// started with a switch, or with the record variable set.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "RecordStart.h"
#include "system/SystemInfo.h"
#include "system/win32/Handles.h"
#include "system/win32/Win32System.h"

namespace {

void RecordStart(const std::wstring& recordFile) {
    wchar_t own[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, own, MAX_PATH);
    const std::wstring line = std::wstring(own) + L": " + GetCommandLineW() + L"\r\n";
    const int size = WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), bytes.data(), size,
                        nullptr, nullptr);
    tolvane::win32::UniqueHandle file(CreateFileW(recordFile.c_str(), FILE_APPEND_DATA,
                                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    wchar_t recordFile[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableW(kRecordStartVariable, recordFile, MAX_PATH);
    if (length > 0 && length < MAX_PATH) {
        RecordStart(recordFile);
        // Not zero: a whole test run started with the variable set must not pass.
        return 2;
    }
    if (argc >= 3 && std::wstring(argv[1]) == L"--sleep") {
        Sleep(static_cast<DWORD>(_wtoi(argv[2])));
        return 0;
    }
    // Holds the machine lock until killed, having said so through the named event.
    if (argc >= 3 && std::wstring(argv[1]) == L"--hold-machine-lock") {
        tolvane::win32::Win32System system;
        const tolvane::MachineLockResult held = system.LockMachineForChanges(0);
        if (!held.lock) {
            return 3;
        }
        const tolvane::win32::UniqueHandle taken(OpenEventW(EVENT_MODIFY_STATE, FALSE, argv[2]));
        SetEvent(taken.get());
        Sleep(INFINITE);
    }
    // The Windows version, the product type and the service pack as the digits of one number.
    if (argc >= 2 && std::wstring(argv[1]) == L"--windows-version") {
        tolvane::win32::Win32System system;
        const tolvane::VersionInfo version = system.QueryVersion();
        return static_cast<int>(tolvane::WindowsVersionOf(version)) * 100 +
               static_cast<int>(version.productType) * 10 +
               static_cast<int>(version.servicePack % 10);
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
