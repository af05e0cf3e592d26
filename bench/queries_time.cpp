// Times under Wine two ways of starting the commands the program waits for, both through the
// program's own system layer. The account probe's
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
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "resources/ResourceIds.h"
#include "system/win32/Handles.h"
#include "system/win32/Win32System.h"

namespace {

using tolvane::Extraction;
using tolvane::HeldFile;
using tolvane::ProgramStart;
using tolvane::StartedProcess;
using tolvane::WindowStyle;
using tolvane::bench::Median;
using tolvane::bench::Now;
using tolvane::bench::PairRatios;
using tolvane::bench::Ratios;
using tolvane::win32::UniqueRegKey;
using tolvane::win32::Win32System;

constexpr std::int32_t kWaitMs = 30000;

// One command: a command line as the program started it before, or a program started directly.
struct Launch {
    std::wstring commandLine;  // empty: the program below
    ProgramStart program;
};

// Starts the commands at once and waits for all of them: milliseconds from the first start to
// the last end, or nothing when one could not start or did not end in time.
std::optional<double> RunTogether(Win32System& system, const std::vector<Launch>& launches) {
    const double start = Now();
    std::vector<std::unique_ptr<StartedProcess>> processes;
    std::vector<StartedProcess*> started;
    for (const Launch& launch : launches) {
        processes.push_back(launch.commandLine.empty()
                                ? system.StartProgram(launch.program)
                                : system.StartCommand(launch.commandLine, launch.program.style));
        if (!processes.back()) {
            return std::nullopt;
        }
        started.push_back(processes.back().get());
    }
    system.WaitForAll(started, kWaitMs);
    if (!std::all_of(started.begin(), started.end(),
                     [](StartedProcess* process) { return process->WaitForExit(0); })) {
        return std::nullopt;
    }
    return Now() - start;
}

// With its trailing backslash.
std::wstring TempFolder() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetTempPathW(MAX_PATH, path);
    return length < MAX_PATH ? std::wstring(path, length) : std::wstring();
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
std::optional<double> RunWay(Win32System& system, const Way& way, const wchar_t*& why) {
    for (const std::wstring& output : way.outputs) {
        DeleteFileW(output.c_str());
    }
    if (way.import) {
        RemoveProtocols();
    }
    const std::optional<double> time = RunTogether(system, way.launches);
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
    Win32System system;
    const std::wstring windows = system.WindowsDirectory();
    const std::wstring temp = TempFolder();
    if (windows.empty() || system.SystemDirectory().empty() || temp.empty() || runs < 1) {
        std::fwprintf(stderr, L"usage: queries_time [RUNS]\n");
        return 2;
    }
    if (!tolvane::bench::SetFrenchAccounts()) {
        std::fwprintf(stderr, L"could not set up the stand-in's accounts\n");
        return 1;
    }
    const std::wstring net = system.SystemDirectory() + L"\\net.exe";
    const std::wstring regedit = windows + L"\\regedit.exe";
    const std::array<std::pair<const wchar_t*, const wchar_t*>, 2> accounts = {
        {{L"Guest", L"\\Inv.cmp"}, {L"HelpAssistant", L"\\Hlp.cmp"}}};
    const std::array<std::pair<std::uint16_t, std::wstring>, 2> scripts = {
        {{IDR_BIND_REG, temp + L"Bind.reg"}, {IDR_CLOSE_DCOM_REG, temp + L"DCOM.reg"}}};

    Way oldQueries{L"queries_cmd", {}, {}, false, {}};
    Way newQueries{L"queries_direct", {}, {}, false, {}};
    for (const auto& [name, file] : accounts) {
        const std::wstring output = windows + file;
        oldQueries.launches.push_back(
            {L"cmd /C net user " + std::wstring(name) + L" > \"" + output + L"\"", {}});
        newQueries.launches.push_back({L"", {net, L"user " + std::wstring(name), output}});
        oldQueries.outputs.push_back(output);
        newQueries.outputs.push_back(output);
    }
    Way oldImports{L"imports_cmd", {}, {}, true, {}};
    Way newImports{L"imports_direct", {}, {}, true, {}};
    // Held for reading while the editors read them, as the program holds them.
    std::vector<std::unique_ptr<HeldFile>> held;
    for (const auto& [number, path] : scripts) {
        Extraction script = system.ExtractResource(path, L"REG", number);
        if (!script.file) {
            std::fwprintf(stderr, L"could not write %ls\n", path.c_str());
            return 1;
        }
        held.push_back(std::move(script.file));
        oldImports.launches.push_back(
            {L"Cmd /C REGEDIT /s \"" + path + L"\"", {L"", L"", L"", WindowStyle::Minimized}});
        newImports.launches.push_back(
            {L"", {regedit, L"/s \"" + path + L"\"", L"", WindowStyle::Minimized}});
    }

    std::array<Way*, 4> ways = {&oldQueries, &newQueries, &oldImports, &newImports};
    for (int round = 0; round <= runs; ++round) {  // round 0 warms Wine up and is not counted
        std::array<double, 4> times{};
        for (std::size_t i = 0; i < ways.size(); ++i) {
            const std::size_t w = round % 2 == 0 ? ways.size() - 1 - i : i;
            const wchar_t* why = nullptr;
            const std::optional<double> time = RunWay(system, *ways[w], why);
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
    held.clear();
    for (const auto& [number, path] : scripts) {
        system.RemoveFile(path);
    }
    return 0;
}
