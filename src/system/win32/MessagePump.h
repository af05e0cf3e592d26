// Waiting without spinning: windows keep handling their messages while the program waits.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

namespace tolvane::win32 {

// Waits until the handle is signalled (or, without a handle, until the time is up), handling
// window messages meanwhile. True when the handle was signalled.
bool WaitPumping(HANDLE handle, std::int32_t milliseconds);
// The same until every handle is signalled (fewer than MAXIMUM_WAIT_OBJECTS of them).
bool WaitPumpingForAll(std::vector<HANDLE> handles, std::int32_t milliseconds);

}  // namespace tolvane::win32
