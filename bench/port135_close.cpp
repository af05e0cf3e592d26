// Times closing port 135 under Wine, from the Yes answer to the end of the close, side by side
// with what it cannot do without: the two registry-editor imports alone, started as the close
// starts them (regedit.exe itself, minimized, with no shell between) and waited for. Rounds
// alternate the two; every round starts from Windows XP's DCOM values.
//
//   port135_close.exe [RUNS]      (default 7)
#include <windows.h>

#include "Timing.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "catalogue/Port135.h"
#include "registry/win32/Win32RegistryStore.h"
#include "resources/ResourceIds.h"
#include "system/SystemInfo.h"
#include "system/win32/Win32LocalAccounts.h"
#include "system/win32/Win32System.h"

namespace {

using tolvane::bench::Median;
using tolvane::bench::Now;

using namespace tolvane;

// Answers the warning with Yes and notes when.
class YesHost : public Host {
  public:
    int ShowMessageBox(const std::wstring& text, const std::wstring&, unsigned) override {
        if (text != kPort135Warning) {
            std::fwprintf(stderr, L"unexpected message: %ls\n", text.c_str());
            failed = true;
        }
        answeredAt = Now();
        return IdYes;
    }
    double answeredAt = 0;
    bool failed = false;
};

void ResetToXp(Reg& reg) {
    (void)reg.WriteValue(kHklm, L"SOFTWARE\\Microsoft\\Ole\\EnableDCOM", L"Y", ValueType::String);
    (void)reg.WriteRaw(
        kHklm, L"SOFTWARE\\Microsoft\\Rpc\\DCOM Protocols",
        MultiStringValue({L"ncacn_ip_tcp", L"ncacn_spx", L"ncacn_nb_nb", L"ncacn_nb_ipx"}));
    for (const wchar_t* path :
         {L"SYSTEM\\CurrentControlSet\\Services\\Rpc\\Linkage\\",
          L"SYSTEM\\CurrentControlSet\\Services\\RpcSs\\ListenOnInternet", kPort135Marker}) {
        (void)reg.Remove(kHklm, path);
    }
}

// As long as the close waits for its imports.
constexpr std::uint32_t kImportTimeoutMs = 10000;

// The scripts a close imports, as it names them.
constexpr std::pair<const wchar_t*, std::uint16_t> kCloseScripts[] = {
    {L"\\Bind.reg", IDR_BIND_REG}, {L"\\DCOM.reg", IDR_CLOSE_DCOM_REG}};

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const int runs = argc > 1 ? _wtoi(argv[1]) : 7;
    win32::Win32RegistryStore store;
    win32::Win32System system;
    YesHost host;
    Reg reg(store);
    win32::Win32LocalAccounts accounts;
    Machine machine{reg, system, host, accounts};
    const std::wstring folder = system.ProgramFolder();

    std::vector<double> closes;
    std::vector<double> imports;
    for (int run = 0; run <= runs; ++run) {  // round 0 warms Wine up and is not counted
        ResetToXp(reg);
        MainWindowState state;
        ClosePort135(state, machine);
        const double close = Now() - host.answeredAt;
        if (host.failed || !IsPort135Closed(machine)) {
            std::fwprintf(stderr, L"the close failed in round %d\n", run);
            return 1;
        }

        ResetToXp(reg);
        std::vector<std::unique_ptr<HeldFile>> held;
        std::vector<ProgramStart> starts;
        for (const auto& [name, number] : kCloseScripts) {
            held.push_back(system.ExtractResource(folder + name, L"REG", number).file);
            starts.push_back({machine.windowsFolder + L"\\regedit.exe",
                              L"/s \"" + folder + name + L"\"", L"", WindowStyle::Minimized});
        }
        const double start = Now();
        const auto ends = RunProgramsToEnd(system, starts, kImportTimeoutMs);
        const double alone = Now() - start;
        held.clear();
        for (const auto& [name, number] : kCloseScripts) {
            system.RemoveFile(folder + name);
        }
        if (std::count(ends.begin(), ends.end(), CommandEnd::Ended) != 2) {
            std::fwprintf(stderr, L"an import did not end in round %d\n", run);
            return 1;
        }
        if (run > 0) {
            closes.push_back(close);
            imports.push_back(alone);
            std::wprintf(L"run %d close_ms=%.1f imports_alone_ms=%.1f\n", run, close, alone);
        }
    }
    ResetToXp(reg);
    const double close = Median(closes);
    const double alone = Median(imports);
    std::wprintf(L"median_close_ms=%.1f\nmedian_imports_alone_ms=%.1f\nratio=%.2f\n", close, alone,
                 alone > 0 ? close / alone : -1.0);
    return 0;
}
