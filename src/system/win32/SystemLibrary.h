// The one place that loads the system's DLLs at run time: those that not every supported Windows
// has, and those that only some runs need, so that the others start without them.
#pragma once

#include <windows.h>

#include <string>

namespace tolvane::win32 {

// The system folder (System32), without a trailing backslash; empty when it cannot be had.
std::wstring SystemFolder();

// A DLL of the system folder, loaded by its full path, never by a bare name that a planted copy
// could answer to (unless the program's manifest redirects that name to the side-by-side store,
// which the loader then searches first); it stays loaded for the rest of the program. Null where
// this Windows lacks it.
HMODULE SystemModule(const wchar_t* dllName);

// A function of such a DLL; null where this Windows lacks the DLL or the function.
FARPROC SystemFunction(const wchar_t* dllName, const char* functionName);

// The same, as the function's own type.
template <typename Function>
Function SystemFunction(const wchar_t* dllName, const char* functionName) {
    // Through the one function type the compiler takes as any function's.
    return reinterpret_cast<Function>(
        reinterpret_cast<void (*)()>(SystemFunction(dllName, functionName)));
}

}  // namespace tolvane::win32
