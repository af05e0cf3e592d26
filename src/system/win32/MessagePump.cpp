#include "system/win32/MessagePump.h"

#include "system/Deadline.h"

namespace tolvane::win32 {
namespace {

// False once WM_QUIT arrives; it is posted again for the main loop to see.
bool PumpPending() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return true;
}

}  // namespace

bool WaitPumping(HANDLE handle, std::int32_t milliseconds) {
    if (milliseconds <= 0) {
        return handle && WaitForSingleObject(handle, 0) == WAIT_OBJECT_0;
    }
    const DWORD total = static_cast<DWORD>(milliseconds);
    const DWORD start = GetTickCount();
    // Messages already queued would not wake the wait below.
    PumpPending();
    for (;;) {
        const DWORD left = TimeLeft(start, GetTickCount(), total);
        if (left == 0) {
            return handle && WaitForSingleObject(handle, 0) == WAIT_OBJECT_0;
        }
        const DWORD count = handle ? 1 : 0;
        const DWORD result =
            MsgWaitForMultipleObjects(count, handle ? &handle : nullptr, FALSE, left, QS_ALLINPUT);
        if (handle && result == WAIT_OBJECT_0) {
            return true;
        }
        if (result == WAIT_OBJECT_0 + count && !PumpPending()) {
            return handle && WaitForSingleObject(handle, 0) == WAIT_OBJECT_0;
        }
        if (result == WAIT_FAILED) {
            return false;
        }
    }
}

}  // namespace tolvane::win32
