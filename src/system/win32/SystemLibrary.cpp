#include "system/win32/SystemLibrary.h"

#include <string>

namespace tolvane::win32 {

SystemLibrary::SystemLibrary(const wchar_t* fileName) {
    wchar_t folder[MAX_PATH];
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return;
    }
    const std::wstring path = std::wstring(folder, length) + L"\\" + fileName;
    module_.reset(LoadLibraryW(path.c_str()));
}

}  // namespace tolvane::win32
