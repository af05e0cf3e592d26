// Reads what `Tolvane.exe /audit -noaccount` reads, once each, and writes a short report: the
// least such an audit can cost. The Windows version, the Windows folder, the file system of the
// system drive, the group policy editor, every registry value of the catalogue's rows (shares,
// anonymous rights, service start types, NetBT interfaces) and of port 135, the services that
// run, the TCP and UDP tables and the computer's name. The values are found through the same
// tables as the program's, read through the same registry store.
//
//   audit_reader.exe REPORT
//
// Imports kernel32, advapi32 and iphlpapi only, beside msvcrt, the C runtime that mingw-w64
// always links.
#include <windows.h>
// After windows.h, which it needs.
#include <iphlpapi.h>

#include <string>
#include <vector>

#include "catalogue/Accounts.h"
#include "catalogue/Port135.h"
#include "catalogue/Services.h"
#include "catalogue/Shares.h"
#include "registry/win32/Win32RegistryStore.h"
#include "system/win32/Handles.h"

namespace {

using namespace tolvane;

using UniqueServiceHandle =
    win32::UniqueResource<SC_HANDLE, win32::NullTraits<SC_HANDLE, CloseServiceHandle>>;

// What the audit reads to tell whether port 135 is closed, beside its marker.
constexpr const wchar_t* kPort135Values[] = {
    L"SOFTWARE\\Microsoft\\Ole\\EnableDCOM",
    L"SYSTEM\\CurrentControlSet\\Services\\RpcSs\\ListenOnInternet",
    kPort135Marker,
    L"SYSTEM\\CurrentControlSet\\Services\\Rpc\\Linkage\\Bind",
};

std::wstring ValueLine(Reg& reg, const std::wstring& path) {
    RawValue value;
    if (reg.ReadRaw(kHklm, path, value) != kRegOk) {
        return path + L" absent";
    }
    const std::optional<std::wstring> text = ValueText(value);
    return path + L" = " + (text ? *text : L"(" + std::to_wstring(value.type) + L")");
}

// The table's entries, or -1 when it cannot be read.
template <typename Table, typename Read>
long Entries(Read read) {
    ULONG size = 0;
    if (read(nullptr, &size, FALSE) != ERROR_INSUFFICIENT_BUFFER) {
        return -1;
    }
    std::vector<unsigned char> buffer(size);
    auto* table = reinterpret_cast<Table*>(buffer.data());
    return read(table, &size, FALSE) == NO_ERROR ? static_cast<long>(table->dwNumEntries) : -1;
}

long RunningServiceCount() {
    const UniqueServiceHandle manager(
        OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ENUMERATE_SERVICE));
    if (!manager) {
        return -1;
    }
    std::vector<BYTE> buffer(64 * 1024);
    DWORD needed = 0;
    DWORD returned = 0;
    DWORD resume = 0;
    long count = 0;
    BOOL ok = FALSE;
    do {
        ok = EnumServicesStatusExW(manager.get(), SC_ENUM_PROCESS_INFO, SERVICE_WIN32,
                                   SERVICE_ACTIVE, buffer.data(), static_cast<DWORD>(buffer.size()),
                                   &needed, &returned, &resume, nullptr);
        count += static_cast<long>(returned);
    } while (!ok && GetLastError() == ERROR_MORE_DATA && returned > 0);
    return ok ? count : -1;
}

bool WriteReport(const wchar_t* path, const std::wstring& text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size,
                        nullptr, nullptr);
    const win32::UniqueHandle file(CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                               FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file &&
           WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                     nullptr) &&
           written == bytes.size();
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        return 2;
    }
    std::wstring report;
    OSVERSIONINFOEXW version{};
    version.dwOSVersionInfoSize = sizeof version;
    GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&version));
    report += L"Windows " + std::to_wstring(version.dwMajorVersion) + L"." +
              std::to_wstring(version.dwMinorVersion) + L"\r\n";

    wchar_t windows[MAX_PATH] = {};
    GetWindowsDirectoryW(windows, MAX_PATH);
    const wchar_t root[] = {windows[0], L':', L'\\', L'\0'};
    wchar_t fileSystem[MAX_PATH + 1] = {};
    GetVolumeInformationW(root, nullptr, 0, nullptr, nullptr, nullptr, fileSystem, MAX_PATH + 1);
    report += std::wstring(L"File system ") + fileSystem + L"\r\n";
    const std::wstring gpedit = std::wstring(windows) + L"\\System32\\gpedit.msc";
    report +=
        L"Group policy editor " +
        std::wstring(GetFileAttributesW(gpedit.c_str()) != INVALID_FILE_ATTRIBUTES ? L"present"
                                                                                   : L"absent") +
        L"\r\n";

    win32::Win32RegistryStore store;
    Reg reg(store);
    for (const auto& rows : {ShareSettings(), AccountSettings(), ServiceSettings(reg)}) {
        for (const HardeningSetting& row : rows) {
            report += ValueLine(reg, row.valuePath) + L"\r\n";
        }
    }
    for (const wchar_t* path : kPort135Values) {
        report += ValueLine(reg, path) + L"\r\n";
    }

    report += L"Running services " + std::to_wstring(RunningServiceCount()) + L"\r\n";
    report += L"TCP entries " + std::to_wstring(Entries<MIB_TCPTABLE>(GetTcpTable)) + L"\r\n";
    report += L"UDP entries " + std::to_wstring(Entries<MIB_UDPTABLE>(GetUdpTable)) + L"\r\n";
    wchar_t computer[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD length = MAX_COMPUTERNAME_LENGTH + 1;
    GetComputerNameW(computer, &length);
    report += std::wstring(L"Computer ") + computer + L"\r\n";
    return WriteReport(argv[1], report) ? 0 : 1;
}
