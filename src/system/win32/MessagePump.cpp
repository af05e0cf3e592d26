#include "system/win32/MessagePump.h"

#include <algorithm>

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

// A thread of a program that has not loaded user32 has neither windows nor a message queue:
// nothing to handle, and loading user32 only to wait would cost a run without a window the
// start-up it saved.
bool HasWindowLibrary() {
    return GetModuleHandleW(L"user32.dll") != nullptr;
}

// Drops the handles already signalled; true when none is left.
bool DropSignalled(std::vector<HANDLE>& handles) {
    std::erase_if(handles, [](HANDLE h) { return WaitForSingleObject(h, 0) == WAIT_OBJECT_0; });
    return handles.empty();
}

}  // namespace

bool WaitPumpingForAll(std::vector<HANDLE> handles, std::int32_t milliseconds) {
    const bool forHandles = !handles.empty();
    // Waiting for all at once would wait for input as well: each signalled one is dropped instead.
    if (milliseconds <= 0 || handles.size() >= MAXIMUM_WAIT_OBJECTS) {
        return forHandles && DropSignalled(handles);
    }
    const DWORD total = static_cast<DWORD>(milliseconds);
    if (!HasWindowLibrary()) {
        if (!forHandles) {
            Sleep(total);
            return false;
        }
        return WaitForMultipleObjects(static_cast<DWORD>(handles.size()), handles.data(), TRUE,
                                      total) < WAIT_OBJECT_0 + handles.size();
    }
    const DWORD start = GetTickCount();
    // Messages already queued would not wake the wait below.
    bool pumping = PumpPending();
    for (;;) {
        const DWORD left = TimeLeft(start, GetTickCount(), total);
        if (left == 0 || !pumping) {
            return forHandles && DropSignalled(handles);
        }
        const DWORD count = static_cast<DWORD>(handles.size());
        const DWORD result =
            MsgWaitForMultipleObjects(count, handles.data(), FALSE, left, QS_ALLINPUT);
        if (result < WAIT_OBJECT_0 + count) {
            if (DropSignalled(handles)) {
                return true;
            }
        } else if (result == WAIT_OBJECT_0 + count) {
            pumping = PumpPending();
        } else if (result == WAIT_FAILED) {
            return false;
        }
    }
}

bool WaitPumping(HANDLE handle, std::int32_t milliseconds) {
    return WaitPumpingForAll(handle ? std::vector<HANDLE>{handle} : std::vector<HANDLE>{},
                             milliseconds);
}

}  // namespace tolvane::win32
