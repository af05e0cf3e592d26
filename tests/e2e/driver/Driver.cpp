// The test environment: paths handed over by run-under-wine.sh and Wine's reported version.
#include "Driver.h"

#include "system/win32/Handles.h"

namespace tolvane::e2e {

namespace {

std::wstring Environment(const wchar_t* name) {
    const DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
    if (size == 0) {
        return {};
    }
    std::wstring value(size, L'\0');
    const DWORD length = GetEnvironmentVariableW(name, value.data(), size);
    value.resize(length < size ? length : 0);
    return value;
}

}  // namespace

std::wstring TolvaneExePath() {
    return Environment(L"TOLVANE_EXE");
}

std::wstring ShotsDir() {
    return Environment(L"TOLVANE_SHOTS");
}

bool Fat32Drive() {
    return !Environment(L"TOLVANE_FAT32").empty();
}

bool SetWindowsVersion(const wchar_t* name) {
    win32::UniqueRegKey key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine", 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        key.put(), nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const DWORD bytes = static_cast<DWORD>((lstrlenW(name) + 1) * sizeof(wchar_t));
    return RegSetValueExW(key.get(), L"Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(name),
                          bytes) == ERROR_SUCCESS;
}

}  // namespace tolvane::e2e
