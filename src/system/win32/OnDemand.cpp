#include "system/win32/OnDemand.h"

// After windows.h, which they need.
#include <objbase.h>
#include <shellapi.h>
#include <uxtheme.h>

#include "system/win32/SystemLibrary.h"

namespace tolvane::win32::ondemand {
namespace {

// Some shell extensions refuse to open a web address for a thread outside an apartment.
class ComApartment {
  public:
    ComApartment() {
        static const auto initialize =
            SystemFunction<decltype(&::CoInitializeEx)>(L"ole32.dll", "CoInitializeEx");
        entered_ = initialize && SUCCEEDED(initialize(nullptr, COINIT_APARTMENTTHREADED));
    }
    ~ComApartment() {
        static const auto uninitialize =
            SystemFunction<decltype(&::CoUninitialize)>(L"ole32.dll", "CoUninitialize");
        if (entered_ && uninitialize) {
            uninitialize();
        }
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

  private:
    bool entered_ = false;
};

}  // namespace

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* classes) {
    static const auto function =
        SystemFunction<decltype(&::InitCommonControlsEx)>(L"comctl32.dll", "InitCommonControlsEx");
    return function ? function(classes) : FALSE;
}

HINSTANCE ShellExecuteW(HWND owner, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters, LPCWSTR folder,
                        INT show) {
    // Left when the program ends, on this same thread.
    static const ComApartment apartment;
    static const auto function =
        SystemFunction<decltype(&::ShellExecuteW)>(L"shell32.dll", "ShellExecuteW");
    return function ? function(owner, verb, file, parameters, folder, show) : nullptr;
}

BOOL GetOpenFileNameW(LPOPENFILENAMEW dialog) {
    static const auto function =
        SystemFunction<decltype(&::GetOpenFileNameW)>(L"comdlg32.dll", "GetOpenFileNameW");
    return function ? function(dialog) : FALSE;
}

BOOL GetSaveFileNameW(LPOPENFILENAMEW dialog) {
    static const auto function =
        SystemFunction<decltype(&::GetSaveFileNameW)>(L"comdlg32.dll", "GetSaveFileNameW");
    return function ? function(dialog) : FALSE;
}

NET_API_STATUS NetUserGetInfo(LPCWSTR server, LPCWSTR name, DWORD level, LPBYTE* buffer) {
    static const auto function =
        SystemFunction<decltype(&::NetUserGetInfo)>(L"netapi32.dll", "NetUserGetInfo");
    return function ? function(server, name, level, buffer) : ERROR_PROC_NOT_FOUND;
}

NET_API_STATUS NetUserSetInfo(LPCWSTR server, LPCWSTR name, DWORD level, LPBYTE buffer,
                              LPDWORD badParameter) {
    static const auto function =
        SystemFunction<decltype(&::NetUserSetInfo)>(L"netapi32.dll", "NetUserSetInfo");
    return function ? function(server, name, level, buffer, badParameter) : ERROR_PROC_NOT_FOUND;
}

NET_API_STATUS NetApiBufferFree(LPVOID buffer) {
    static const auto function =
        SystemFunction<decltype(&::NetApiBufferFree)>(L"netapi32.dll", "NetApiBufferFree");
    return function ? function(buffer) : ERROR_PROC_NOT_FOUND;
}

NET_API_STATUS NetGetJoinInformation(LPCWSTR server, LPWSTR* name, PNETSETUP_JOIN_STATUS status) {
    static const auto function = SystemFunction<decltype(&::NetGetJoinInformation)>(
        L"netapi32.dll", "NetGetJoinInformation");
    return function ? function(server, name, status) : ERROR_PROC_NOT_FOUND;
}

DWORD GetTcpTable(PMIB_TCPTABLE table, PDWORD size, BOOL order) {
    static const auto function =
        SystemFunction<decltype(&::GetTcpTable)>(L"iphlpapi.dll", "GetTcpTable");
    return function ? function(table, size, order) : ERROR_PROC_NOT_FOUND;
}

DWORD GetUdpTable(PMIB_UDPTABLE table, PDWORD size, BOOL order) {
    static const auto function =
        SystemFunction<decltype(&::GetUdpTable)>(L"iphlpapi.dll", "GetUdpTable");
    return function ? function(table, size, order) : ERROR_PROC_NOT_FOUND;
}

StackTableFunction TableFromStack(bool tcp) {
    static const auto tcpTable =
        SystemFunction<StackTableFunction>(L"iphlpapi.dll", "AllocateAndGetTcpExTableFromStack");
    static const auto udpTable =
        SystemFunction<StackTableFunction>(L"iphlpapi.dll", "AllocateAndGetUdpExTableFromStack");
    return tcp ? tcpTable : udpTable;
}

ExtendedTableFunction ExtendedTable(bool tcp) {
    static const auto tcpTable =
        SystemFunction<ExtendedTableFunction>(L"iphlpapi.dll", "GetExtendedTcpTable");
    static const auto udpTable =
        SystemFunction<ExtendedTableFunction>(L"iphlpapi.dll", "GetExtendedUdpTable");
    return tcp ? tcpTable : udpTable;
}

HRESULT SetWindowTheme(HWND window, LPCWSTR application, LPCWSTR idList) {
    static const auto function =
        SystemFunction<decltype(&::SetWindowTheme)>(L"uxtheme.dll", "SetWindowTheme");
    return function ? function(window, application, idList) : E_NOTIMPL;
}

BOOL AttachConsole(DWORD processId) {
    static const auto function =
        SystemFunction<decltype(&::AttachConsole)>(L"kernel32.dll", "AttachConsole");
    return function ? function(processId) : FALSE;
}

WORD NativeProcessorArchitecture() {
    static const auto function =
        SystemFunction<void(WINAPI*)(LPSYSTEM_INFO)>(L"kernel32.dll", "GetNativeSystemInfo");
    SYSTEM_INFO info{};
    info.wProcessorArchitecture = PROCESSOR_ARCHITECTURE_INTEL;
    if (function) {
        function(&info);
    }
    return info.wProcessorArchitecture;
}

bool UnderWow64() {
    using Function = BOOL(WINAPI*)(HANDLE process, PBOOL wow64);
    static const auto function = SystemFunction<Function>(L"kernel32.dll", "IsWow64Process");
    BOOL wow64 = FALSE;
    return function && function(GetCurrentProcess(), &wow64) && wow64;
}

DeleteKeyExFunction RegDeleteKeyEx() {
    static const auto function =
        SystemFunction<DeleteKeyExFunction>(L"advapi32.dll", "RegDeleteKeyExW");
    return function;
}

namespace {

using DisableRedirection = BOOL(WINAPI*)(PVOID* previous);
using RevertRedirection = BOOL(WINAPI*)(PVOID previous);

// Both looked up before any redirection is off: a DLL loaded by its path meanwhile would be the
// 64-bit one.
RevertRedirection RevertFunction() {
    static const auto revert =
        SystemFunction<RevertRedirection>(L"kernel32.dll", "Wow64RevertWow64FsRedirection");
    return revert;
}

}  // namespace

NativeFileSystemScope::NativeFileSystemScope() {
    static const auto disable =
        SystemFunction<DisableRedirection>(L"kernel32.dll", "Wow64DisableWow64FsRedirection");
    // Never off without the means to turn it back on.
    disabled_ = disable && RevertFunction() && disable(&previous_);
}

NativeFileSystemScope::~NativeFileSystemScope() {
    if (disabled_) {
        RevertFunction()(previous_);
    }
}

}  // namespace tolvane::win32::ondemand
