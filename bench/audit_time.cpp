// Times `Tolvane.exe /audit` under Wine against the bare start of a console program that does
// nothing, alternating the two, each run from process creation to its end.
//
//   audit_time.exe RUNS TOLVANE.EXE BARE.EXE
#include <windows.h>

#include "Timing.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using tolvane::bench::Median;
using tolvane::bench::Now;

// Milliseconds from start to end of the command line, or -1 when it could not start.
double TimeRun(const std::wstring& program, const std::wstring& words, DWORD& exitCode) {
    std::wstring line = L"\"" + program + L"\"" + words;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    const double start = Now();
    if (!CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info)) {
        return -1;
    }
    WaitForSingleObject(info.hProcess, INFINITE);
    const double elapsed = Now() - start;
    GetExitCodeProcess(info.hProcess, &exitCode);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return elapsed;
}

// Wine's own default is a Windows that Tolvane refuses: Windows XP, as the tests use.
bool ReportWindowsXp() {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine", 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        &key, nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const wchar_t version[] = L"winxp";
    const bool set =
        RegSetValueExW(key, L"Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version),
                       sizeof(version)) == ERROR_SUCCESS;
    RegCloseKey(key);
    return set;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 4) {
        std::fwprintf(stderr, L"usage: audit_time RUNS TOLVANE.EXE BARE.EXE\n");
        return 2;
    }
    const int runs = _wtoi(argv[1]);
    if (!ReportWindowsXp()) {
        std::fwprintf(stderr, L"cannot set the Windows version Wine reports\n");
        return 1;
    }
    std::vector<double> audits;
    std::vector<double> bares;
    for (int run = 0; run <= runs; ++run) {  // round 0 warms Wine up and is not counted
        DWORD auditCode = 0;
        DWORD bareCode = 0;
        const double audit = TimeRun(argv[2], L" /audit -noaccount", auditCode);
        const double bare = TimeRun(argv[3], L"", bareCode);
        if (audit < 0 || bare < 0) {
            std::fwprintf(stderr, L"a program could not be started\n");
            return 1;
        }
        if (run > 0) {
            audits.push_back(audit);
            bares.push_back(bare);
            std::wprintf(L"run %d audit_ms=%.1f (exit %lu) bare_console_ms=%.1f\n", run, audit,
                         auditCode, bare);
        }
    }
    const double audit = Median(audits);
    const double bare = Median(bares);
    std::wprintf(L"median_audit_ms=%.1f\nmedian_bare_console_ms=%.1f\nratio=%.2f\n", audit, bare,
                 bare > 0 ? audit / bare : -1.0);
    return 0;
}
