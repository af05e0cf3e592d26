// Measures how long programs take to show their main window, run after run.
//
//   startup_probe [--timeout-ms N] [--poll-ms N] [--rest-ms N] [--warmup N]
//                 [--windows-version NAME]
//                 [--french-accounts] [--copy FROM TO] RUNS EXE CLASS [EXE CLASS ...]
//
// --copy copies a program to where the runs start it, before them (another build of Tolvane
// into the Wine prefix, so that it starts from the same drive as the one compared with it); the
// folder is made if need be.
// --french-accounts gives the stand-in net.exe of the tests the guest and help-assistant accounts
// of a French Windows XP, so that the account probe reads real reports.
// EXE may be followed by a bar and the program's command-line words ("Tolvane.exe|-noaccount").
// Starts each program in turn, RUNS rounds after N uncounted warm-up rounds, and times from
// CreateProcessW until a visible, enabled top-level window of CLASS owned by the new process
// exists. It then reads the CPU time the process has used so far (user + kernel, counted by the
// system in clock ticks of 10 to 16 ms). Tolvane's window (class TolvaneMain) started without
// -noaccount is usable before its account queries answer: the run then also times until both
// account boxes are enabled, their state read. Once the window is at rest (its accounts read, and
// a further --rest-ms, default 500), the run reads the process's peak working set, and closes the
// window with WM_CLOSE, killing the process if it has not ended within the timeout. The programs
// alternate within each round, so that they share the same conditions (warm caches, machine load)
// as far as possible, and every second round runs them in reverse order, so that none always
// follows the same one. Environment variables in EXE are expanded (%TOLVANE_EXE%). Under Wine,
// --windows-version (win2k, winxp, win2003) sets the Windows version that the programs started
// afterwards see.
//
// Output, one line per run and one summary per program, as space-separated key=value fields
// (warm-up runs print the same line starting with "warmup" instead of "run"):
//   run program=NAME round=I startup_ms=T cpu_ms=C accounts_ms=A peak_kb=P end=closed|killed
//   run program=NAME round=I startup_ms=-1 cpu_ms=C end=exited|killed error=REASON
//   summary program=NAME runs=N ok=K median_startup_ms=T min_startup_ms=T max_startup_ms=T
//           median_cpu_ms=C median_accounts_ms=A median_peak_kb=P   (on one line)
// accounts_ms is -1 for a program that has no account boxes to wait for (or when they never took
// their state), peak_kb -1 when the system would not tell.
// The exit code is 0 when every run showed its window, 1 otherwise, 2 for a usage error.
#include <windows.h>
#include <winternl.h>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <optional>
#include <string>
#include <vector>

#include "Memory.h"
#include "StandInAccounts.h"
#include "Timing.h"
#include "model/ControlId.h"
#include "system/win32/Handles.h"

namespace {

using tolvane::bench::Median;
using tolvane::bench::PeakWorkingSetKb;
using tolvane::bench::SetFrenchAccounts;

// Closes a registry key when it goes out of scope.
using tolvane::win32::UniqueHandle;
using tolvane::win32::UniqueRegKey;

struct Program {
    std::wstring path;
    std::wstring arguments;
    std::wstring windowClass;
    std::string name;  // the file name, for the output
};

// How the process ended: after our WM_CLOSE, on its own, or terminated after the timeout.
enum class Ending { Closed, Exited, Killed };

const char* EndingName(Ending ending) {
    switch (ending) {
        case Ending::Closed:
            return "closed";
        case Ending::Exited:
            return "exited";
        case Ending::Killed:
            return "killed";
    }
    return "?";
}

struct RunResult {
    std::optional<double> startupMs;
    double cpuMs = -1;
    double accountsMs = -1;
    double peakKb = -1;
    Ending ending = Ending::Killed;
    std::string error;
};

struct Options {
    int runs = 0;
    DWORD timeoutMs = 30000;
    DWORD pollMs = 2;
    DWORD restMs = 500;
    int warmups = 0;
    std::wstring windowsVersion;
    bool frenchAccounts = false;
    std::vector<std::pair<std::wstring, std::wstring>> copies;  // from, to
    std::vector<Program> programs;
};

std::string ToUtf8(const std::wstring& text) {
    if (text.empty()) {
        return {};
    }
    int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                   0, nullptr, nullptr);
    std::string result(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), size,
                        nullptr, nullptr);
    // Spaces would split the field in the output.
    std::replace(result.begin(), result.end(), ' ', '_');
    return result;
}

std::string FileName(const std::wstring& path) {
    size_t slash = path.find_last_of(L"\\/");
    return ToUtf8(slash == std::wstring::npos ? path : path.substr(slash + 1));
}

double Milliseconds(LONGLONG ticks, LONGLONG frequency) {
    return static_cast<double>(ticks) * 1000.0 / static_cast<double>(frequency);
}

LONGLONG Now() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

// The process's visible and enabled top-level window of the class, if it has one yet.
HWND FindReadyWindow(const std::wstring& windowClass, DWORD processId) {
    HWND window = nullptr;
    while ((window = FindWindowExW(nullptr, window, windowClass.c_str(), nullptr)) != nullptr) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == processId && IsWindowVisible(window) && IsWindowEnabled(window)) {
            return window;
        }
    }
    return nullptr;
}

// Tolvane's window asks for its accounts unless -noaccount says not to.
bool WaitsForAccounts(const Program& program) {
    return program.windowClass == tolvane::kMainWindowClass &&
           program.arguments.find(L"-noaccount") == std::wstring::npos;
}

bool AccountBoxesEnabled(HWND window) {
    for (const tolvane::ControlId box :
         {tolvane::ControlId::GuestAccountBox, tolvane::ControlId::HelpAssistantBox}) {
        const HWND control = GetDlgItem(window, tolvane::DialogId(box));
        if (!control || !IsWindowEnabled(control)) {
            return false;
        }
    }
    return true;
}

// FILETIME and the kernel's time fields count 100-nanosecond steps.
double StepsToMilliseconds(ULONGLONG steps) {
    return static_cast<double>(steps) / 10000.0;
}

ULONGLONG Steps(const FILETIME& time) {
    return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// The start of one entry of the system's process list (SystemProcessInformation), as laid out
// since Windows 2000; only the fields up to the process id are read.
struct ProcessEntry {
    ULONG nextEntryOffset;
    ULONG numberOfThreads;
    LARGE_INTEGER reserved[3];
    LARGE_INTEGER createTime;
    LARGE_INTEGER userTime;
    LARGE_INTEGER kernelTime;
    UNICODE_STRING imageName;
    LONG basePriority;
    HANDLE uniqueProcessId;
};
static_assert(offsetof(ProcessEntry, uniqueProcessId) ==
              offsetof(SYSTEM_PROCESS_INFORMATION, UniqueProcessId));

using QuerySystemInformation = LONG(WINAPI*)(ULONG, void*, ULONG, ULONG*);

QuerySystemInformation FindQuerySystemInformation() {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll ? reinterpret_cast<QuerySystemInformation>(
                       reinterpret_cast<void*>(GetProcAddress(ntdll, "NtQuerySystemInformation")))
                 : nullptr;
}

bool RunningUnderWine() {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

// User plus kernel time of a process from the system's process list, or -1.
double CpuMillisecondsFromProcessList(DWORD processId) {
    constexpr ULONG kSystemProcessInformation = 5;
    constexpr LONG kInfoLengthMismatch = static_cast<LONG>(0xC0000004);
    static const QuerySystemInformation query = FindQuerySystemInformation();
    if (!query) {
        return -1;
    }
    // The list grows while it is read; retry with a larger buffer until it fits.
    std::vector<unsigned char> buffer(256 * 1024);
    LONG status = kInfoLengthMismatch;
    for (int attempt = 0; attempt < 8 && status == kInfoLengthMismatch; ++attempt) {
        ULONG needed = 0;
        status = query(kSystemProcessInformation, buffer.data(), static_cast<ULONG>(buffer.size()),
                       &needed);
        if (status == kInfoLengthMismatch) {
            buffer.resize(std::max<size_t>(buffer.size() * 2, needed + 64 * 1024));
        }
    }
    if (status != 0) {
        return -1;
    }
    for (size_t offset = 0; offset + sizeof(ProcessEntry) <= buffer.size();) {
        ProcessEntry entry;
        std::memcpy(&entry, buffer.data() + offset, sizeof entry);
        if (reinterpret_cast<ULONG_PTR>(entry.uniqueProcessId) == processId) {
            return StepsToMilliseconds(static_cast<ULONGLONG>(entry.userTime.QuadPart) +
                                       static_cast<ULONGLONG>(entry.kernelTime.QuadPart));
        }
        if (entry.nextEntryOffset == 0) {
            break;
        }
        offset += entry.nextEntryOffset;
    }
    return -1;
}

// User plus kernel time the process has used so far, or -1.
double CpuMilliseconds(HANDLE process, DWORD processId) {
    // Wine 8 answers GetProcessTimes for another process with the caller's own times; its
    // process list carries the right ones.
    static const bool underWine = RunningUnderWine();
    if (underWine) {
        return CpuMillisecondsFromProcessList(processId);
    }
    FILETIME created, ended, kernel, user;
    if (!GetProcessTimes(process, &created, &ended, &kernel, &user)) {
        return -1;
    }
    return StepsToMilliseconds(Steps(kernel) + Steps(user));
}

RunResult RunOnce(const Program& program, const Options& options, LONGLONG frequency) {
    RunResult result;
    std::wstring commandLine = L"\"" + program.path + L"\"";
    if (!program.arguments.empty()) {
        commandLine += L" " + program.arguments;
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};

    LONGLONG start = Now();
    // Started as from Explorer, without our console: commands the program runs get consoles of
    // their own and do not write into our output.
    if (!CreateProcessW(program.path.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                        DETACHED_PROCESS, nullptr, nullptr, &startup, &info)) {
        result.error = "start-failed-" + std::to_string(GetLastError());
        return result;
    }
    UniqueHandle process(info.hProcess);
    UniqueHandle thread(info.hThread);

    HWND window = nullptr;
    for (;;) {
        window = FindReadyWindow(program.windowClass, info.dwProcessId);
        LONGLONG now = Now();
        if (window) {
            result.startupMs = Milliseconds(now - start, frequency);
            break;
        }
        if (Milliseconds(now - start, frequency) > options.timeoutMs) {
            result.error = "no-window";
            break;
        }
        // Waiting on the process both paces the polling and notices an early exit.
        if (WaitForSingleObject(process.get(), options.pollMs) == WAIT_OBJECT_0) {
            DWORD code = 0;
            GetExitCodeProcess(process.get(), &code);
            result.error = "exited-" + std::to_string(code);
            break;
        }
    }
    result.cpuMs = CpuMilliseconds(process.get(), info.dwProcessId);

    if (window && WaitsForAccounts(program)) {
        for (;;) {
            const double elapsed = Milliseconds(Now() - start, frequency);
            if (AccountBoxesEnabled(window)) {
                result.accountsMs = elapsed;
                break;
            }
            if (elapsed > options.timeoutMs ||
                WaitForSingleObject(process.get(), options.pollMs) == WAIT_OBJECT_0) {
                break;
            }
        }
    }
    if (window) {
        Sleep(options.restMs);
        result.peakKb = PeakWorkingSetKb(process.get());
    }
    if (window) {
        PostMessageW(window, WM_CLOSE, 0, 0);
    }
    if (WaitForSingleObject(process.get(), options.timeoutMs) == WAIT_OBJECT_0) {
        result.ending = window ? Ending::Closed : Ending::Exited;
    } else {
        TerminateProcess(process.get(), 1);
        WaitForSingleObject(process.get(), options.timeoutMs);
    }
    return result;
}

std::wstring ExpandVariables(const wchar_t* text) {
    DWORD size = ExpandEnvironmentStringsW(text, nullptr, 0);
    if (size == 0) {
        return text;
    }
    std::wstring result(size, L'\0');
    size = ExpandEnvironmentStringsW(text, result.data(), size);
    result.resize(size > 0 ? size - 1 : 0);
    return result;
}

// Wine reads its Windows version for each new process from this value.
bool SetWineWindowsVersion(const std::wstring& name) {
    UniqueRegKey key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine", 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        key.put(), nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const DWORD bytes = static_cast<DWORD>((name.size() + 1) * sizeof(wchar_t));
    return RegSetValueExW(key.get(), L"Version", 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(name.c_str()), bytes) == ERROR_SUCCESS;
}

// Copies the file, making its folder first where it is missing.
bool CopyInto(const std::wstring& from, const std::wstring& to) {
    const size_t slash = to.find_last_of(L"\\/");
    if (slash != std::wstring::npos) {
        CreateDirectoryW(to.substr(0, slash).c_str(), nullptr);
    }
    return CopyFileW(from.c_str(), to.c_str(), FALSE) != FALSE;
}

bool ParseNumber(const wchar_t* text, unsigned long& value) {
    wchar_t* end = nullptr;
    value = std::wcstoul(text, &end, 10);
    return end != text && *end == L'\0';
}

std::optional<Options> ParseArguments(int argc, wchar_t** argv) {
    Options options;
    int i = 1;
    unsigned long number = 0;
    for (; i + 1 < argc && std::wcsncmp(argv[i], L"--", 2) == 0; i += 2) {
        if (std::wcscmp(argv[i], L"--french-accounts") == 0) {
            options.frenchAccounts = true;
            --i;
            continue;
        }
        if (std::wcscmp(argv[i], L"--copy") == 0) {
            if (i + 2 >= argc) {
                return std::nullopt;
            }
            options.copies.emplace_back(argv[i + 1], argv[i + 2]);
            ++i;
            continue;
        }
        if (std::wcscmp(argv[i], L"--windows-version") == 0) {
            options.windowsVersion = argv[i + 1];
            continue;
        }
        if (!ParseNumber(argv[i + 1], number)) {
            return std::nullopt;
        }
        if (std::wcscmp(argv[i], L"--warmup") == 0) {
            options.warmups = static_cast<int>(number);
        } else if (number == 0) {
            return std::nullopt;
        } else if (std::wcscmp(argv[i], L"--timeout-ms") == 0) {
            options.timeoutMs = number;
        } else if (std::wcscmp(argv[i], L"--poll-ms") == 0) {
            options.pollMs = number;
        } else if (std::wcscmp(argv[i], L"--rest-ms") == 0) {
            options.restMs = number;
        } else {
            return std::nullopt;
        }
    }
    if (i >= argc || !ParseNumber(argv[i], number) || number == 0) {
        return std::nullopt;
    }
    options.runs = static_cast<int>(number);
    ++i;
    if (argc - i < 2 || (argc - i) % 2 != 0) {
        return std::nullopt;
    }
    for (; i < argc; i += 2) {
        // "EXE|ARGS" starts the program with those command-line words.
        std::wstring path = ExpandVariables(argv[i]);
        std::wstring arguments;
        if (const auto bar = path.find(L'|'); bar != std::wstring::npos) {
            arguments = path.substr(bar + 1);
            path.resize(bar);
        }
        std::string name = FileName(path);
        if (!arguments.empty()) {
            name += "(" + std::string(arguments.begin(), arguments.end()) + ")";
        }
        // The same program given twice (a trial of the bench itself) still needs two names.
        int copies = 1;
        for (const Program& earlier : options.programs) {
            if (earlier.name == name || earlier.name.starts_with(name + "#")) {
                ++copies;
            }
        }
        if (copies > 1) {
            name += "#" + std::to_string(copies);
        }
        options.programs.push_back({path, arguments, argv[i + 1], name});
    }
    return options;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::optional<Options> options = ParseArguments(argc, argv);
    if (!options) {
        std::fprintf(
            stderr,
            "usage: startup_probe [--timeout-ms N] [--poll-ms N] [--rest-ms N] [--warmup N] "
            "[--windows-version NAME] [--french-accounts] [--copy FROM TO] RUNS EXE CLASS "
            "[EXE CLASS ...]\n");
        return 2;
    }
    if (!options->windowsVersion.empty()) {
        if (!RunningUnderWine()) {
            std::fprintf(stderr, "startup_probe: --windows-version works under Wine only\n");
            return 2;
        }
        if (!SetWineWindowsVersion(options->windowsVersion)) {
            std::fprintf(stderr, "startup_probe: could not set the Windows version\n");
            return 1;
        }
    }
    if (options->frenchAccounts && !SetFrenchAccounts()) {
        std::fprintf(stderr, "startup_probe: could not set up the accounts\n");
        return 1;
    }
    for (const auto& [from, to] : options->copies) {
        if (!CopyInto(from, to)) {
            const DWORD error = GetLastError();
            std::fprintf(stderr, "startup_probe: could not copy %s (error %lu)\n",
                         ToUtf8(from).c_str(), error);
            return 1;
        }
    }
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);

    std::vector<std::vector<RunResult>> results(options->programs.size());
    bool allShown = true;
    const size_t count = options->programs.size();
    for (int round = 1 - options->warmups; round <= options->runs; ++round) {
        const bool counted = round >= 1;
        for (size_t i = 0; i < count; ++i) {
            const size_t p = round % 2 == 0 ? count - 1 - i : i;
            const Program& program = options->programs[p];
            RunResult run = RunOnce(program, *options, frequency.QuadPart);
            std::printf(
                "%s program=%s round=%d startup_ms=%.1f cpu_ms=%.1f accounts_ms=%.1f "
                "peak_kb=%.0f end=%s",
                counted ? "run" : "warmup", program.name.c_str(), round, run.startupMs.value_or(-1),
                run.cpuMs, run.accountsMs, run.peakKb, EndingName(run.ending));
            if (!run.error.empty()) {
                std::printf(" error=%s", run.error.c_str());
                allShown = false;
            }
            std::printf("\n");
            std::fflush(stdout);
            if (counted) {
                results[p].push_back(std::move(run));
            }
        }
    }

    for (size_t p = 0; p < options->programs.size(); ++p) {
        std::vector<double> startups;
        std::vector<double> cpus;
        std::vector<double> accounts;
        std::vector<double> peaks;
        for (const RunResult& run : results[p]) {
            if (run.startupMs) {
                startups.push_back(*run.startupMs);
                cpus.push_back(run.cpuMs);
            }
            if (run.accountsMs >= 0) {
                accounts.push_back(run.accountsMs);
            }
            if (run.peakKb >= 0) {
                peaks.push_back(run.peakKb);
            }
        }
        auto [low, high] = std::minmax_element(startups.begin(), startups.end());
        std::printf(
            "summary program=%s runs=%d ok=%zu median_startup_ms=%.1f min_startup_ms=%.1f "
            "max_startup_ms=%.1f median_cpu_ms=%.1f median_accounts_ms=%.1f "
            "median_peak_kb=%.0f\n",
            options->programs[p].name.c_str(), options->runs, startups.size(), Median(startups),
            startups.empty() ? -1.0 : *low, startups.empty() ? -1.0 : *high, Median(cpus),
            Median(accounts), Median(peaks));
    }
    return allShown ? 0 : 1;
}
