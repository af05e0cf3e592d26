// The window's DLLs, user32 and gdi32, load with the first window call, not with the program: a
// run that makes no window (an audit, an apply, a restore) starts without them, and the loader
// would otherwise attach them, and the input method library user32 brings, to every run. Each
// function the program calls stands here as the pointer that the import table would have held: it
// starts at a stub that loads the DLL, finds the function, puts it in the pointer's place and
// calls it, so every later call goes straight to the system. Calls stay as they are written.
//
// Every function named here is one Windows 2000 exports (tests/imports checks it); one missing
// from the table stays imported, and the import check of the program names it.
#include <windows.h>

#include <cstddef>

#include "system/win32/SystemLibrary.h"

namespace tolvane::win32 {
namespace {

struct WindowDll {
    const wchar_t* name;
    HMODULE module = nullptr;
};
WindowDll user32Dll{L"user32.dll"};
WindowDll gdi32Dll{L"gdi32.dll"};

FARPROC Find(WindowDll& dll, const char* function) {
    if (!dll.module) {
        dll.module = SystemModule(dll.name);
    }
    const FARPROC found = dll.module ? GetProcAddress(dll.module, function) : nullptr;
    // As the loader refuses a program whose import is missing: every supported Windows has them.
    if (!found) {
        ExitProcess(ERROR_PROC_NOT_FOUND);
    }
    return found;
}

template <typename Function>
struct Late;

template <typename Result, typename... Arguments>
struct Late<Result(WINAPI*)(Arguments...)> {
    using Function = Result(WINAPI*)(Arguments...);
    // What a 32-bit stdcall name carries after its "@": the bytes of its arguments on the stack.
    static constexpr std::size_t kArgumentBytes =
        (std::size_t{0} + ... + ((sizeof(Arguments) + 3) & ~std::size_t{3}));

    template <Function& Slot, WindowDll& Dll, const char* Name>
    static Result WINAPI First(Arguments... arguments) {
        // A window class may have kept the stub's address: it finds the function only once.
        if (Slot == &First<Slot, Dll, Name>) {
            Slot = reinterpret_cast<Function>(reinterpret_cast<void (*)()>(Find(Dll, Name)));
        }
        return Slot(arguments...);
    }
};

}  // namespace
}  // namespace tolvane::win32

// The import pointer's name: __imp_ and the function's name; on 32-bit Windows the C prefix and
// the stdcall decoration as well.
#ifdef _WIN64
#define TOLVANE_IMPORT_SYMBOL(name, bytes) "__imp_" #name
#else
#define TOLVANE_IMPORT_SYMBOL(name, bytes) "__imp__" #name "@" #bytes
#endif

// Through a second macro, so that a name that windows.h maps to another (GetWindowLongPtrW on
// 32-bit Windows) is written as the one the calls reach.
#define TOLVANE_LATE(dll, name, bytes) TOLVANE_LATE_EXPANDED(dll, name, bytes)
#define TOLVANE_LATE_EXPANDED(dll, name, bytes)                                           \
    namespace tolvane::win32 {                                                            \
    namespace {                                                                           \
    constexpr char kName_##name[] = #name;                                                \
    static_assert(sizeof(void*) == 8 || Late<decltype(&::name)>::kArgumentBytes == bytes, \
                  #name " takes another number of argument bytes");                       \
    }                                                                                     \
    extern decltype(&::name) late_##name asm(TOLVANE_IMPORT_SYMBOL(name, bytes));         \
    decltype(&::name) late_##name =                                                       \
        &Late<decltype(&::name)>::First<late_##name, dll, kName_##name>;                  \
    }

TOLVANE_LATE(gdi32Dll, CreateFontIndirectW, 4)
TOLVANE_LATE(gdi32Dll, CreateSolidBrush, 4)
TOLVANE_LATE(gdi32Dll, DeleteObject, 4)
TOLVANE_LATE(gdi32Dll, GetDeviceCaps, 8)
TOLVANE_LATE(gdi32Dll, GetStockObject, 4)
TOLVANE_LATE(gdi32Dll, SelectObject, 8)
TOLVANE_LATE(gdi32Dll, SetBkColor, 8)
TOLVANE_LATE(gdi32Dll, SetTextColor, 8)

TOLVANE_LATE(user32Dll, AdjustWindowRectEx, 16)
TOLVANE_LATE(user32Dll, AppendMenuW, 16)
TOLVANE_LATE(user32Dll, BeginPaint, 8)
TOLVANE_LATE(user32Dll, CloseClipboard, 0)
TOLVANE_LATE(user32Dll, CreateMenu, 0)
TOLVANE_LATE(user32Dll, CreatePopupMenu, 0)
TOLVANE_LATE(user32Dll, CreateWindowExW, 48)
TOLVANE_LATE(user32Dll, DefWindowProcW, 16)
TOLVANE_LATE(user32Dll, DestroyMenu, 4)
TOLVANE_LATE(user32Dll, DestroyWindow, 4)
TOLVANE_LATE(user32Dll, DispatchMessageW, 4)
TOLVANE_LATE(user32Dll, EmptyClipboard, 0)
TOLVANE_LATE(user32Dll, EnableWindow, 8)
TOLVANE_LATE(user32Dll, EndPaint, 8)
TOLVANE_LATE(user32Dll, ExitWindowsEx, 8)
TOLVANE_LATE(user32Dll, FillRect, 12)
TOLVANE_LATE(user32Dll, GetAncestor, 8)
TOLVANE_LATE(user32Dll, GetClassInfoExW, 12)
TOLVANE_LATE(user32Dll, GetClientRect, 8)
TOLVANE_LATE(user32Dll, GetDC, 4)
TOLVANE_LATE(user32Dll, GetDlgCtrlID, 4)
TOLVANE_LATE(user32Dll, GetFocus, 0)
TOLVANE_LATE(user32Dll, GetForegroundWindow, 0)
TOLVANE_LATE(user32Dll, GetKeyState, 4)
TOLVANE_LATE(user32Dll, GetMessageW, 16)
TOLVANE_LATE(user32Dll, GetProcessWindowStation, 0)
TOLVANE_LATE(user32Dll, GetSystemMetrics, 4)
TOLVANE_LATE(user32Dll, GetThreadDesktop, 4)
TOLVANE_LATE(user32Dll, GetUserObjectInformationW, 20)
TOLVANE_LATE(user32Dll, GetWindowLongPtrW, 8)
TOLVANE_LATE(user32Dll, GetWindowTextLengthW, 4)
TOLVANE_LATE(user32Dll, GetWindowTextW, 12)
TOLVANE_LATE(user32Dll, InvalidateRect, 12)
TOLVANE_LATE(user32Dll, IsChild, 8)
TOLVANE_LATE(user32Dll, IsDialogMessageW, 8)
TOLVANE_LATE(user32Dll, IsWindow, 4)
TOLVANE_LATE(user32Dll, IsWindowEnabled, 4)
TOLVANE_LATE(user32Dll, IsWindowVisible, 4)
TOLVANE_LATE(user32Dll, KillTimer, 8)
TOLVANE_LATE(user32Dll, LoadCursorW, 8)
TOLVANE_LATE(user32Dll, LoadIconW, 8)
TOLVANE_LATE(user32Dll, LoadImageW, 24)
TOLVANE_LATE(user32Dll, MessageBoxW, 16)
TOLVANE_LATE(user32Dll, MsgWaitForMultipleObjects, 20)
TOLVANE_LATE(user32Dll, OpenClipboard, 4)
TOLVANE_LATE(user32Dll, PeekMessageW, 20)
TOLVANE_LATE(user32Dll, PostMessageW, 16)
TOLVANE_LATE(user32Dll, PostQuitMessage, 4)
TOLVANE_LATE(user32Dll, RegisterClassExW, 4)
TOLVANE_LATE(user32Dll, ReleaseDC, 8)
TOLVANE_LATE(user32Dll, RemovePropW, 8)
TOLVANE_LATE(user32Dll, ScreenToClient, 8)
TOLVANE_LATE(user32Dll, SendMessageW, 16)
TOLVANE_LATE(user32Dll, SetClipboardData, 8)
TOLVANE_LATE(user32Dll, SetCursor, 4)
TOLVANE_LATE(user32Dll, SetFocus, 4)
TOLVANE_LATE(user32Dll, SetPropW, 12)
TOLVANE_LATE(user32Dll, SetTimer, 16)
TOLVANE_LATE(user32Dll, SetWindowLongPtrW, 12)
TOLVANE_LATE(user32Dll, SetWindowPos, 28)
TOLVANE_LATE(user32Dll, SetWindowTextW, 8)
TOLVANE_LATE(user32Dll, ShowWindow, 8)
TOLVANE_LATE(user32Dll, TranslateMessage, 4)
TOLVANE_LATE(user32Dll, UpdateWindow, 4)
