// A library of the system folder loaded while the program runs, for the functions that some
// Windows versions lack or that the program needs only now and then.
#pragma once

#include <windows.h>

#include "system/win32/Handles.h"

namespace tolvane::win32 {

class SystemLibrary {
  public:
    // The file name alone ("netapi32.dll"): the library is always loaded by its full path in the
    // system folder, never found by the search order, which starts in the program's folder.
    explicit SystemLibrary(const wchar_t* fileName);

    // The exported function, or null when the library or the function is missing.
    template <typename Function>
    Function Find(const char* name) const {
        const FARPROC found = module_ ? GetProcAddress(module_.get(), name) : nullptr;
        return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
    }

  private:
    UniqueResource<HMODULE, NullTraits<HMODULE, FreeLibrary>> module_;
};

}  // namespace tolvane::win32
