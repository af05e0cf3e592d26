// Times under Wine two ways of starting the commands the program waits for. The account probe's
// two `net user` queries: the old way through cmd.exe, which redirects net's output into a file,
// against net.exe started directly with a file of ours as its standard output. The two registry
// imports that close port 135: the old way through `Cmd /C REGEDIT /s`, against regedit.exe
// started directly, minimized as before, so that only cmd.exe differs. Either way both commands
// of a pair start at once and are waited for together. Rounds run the old and new way of each
// pair, every second round in reverse order, after one uncounted warm-up round. Prints every
// round, the medians, and old/new as the median of the rounds' own ratios with the lowest and
// highest of them.
//
//   queries_time.exe [RUNS]      (default 31)
//
// net.exe must be the stand-in of the tests (the prefix's); the program gives it the guest and
// help-assistant accounts of a French Windows XP. The imports change the prefix's DCOM values.
#include <windows.h>

#include "StandInAccounts.h"
#include "Timing.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "resources/ResourceIds.h"
#include "system/win32/Handles.h"

namespace {

using tolvane::bench::Median;
using tolvane::bench::Now;
using tolvane::bench::PairRatios;
using tolvane::bench::Ratios;
using tolvane::win32::UniqueHandle;
using tolvane::win32::UniqueRegKey;

constexpr DWORD kWaitMs = 30000;

// One command: the program file, its command line, how it shows, and the file its standard
// output goes to (none: the program's own or cmd's redirection).
struct Launch {
    std::wstring application;
    std::wstring commandLine;
    WORD show = SW_HIDE;
    std::wstring output;
};

// Starts the commands at once and waits for all of them: milliseconds from the first start to
// the last end, or nothing when one could not start or did not end in time.
std::optional<double> RunTogether(const std::vector<Launch>& launches, const std::wstring& folder) {
    std::vector<UniqueHandle> processes;
    const double start = Now();
    for (const Launch& launch : launches) {
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        DWORD flags = 0;
        UniqueHandle output;
        if (launch.output.empty()) {
            startup.dwFlags = STARTF_USESHOWWINDOW;
            startup.wShowWindow = launch.show;
        } else {
            output.reset(CreateFileW(launch.output.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                     CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
            if (!output) {
                return std::nullopt;
            }
            // Inheritable only now, so that no other command started meanwhile holds it.
            SetHandleInformation(output.get(), HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
            startup.dwFlags = STARTF_USESTDHANDLES;
            startup.hStdOutput = output.get();
            flags = DETACHED_PROCESS;  // as Tolvane starts them: no console, no console host
        }
        std::wstring line = launch.commandLine;
        PROCESS_INFORMATION info{};
        if (!CreateProcessW(launch.application.c_str(), line.data(), nullptr, nullptr,
                            output ? TRUE : FALSE, flags, nullptr, folder.c_str(), &startup,
                            &info)) {
            return std::nullopt;
        }
        CloseHandle(info.hThread);
        processes.emplace_back(info.hProcess);
    }
    std::vector<HANDLE> handles;
    for (const UniqueHandle& process : processes) {
        handles.push_back(process.get());
    }
    if (WaitForMultipleObjects(static_cast<DWORD>(handles.size()), handles.data(), TRUE, kWaitMs) >=
        WAIT_OBJECT_0 + handles.size()) {
        return std::nullopt;
    }
    return Now() - start;
}

std::wstring Folder(UINT(WINAPI* read)(LPWSTR, UINT)) {
    wchar_t path[MAX_PATH] = {};
    const UINT length = read(path, MAX_PATH);
    return length < MAX_PATH ? std::wstring(path, length) : std::wstring();
}

// With its trailing backslash.
std::wstring TempFolder() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetTempPathW(MAX_PATH, path);
    return length < MAX_PATH ? std::wstring(path, length) : std::wstring();
}

// Writes a registry script carried in this program to the path.
bool WriteScript(std::uint16_t number, const std::wstring& path) {
    const HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(number), L"REG");
    const HGLOBAL loaded = found ? LoadResource(nullptr, found) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes) {
        return false;
    }
    const UniqueHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    const DWORD size = SizeofResource(nullptr, found);
    DWORD written = 0;
    return file && WriteFile(file.get(), bytes, size, &written, nullptr) && written == size;
}

// A file that is there and not empty: the query wrote its answer.
bool HasContent(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    return GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) &&
           (data.nFileSizeLow != 0 || data.nFileSizeHigh != 0);
}

// What the DCOM script writes: gone before the imports, there after them. Wine's editor imports
// nothing of the Bind script (the blank after its first line), whose time is still counted.
constexpr wchar_t kRpc[] = L"SOFTWARE\\Microsoft\\Rpc";
constexpr wchar_t kProtocols[] = L"DCOM Protocols";

bool ProtocolsPresent() {
    UniqueRegKey key;
    return RegOpenKeyExW(HKEY_LOCAL_MACHINE, kRpc, 0, KEY_QUERY_VALUE, key.put()) ==
               ERROR_SUCCESS &&
           RegQueryValueExW(key.get(), kProtocols, nullptr, nullptr, nullptr, nullptr) ==
               ERROR_SUCCESS;
}

void RemoveProtocols() {
    UniqueRegKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kRpc, 0, KEY_SET_VALUE, key.put()) == ERROR_SUCCESS) {
        RegDeleteValueW(key.get(), kProtocols);
    }
}

// One way of running a pair of commands, and how to tell that they did their work.
struct Way {
    const wchar_t* name;
    std::vector<Launch> launches;
    std::vector<std::wstring> outputs;  // removed before, with content after; none for imports
    bool import = false;
    std::vector<double> times;
};

// The way's time, or why it has none.
std::optional<double> RunWay(const Way& way, const std::wstring& folder, const wchar_t*& why) {
    for (const std::wstring& output : way.outputs) {
        DeleteFileW(output.c_str());
    }
    if (way.import) {
        RemoveProtocols();
    }
    const std::optional<double> time = RunTogether(way.launches, folder);
    why = !time ? L"a command did not start or end"
          : std::any_of(way.outputs.begin(), way.outputs.end(),
                        [](const std::wstring& output) { return !HasContent(output); })
              ? L"a query wrote nothing"
          : way.import && !ProtocolsPresent() ? L"the imports wrote nothing"
                                              : nullptr;
    return why ? std::nullopt : time;
}

void PrintPair(const wchar_t* name, const Way& old, const Way& direct) {
    const Ratios ratios = PairRatios(old.times, direct.times);
    std::wprintf(
        L"median_%ls_ms=%.1f\nmedian_%ls_ms=%.1f\n%ls_ratio=%.2f\n%ls_ratio_min=%.2f\n"
        L"%ls_ratio_max=%.2f\n",
        old.name, Median(old.times), direct.name, Median(direct.times), name, ratios.median, name,
        ratios.min, name, ratios.max);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const int runs = argc > 1 ? _wtoi(argv[1]) : 31;
    const std::wstring windows = Folder(GetWindowsDirectoryW);
    const std::wstring system = Folder(GetSystemDirectoryW);
    const std::wstring temp = TempFolder();
    if (windows.empty() || system.empty() || temp.empty() || runs < 1) {
        std::fwprintf(stderr, L"usage: queries_time [RUNS]\n");
        return 2;
    }
    if (!tolvane::bench::SetFrenchAccounts()) {
        std::fwprintf(stderr, L"could not set up the stand-in's accounts\n");
        return 1;
    }
    const std::wstring cmd = system + L"\\cmd.exe";
    const std::wstring net = system + L"\\net.exe";
    const std::wstring regedit = windows + L"\\regedit.exe";
    const std::array<std::pair<const wchar_t*, const wchar_t*>, 2> accounts = {
        {{L"Invit\u00e9", L"\\Inv.cmp"}, {L"HelpAssistant", L"\\Hlp.cmp"}}};
    const std::array<std::pair<std::uint16_t, std::wstring>, 2> scripts = {
        {{IDR_BIND_REG, temp + L"Bind.reg"}, {IDR_CLOSE_DCOM_REG, temp + L"DCOM.reg"}}};

    Way oldQueries{L"queries_cmd", {}, {}, false, {}};
    Way newQueries{L"queries_direct", {}, {}, false, {}};
    for (const auto& [name, file] : accounts) {
        const std::wstring output = windows + file;
        oldQueries.launches.push_back(
            {cmd,
             L"cmd /C net user " + std::wstring(name) + L" > \"" + output + L"\"",
             SW_HIDE,
             {}});
        newQueries.launches.push_back({net, L"\"" + net + L"\" user " + name, SW_HIDE, output});
        oldQueries.outputs.push_back(output);
        newQueries.outputs.push_back(output);
    }
    Way oldImports{L"imports_cmd", {}, {}, true, {}};
    Way newImports{L"imports_direct", {}, {}, true, {}};
    for (const auto& [number, path] : scripts) {
        if (!WriteScript(number, path)) {
            std::fwprintf(stderr, L"could not write %ls\n", path.c_str());
            return 1;
        }
        oldImports.launches.push_back(
            {cmd, L"Cmd /C REGEDIT /s \"" + path + L"\"", SW_SHOWMINIMIZED, {}});
        newImports.launches.push_back(
            {regedit, L"\"" + regedit + L"\" /s \"" + path + L"\"", SW_SHOWMINIMIZED, {}});
    }

    std::array<Way*, 4> ways = {&oldQueries, &newQueries, &oldImports, &newImports};
    for (int round = 0; round <= runs; ++round) {  // round 0 warms Wine up and is not counted
        std::array<double, 4> times{};
        for (std::size_t i = 0; i < ways.size(); ++i) {
            const std::size_t w = round % 2 == 0 ? ways.size() - 1 - i : i;
            const wchar_t* why = nullptr;
            const std::optional<double> time = RunWay(*ways[w], system, why);
            if (!time) {
                std::fwprintf(stderr, L"%ls failed in round %d: %ls\n", ways[w]->name, round, why);
                return 1;
            }
            times[w] = *time;
        }
        if (round > 0) {
            std::wprintf(L"run %d", round);
            for (std::size_t w = 0; w < ways.size(); ++w) {
                ways[w]->times.push_back(times[w]);
                std::wprintf(L" %ls_ms=%.1f", ways[w]->name, times[w]);
            }
            std::wprintf(L"\n");
        }
    }
    PrintPair(L"queries", oldQueries, newQueries);
    PrintPair(L"imports", oldImports, newImports);
    for (const auto& [number, path] : scripts) {
        DeleteFileW(path.c_str());
    }
    return 0;
}
