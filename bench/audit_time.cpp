// Times `Tolvane.exe /audit -noaccount` under Wine against a console program that reads the same
// values and writes a short report (audit_reader), and against the bare start of a console
// program that does nothing, each run from process creation to its end. Each round runs the
// three once, every second round in reverse order, so that none always follows the same one.
// Prints every round, the medians, ratio= (Tolvane's median over the bare console's), and
// Tolvane's ratio to each of the other two as the median of the rounds' own ratios, with the
// lowest and highest of them.
//
//   audit_time.exe RUNS TOLVANE.EXE READER.EXE BARE.EXE
//
// The reader writes its report beside Tolvane.exe, where Tolvane's goes.
#include <windows.h>

#include "Memory.h"
#include "Timing.h"

#include <array>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using tolvane::bench::Median;
using tolvane::bench::Now;
using tolvane::bench::PairRatios;
using tolvane::bench::PeakWorkingSetKb;
using tolvane::bench::Ratios;

struct Run {
    double ms = -1;      // from start to end, -1 when it could not start
    double peakKb = -1;  // the peak working set last read while it ran
    DWORD exitCode = 0;
};

// Started and waited for; with `watchMemory`, its peak working set is read every millisecond
// meanwhile (the system tells another process's memory only while it runs, and the last reading
// before the end stands for the whole run), which the timed runs do without: the reading loads
// the machine.
Run StartAndWait(const std::wstring& program, const std::wstring& words, bool watchMemory) {
    Run run;
    std::wstring line = L"\"" + program + L"\"" + words;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    const double start = Now();
    if (!CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info)) {
        return run;
    }
    while (WaitForSingleObject(info.hProcess, watchMemory ? 1 : INFINITE) == WAIT_TIMEOUT) {
        if (const double peak = PeakWorkingSetKb(info.hProcess); peak > run.peakKb) {
            run.peakKb = peak;
        }
    }
    run.ms = Now() - start;
    GetExitCodeProcess(info.hProcess, &run.exitCode);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return run;
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

std::wstring FolderOf(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? L"." : path.substr(0, slash);
}

void PrintRatios(const wchar_t* name, const Ratios& ratios) {
    std::wprintf(L"%ls_ratio=%.2f\n%ls_ratio_min=%.2f\n%ls_ratio_max=%.2f\n", name, ratios.median,
                 name, ratios.min, name, ratios.max);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 5) {
        std::fwprintf(stderr, L"usage: audit_time RUNS TOLVANE.EXE READER.EXE BARE.EXE\n");
        return 2;
    }
    const int runs = _wtoi(argv[1]);
    if (!ReportWindowsXp()) {
        std::fwprintf(stderr, L"cannot set the Windows version Wine reports\n");
        return 1;
    }
    struct Program {
        std::wstring path;
        std::wstring words;
        std::vector<double> times;
    };
    std::array<Program, 3> programs = {{
        {argv[2], L" /audit -noaccount", {}},
        {argv[3], L" \"" + FolderOf(argv[2]) + L"\\audit_reader.txt\"", {}},
        {argv[4], L"", {}},
    }};
    for (int run = 0; run <= runs; ++run) {  // round 0 warms Wine up and is not counted
        std::array<Run, 3> done{};
        for (std::size_t i = 0; i < programs.size(); ++i) {
            const std::size_t p = run % 2 == 0 ? programs.size() - 1 - i : i;
            done[p] = StartAndWait(programs[p].path, programs[p].words, false);
            if (done[p].ms < 0) {
                std::fwprintf(stderr, L"%ls could not be started\n", programs[p].path.c_str());
                return 1;
            }
        }
        if (run > 0) {
            for (std::size_t p = 0; p < programs.size(); ++p) {
                programs[p].times.push_back(done[p].ms);
            }
            std::wprintf(
                L"run %d audit_ms=%.1f (exit %lu) reader_ms=%.1f (exit %lu) bare_console_ms=%.1f\n",
                run, done[0].ms, done[0].exitCode, done[1].ms, done[1].exitCode, done[2].ms);
        }
    }
    // One more run of each, untimed, for its memory.
    const wchar_t* const memoryNames[] = {L"audit", L"reader", L"bare_console"};
    for (std::size_t p = 0; p < programs.size(); ++p) {
        std::wprintf(L"%ls_peak_kb=%.0f\n", memoryNames[p],
                     StartAndWait(programs[p].path, programs[p].words, true).peakKb);
    }
    const auto& [audit, reader, bare] = programs;
    std::wprintf(L"median_audit_ms=%.1f\nmedian_reader_ms=%.1f\nmedian_bare_console_ms=%.1f\n",
                 Median(audit.times), Median(reader.times), Median(bare.times));
    const double bareMedian = Median(bare.times);
    std::wprintf(L"ratio=%.2f\n", bareMedian > 0 ? Median(audit.times) / bareMedian : -1.0);
    PrintRatios(L"reader", PairRatios(audit.times, reader.times));
    PrintRatios(L"bare_console", PairRatios(audit.times, bare.times));
    return 0;
}
