#include "system/win32/SystemLibrary.h"

namespace tolvane::win32 {
namespace {

// Windows XP and later: the manifest's side-by-side assemblies (version 6 of the common controls)
// answer to a DLL's bare name. Their full path is in the side-by-side store, not the system folder.
bool RedirectedByManifest(const wchar_t* dllName) {
    const auto find =
        reinterpret_cast<decltype(&FindActCtxSectionStringW)>(reinterpret_cast<void (*)()>(
            GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "FindActCtxSectionStringW")));
    ACTCTX_SECTION_KEYED_DATA data{};
    data.cbSize = sizeof(data);
    return find && find(0, nullptr, ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION, dllName, &data);
}

}  // namespace

std::wstring SystemFolder() {
    wchar_t buffer[MAX_PATH];
    const UINT length = GetSystemDirectoryW(buffer, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::wstring(buffer, length) : std::wstring();
}

HMODULE SystemModule(const wchar_t* dllName) {
    const std::wstring folder = SystemFolder();
    if (folder.empty()) {
        return nullptr;
    }
    return LoadLibraryW(RedirectedByManifest(dllName) ? dllName
                                                      : (folder + L"\\" + dllName).c_str());
}

FARPROC SystemFunction(const wchar_t* dllName, const char* functionName) {
    const HMODULE module = SystemModule(dllName);
    return module ? GetProcAddress(module, functionName) : nullptr;
}

}  // namespace tolvane::win32
