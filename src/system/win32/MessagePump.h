// Waiting without spinning: windows keep handling their messages while the program waits.
#pragma once

#include <windows.h>

#include <cstdint>

namespace tolvane::win32 {

// Waits until the handle is signalled (or, without a handle, until the time is up), handling
// window messages meanwhile. True when the handle was signalled.
bool WaitPumping(HANDLE handle, std::int32_t milliseconds);

}  // namespace tolvane::win32
