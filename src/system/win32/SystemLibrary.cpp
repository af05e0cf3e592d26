#include "system/win32/SystemLibrary.h"

namespace tolvane::win32 {

std::wstring SystemFolder() {
    wchar_t buffer[MAX_PATH];
    const UINT length = GetSystemDirectoryW(buffer, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::wstring(buffer, length) : std::wstring();
}

FARPROC SystemFunction(const wchar_t* dllName, const char* functionName) {
    const std::wstring folder = SystemFolder();
    if (folder.empty()) {
        return nullptr;
    }
    const HMODULE module = LoadLibraryW((folder + L"\\" + dllName).c_str());
    return module ? GetProcAddress(module, functionName) : nullptr;
}

}  // namespace tolvane::win32
