// Account state and command log of the net.exe stand-in (tests/netstandin).
#include <windows.h>

#include <tlhelp32.h>

#include <algorithm>

#include "Driver.h"
#include "system/win32/Handles.h"

namespace tolvane::e2e {

namespace {

std::wstring FromUtf8(const std::string& bytes) {
    if (bytes.empty()) {
        return {};
    }
    const int size = static_cast<int>(bytes.size());
    const int length = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), size, nullptr, 0);
    std::wstring text(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes.data(), size, text.data(), length);
    return text;
}

// The stand-in may be writing; both sides share the file and retry on a sharing violation.
win32::UniqueHandle OpenLog() {
    const std::wstring path = NetLogPath();
    for (int attempt = 0; attempt < 100; ++attempt) {
        win32::UniqueHandle file(CreateFileW(
            path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file || GetLastError() != ERROR_SHARING_VIOLATION) {
            return file;
        }
        Sleep(10);
    }
    return win32::UniqueHandle();
}

}  // namespace

bool SetAccount(const std::wstring& name, bool active) {
    return SetString(kAccountsKey, name, active ? L"yes" : L"no");
}

bool RemoveAccount(const std::wstring& name) {
    return DeleteValue(kAccountsKey, name);
}

bool HoldAccountQuery(const std::wstring& name, bool held) {
    constexpr wchar_t kHeldQueriesKey[] = L"Software\\TolvaneTest\\HeldQueries";
    return held ? SetString(kHeldQueriesKey, name, L"held") : DeleteValue(kHeldQueriesKey, name);
}

std::optional<bool> AccountActive(const std::wstring& name) {
    const std::optional<RegValue> value = ReadValue(kAccountsKey, name);
    if (!value || value->type != REG_SZ) {
        return std::nullopt;
    }
    return lstrcmpiW(value->text.c_str(), L"yes") == 0;
}

std::wstring NetLogPath() {
    wchar_t windows[MAX_PATH];
    const UINT length = GetWindowsDirectoryW(windows, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return {};
    }
    return std::wstring(windows, length) + L"\\temp\\tolvane-net.log";
}

std::vector<std::wstring> NetLog() {
    std::vector<std::wstring> lines;
    const win32::UniqueHandle file = OpenLog();
    if (!(file)) {
        return lines;
    }
    std::string bytes;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file.get(), buffer, sizeof(buffer), &read, nullptr) && read > 0) {
        bytes.append(buffer, read);
    }
    const std::wstring text = FromUtf8(bytes);
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos) {
            end = text.size();
        }
        std::wstring line = text.substr(start, end - start);
        if (!line.empty() && line.back() == L'\r') {
            line.pop_back();
        }
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

bool WaitForNetCommand(const std::wstring& line, DWORD timeoutMs) {
    return WaitUntil(timeoutMs, [&]() {
        const std::vector<std::wstring> log = NetLog();
        return std::find(log.begin(), log.end(), line) != log.end();
    });
}

bool WaitForAccount(const std::wstring& name, bool active, DWORD timeoutMs) {
    return WaitUntil(timeoutMs,
                     [&]() { return AccountActive(name) == std::optional<bool>(active); });
}

bool WaitForNetToEnd(DWORD timeoutMs) {
    return WaitUntil(timeoutMs, []() {
        const win32::UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
        if (!snapshot) {
            return false;
        }
        PROCESSENTRY32W entry{};
        entry.dwSize = sizeof(entry);
        for (BOOL more = Process32FirstW(snapshot.get(), &entry); more;
             more = Process32NextW(snapshot.get(), &entry)) {
            if (lstrcmpiW(entry.szExeFile, L"net.exe") == 0) {
                return false;
            }
        }
        return true;
    });
}

bool ClearNetLog() {
    const std::wstring path = NetLogPath();
    for (int attempt = 0; attempt < 100; ++attempt) {
        if (DeleteFileW(path.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND ||
            GetLastError() == ERROR_PATH_NOT_FOUND) {
            return true;
        }
        Sleep(10);
    }
    return false;
}

}  // namespace tolvane::e2e
