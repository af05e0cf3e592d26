// Registry helpers for tests: prepare values under HKLM before a run and read them back after.
#include <windows.h>

#include <sddl.h>
#include <shlwapi.h>

#include <cstdio>
#include <map>
#include <mutex>

#include "Driver.h"
#include "system/win32/Handles.h"

namespace tolvane::e2e {

namespace {

win32::UniqueRegKey OpenKey(const std::wstring& keyPath, REGSAM access) {
    win32::UniqueRegKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, access, key.put()) != ERROR_SUCCESS) {
        key.reset();
    }
    return key;
}

win32::UniqueRegKey CreateKey(const std::wstring& keyPath, REGSAM access) {
    win32::UniqueRegKey key;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, nullptr, 0, access, nullptr,
                        key.put(), nullptr) != ERROR_SUCCESS) {
        key.reset();
    }
    return key;
}

bool SetRaw(const std::wstring& keyPath, const std::wstring& name, DWORD type, const void* data,
            DWORD bytes) {
    const win32::UniqueRegKey key = CreateKey(keyPath, KEY_SET_VALUE);
    return key && RegSetValueExW(key.get(), name.c_str(), 0, type, static_cast<const BYTE*>(data),
                                 bytes) == ERROR_SUCCESS;
}

std::wstring AsText(DWORD type, const std::vector<BYTE>& data) {
    if (type == REG_DWORD && data.size() >= sizeof(DWORD)) {
        DWORD value = 0;
        memcpy(&value, data.data(), sizeof(value));
        return std::to_wstring(value);
    }
    if (type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ) {
        std::wstring text(reinterpret_cast<const wchar_t*>(data.data()),
                          data.size() / sizeof(wchar_t));
        while (!text.empty() && text.back() == L'\0') {
            text.pop_back();
        }
        for (wchar_t& c : text) {
            if (c == L'\0') {
                c = L'\n';
            }
        }
        return text;
    }
    std::wstring text;
    for (const BYTE byte : data) {
        wchar_t pair[4];
        swprintf(pair, 4, L"%02x", byte);
        text += text.empty() ? L"" : L",";
        text += pair;
    }
    return text;
}

// The rules each key had before DenyWrites, in SDDL, for AllowWrites to put back.
std::mutex savedMutex;
std::map<std::wstring, std::wstring> savedRules;

bool SetRules(const std::wstring& keyPath, const wchar_t* sddl) {
    win32::UniqueLocal descriptor;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(
            sddl, SDDL_REVISION_1, reinterpret_cast<PSECURITY_DESCRIPTOR*>(descriptor.put()),
            nullptr)) {
        return false;
    }
    const win32::UniqueRegKey key = OpenKey(keyPath, WRITE_DAC);
    return key && RegSetKeySecurity(key.get(), DACL_SECURITY_INFORMATION, descriptor.get()) ==
                      ERROR_SUCCESS;
}

std::optional<std::wstring> CurrentRules(const std::wstring& keyPath) {
    const win32::UniqueRegKey key = OpenKey(keyPath, READ_CONTROL);
    if (!(key)) {
        return std::nullopt;
    }
    DWORD bytes = 0;
    RegGetKeySecurity(key.get(), DACL_SECURITY_INFORMATION, nullptr, &bytes);
    std::vector<BYTE> descriptor(bytes);
    if (bytes == 0 || RegGetKeySecurity(key.get(), DACL_SECURITY_INFORMATION, descriptor.data(),
                                        &bytes) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    win32::UniqueLocal text;
    if (!ConvertSecurityDescriptorToStringSecurityDescriptorW(
            descriptor.data(), SDDL_REVISION_1, DACL_SECURITY_INFORMATION,
            reinterpret_cast<LPWSTR*>(text.put()), nullptr)) {
        return std::nullopt;
    }
    return std::wstring(static_cast<const wchar_t*>(text.get()));
}

}  // namespace

bool SetDword(const std::wstring& keyPath, const std::wstring& name, DWORD value) {
    return SetRaw(keyPath, name, REG_DWORD, &value, sizeof(value));
}

bool SetString(const std::wstring& keyPath, const std::wstring& name, const std::wstring& value) {
    const DWORD bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
    return SetRaw(keyPath, name, REG_SZ, value.c_str(), bytes);
}

bool SetMultiString(const std::wstring& keyPath, const std::wstring& name,
                    const std::vector<std::wstring>& strings) {
    std::wstring data;
    for (const std::wstring& text : strings) {
        data += text;
        data.push_back(L'\0');
    }
    data.push_back(L'\0');
    return SetRaw(keyPath, name, REG_MULTI_SZ, data.data(),
                  static_cast<DWORD>(data.size() * sizeof(wchar_t)));
}

bool DeleteValue(const std::wstring& keyPath, const std::wstring& name) {
    const win32::UniqueRegKey key = OpenKey(keyPath, KEY_SET_VALUE);
    if (!(key)) {
        return !KeyExists(keyPath);
    }
    const LONG status = RegDeleteValueW(key.get(), name.c_str());
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

bool DeleteKey(const std::wstring& keyPath) {
    const DWORD status = SHDeleteKeyW(HKEY_LOCAL_MACHINE, keyPath.c_str());
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

bool KeyExists(const std::wstring& keyPath) {
    return static_cast<bool>(OpenKey(keyPath, KEY_READ));
}

std::optional<RegValue> ReadValue(const std::wstring& keyPath, const std::wstring& name) {
    const win32::UniqueRegKey key = OpenKey(keyPath, KEY_QUERY_VALUE);
    if (!(key)) {
        return std::nullopt;
    }
    DWORD type = 0;
    DWORD bytes = 0;
    if (RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, nullptr, &bytes) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    std::vector<BYTE> data(bytes);
    if (RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, data.data(), &bytes) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    data.resize(bytes);
    return RegValue{type, AsText(type, data)};
}

bool DenyWrites(const std::wstring& keyPath) {
    if (!CreateKey(keyPath, KEY_READ)) {
        return false;
    }
    const std::optional<std::wstring> before = CurrentRules(keyPath);
    if (before) {
        const std::lock_guard lock(savedMutex);
        savedRules.try_emplace(keyPath, *before);
    }
    return SetRules(keyPath, L"D:P(A;;KR;;;WD)");
}

bool AllowWrites(const std::wstring& keyPath) {
    std::wstring rules = L"D:(A;;KA;;;WD)";
    {
        const std::lock_guard lock(savedMutex);
        const auto saved = savedRules.find(keyPath);
        if (saved != savedRules.end()) {
            rules = saved->second;
            savedRules.erase(saved);
        }
    }
    return SetRules(keyPath, rules.c_str());
}

}  // namespace tolvane::e2e
