// System functions whose DLLs load on first use, not with the program: a run that needs no
// window, no account functions, no port table and no shell never loads them. Each returns
// ERROR_PROC_NOT_FOUND (or fails as the function would) where the system lacks it.
#pragma once

#include <windows.h>
// After windows.h, which they need.
#include <commctrl.h>
#include <commdlg.h>
#include <iphlpapi.h>
#include <lm.h>

namespace tolvane::win32::ondemand {

// comctl32
BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* classes);

// shell32, in the COM apartment that its extensions ask of their callers, entered on first use.
HINSTANCE ShellExecuteW(HWND owner, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters, LPCWSTR folder,
                        INT show);

// netapi32
NET_API_STATUS NetUserGetInfo(LPCWSTR server, LPCWSTR name, DWORD level, LPBYTE* buffer);
NET_API_STATUS NetUserSetInfo(LPCWSTR server, LPCWSTR name, DWORD level, LPBYTE buffer,
                              LPDWORD badParameter);
NET_API_STATUS NetApiBufferFree(LPVOID buffer);
NET_API_STATUS NetGetJoinInformation(LPCWSTR server, LPWSTR* name, PNETSETUP_JOIN_STATUS status);

// iphlpapi: the plain tables of every version.
DWORD GetTcpTable(PMIB_TCPTABLE table, PDWORD size, BOOL order);
DWORD GetUdpTable(PMIB_UDPTABLE table, PDWORD size, BOOL order);
// Windows XP: the tables with the owning processes, allocated on the heap given (the caller frees
// them there); null where the system lacks them.
using StackTableFunction = DWORD(WINAPI*)(void** table, BOOL order, HANDLE heap, DWORD flags,
                                          DWORD family);
StackTableFunction TableFromStack(bool tcp);
// Windows XP Service Pack 2 and later, the same in a buffer of the caller's; the table's class as
// an int, without its enumeration.
using ExtendedTableFunction = DWORD(WINAPI*)(void* table, DWORD* size, BOOL order, ULONG family,
                                             int tableClass, ULONG reserved);
ExtendedTableFunction ExtendedTable(bool tcp);

// comdlg32: the standard Open and Save dialogs.
BOOL GetOpenFileNameW(LPOPENFILENAMEW dialog);
BOOL GetSaveFileNameW(LPOPENFILENAMEW dialog);

// uxtheme, Windows XP and later.
HRESULT SetWindowTheme(HWND window, LPCWSTR application, LPCWSTR idList);

// kernel32, Windows XP and later.
BOOL AttachConsole(DWORD processId);

// kernel32, Windows XP and later: the machine's processor (PROCESSOR_ARCHITECTURE_...), not the
// one WOW64 shows this program. Windows 2000, which lacks the function, has only 32-bit editions.
WORD NativeProcessorArchitecture();

// kernel32: this 32-bit process runs on 64-bit Windows. False where the system cannot tell (it
// lacks IsWow64Process, as Windows 2000 and XP before Service Pack 2 do).
bool UnderWow64();

// advapi32, 64-bit editions: deletes a key in the given view. Null where the system lacks it.
using DeleteKeyExFunction = LONG(WINAPI*)(HKEY key, LPCWSTR subKey, REGSAM access, DWORD reserved);
DeleteKeyExFunction RegDeleteKeyEx();

// kernel32, 64-bit editions: while it lives, this thread's paths to the system folders reach the
// 64-bit ones, not their 32-bit copies. Does nothing where the system lacks the functions.
class NativeFileSystemScope {
  public:
    NativeFileSystemScope();
    ~NativeFileSystemScope();
    NativeFileSystemScope(const NativeFileSystemScope&) = delete;
    NativeFileSystemScope& operator=(const NativeFileSystemScope&) = delete;

  private:
    void* previous_ = nullptr;
    bool disabled_ = false;
};

}  // namespace tolvane::win32::ondemand
