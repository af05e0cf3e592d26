#include <gtest/gtest.h>

#include "app/CommandLine.h"
#include "app/Commands.h"
#include "app/Unattended.h"
#include "catalogue/Port135.h"
#include "catalogue/Services.h"
#include "fakes/Harness.h"

namespace tolvane::testing {
namespace {

using C = ControlId;

const std::vector<std::wstring> kStartServices = {L"W32Time",   L"LmHosts",  L"PolicyAgent",
                                                  L"MSDTC",     L"Schedule", L"Dnscache",
                                                  L"Messenger", L"SSDPSRV",  L"upnphost"};
constexpr wchar_t kSmb[] =
    L"SYSTEM\\CurrentControlSet\\Services\\NetBT\\Parameters\\SmbDeviceEnabled";
constexpr wchar_t kMaxCachedSockets[] =
    L"SYSTEM\\CurrentControlSet\\Services\\Dnscache\\Parameters\\MaxCachedSockets";
constexpr wchar_t kInterfaces[] =
    L"SYSTEM\\CurrentControlSet\\Services\\NetBT\\Parameters\\Interfaces\\";
constexpr wchar_t kLmHostsStart[] = L"SYSTEM\\CurrentControlSet\\Services\\LmHosts\\Start";
constexpr C kTen[] = {C::NetBiosPortsBox, C::Port445Box,  C::Port1024TcpBox, C::Port123Box,
                      C::Port500Box,      C::Port1900Box, C::Port5000Box,    C::Port1023Box,
                      C::Port1024UdpBox,  C::Port1027Box};

struct Ports : Harness {
    explicit Ports(std::uint32_t start = 3) {
        for (const std::wstring& service : kStartServices) {
            Install(service, start);
        }
    }
    void CheckAll() {
        EnableInstalledServiceBoxes(state, machine);
        VerifyServices(state, machine);
    }
    // Closes every port the plain way: each service disabled, SMB off.
    void DisableAll() {
        for (const std::wstring& service : kStartServices) {
            Install(service, 4);
        }
        registry.SetDword(kMaxCachedSockets, 0);
        registry.SetDword(kSmb, 0);
    }
};

TEST(EnableInstalledServiceBoxes, OffersOnlyInstalledServicesAndAlwaysPort445) {
    Ports h;
    h.registry.keys.erase({kHklm, FakeRegistry::Fold(std::wstring(kServices) + L"SSDPSRV")});
    h.controls.SetEnabled(C::Port123Box, false);
    EnableInstalledServiceBoxes(h.state, h.machine);
    for (C box : kTen) {
        EXPECT_EQ(h.controls.Enabled(box), box != C::Port1900Box) << static_cast<int>(box);
    }
    Harness bare;
    EnableInstalledServiceBoxes(bare.state, bare.machine);
    EXPECT_TRUE(bare.controls.Enabled(C::Port445Box));
    EXPECT_FALSE(bare.controls.Enabled(C::Port123Box));
    EXPECT_TRUE(bare.controls.Enabled(C::Port135Box));
}

TEST(VerifyServices, LeavesABoxOfAMissingServiceClearedAndItsLabelAlone) {
    Ports h;
    h.DisableAll();
    h.registry.keys.erase({kHklm, FakeRegistry::Fold(std::wstring(kServices) + L"SSDPSRV")});
    h.Set(C::Port1900Box, 1);
    h.controls.SetBold(C::Port1900Label, false);
    h.CheckAll();
    EXPECT_FALSE(h.controls.Enabled(C::Port1900Box));
    EXPECT_EQ(h.Value(C::Port1900Box), 0);
    EXPECT_FALSE(h.controls.Bold(C::Port1900Label));
    EXPECT_EQ(h.Verified(C::Port1900Box), 0);
    EXPECT_TRUE(h.controls.Enabled(C::Port135Box));
}

TEST(VerifyServices, TheDnsBoxNeedsBothRows) {
    Ports h;
    h.Install(L"Dnscache", 4);
    h.CheckAll();
    EXPECT_EQ(h.Value(C::Port1024UdpBox), 0);
    EXPECT_TRUE(h.controls.Bold(C::Port1024UdpLabel));
    h.registry.SetDword(kMaxCachedSockets, 0);
    h.CheckAll();
    EXPECT_EQ(h.Value(C::Port1024UdpBox), 1);
    EXPECT_FALSE(h.controls.Bold(C::Port1024UdpLabel));
}

// A reading is not a click: each box is read from the machine alone; a click keeps the reaction.
TEST(VerifyServices, ReadsSsdpAndUpnpEachFromTheMachineAndOnlyAClickTicksBoth) {
    Ports h;
    h.Install(L"SSDPSRV", 4);
    h.CheckAll();
    EXPECT_EQ(h.Value(C::Port1900Box), 1);
    EXPECT_EQ(h.Value(C::Port5000Box), 0);
    EXPECT_TRUE(h.controls.Bold(C::Port5000Label));
    EXPECT_EQ(h.Verified(C::Port5000Box), 0);
    h.main.Click(C::Port1900Box);
    h.main.Click(C::Port1900Box);
    EXPECT_EQ(h.Value(C::Port5000Box), 1);
}

TEST(VerifyServices, TheGateOpensPort135OnlyWhenTheNinePortsAreClosedOrAbsent) {
    struct Case {
        const wchar_t* openService;  // one service left running, or none
        bool enabled;
    };
    for (const Case& c : {Case{nullptr, true}, Case{L"SSDPSRV", true}, Case{L"LmHosts", false},
                          Case{L"W32Time", false}}) {
        Ports h;
        h.DisableAll();
        if (c.openService) {
            h.Install(c.openService, 3);
        }
        h.Set(C::Port135Box, 1);  // a stale tick is cleared first
        h.CheckAll();
        EXPECT_EQ(h.controls.Enabled(C::Port135Box), c.enabled)
            << (c.openService ? c.openService : L"none");
        EXPECT_EQ(h.Value(C::Port135Box), 0);
    }
    // Absent services do not count against the gate.
    Harness bare;
    bare.registry.SetDword(kSmb, 0);
    EnableInstalledServiceBoxes(bare.state, bare.machine);
    VerifyServices(bare.state, bare.machine);
    EXPECT_TRUE(bare.controls.Enabled(C::Port135Box));
}

TEST(VerifyServices, Port135ShowsItsClosedStateAndTakesTheOtherBoxesAway) {
    Ports h;
    h.DisableAll();
    h.registry.SetString(L"SOFTWARE\\Microsoft\\Ole\\EnableDCOM", L"N");
    h.registry.SetString(L"SYSTEM\\CurrentControlSet\\Services\\RpcSs\\ListenOnInternet", L"N");
    h.registry.SetString(L"SOFTWARE\\Microsoft\\Rpc\\DCOM ProtocolsKX", L"1");
    h.registry.SetRaw(L"SYSTEM\\CurrentControlSet\\Services\\Rpc\\Linkage\\Bind",
                      {RawMultiSz, {'1', 0, 0, 0, 0, 0}});
    h.CheckAll();
    EXPECT_EQ(h.Value(C::Port135Box), 1);
    EXPECT_FALSE(h.controls.Bold(C::Port135Label));
    for (C box : kTen) {
        EXPECT_FALSE(h.controls.Enabled(box));
        EXPECT_EQ(h.Value(box), 1);
    }
    // The next check clears the port 135 box first, which offers the boxes again before they are
    // read.
    h.CheckAll();
    EXPECT_EQ(h.Value(C::Port123Box), 1);
    EXPECT_EQ(h.Value(C::Port135Box), 1);
}

TEST(Port135Reaction, DisablesTheTenWithoutChangingThemAndOffersOnlyInstalledOnesBack) {
    Ports h;
    h.registry.keys.erase({kHklm, FakeRegistry::Fold(std::wstring(kServices) + L"MSDTC")});
    h.CheckAll();
    h.Set(C::Port123Box, 1);
    h.Set(C::Port135Box, 1);
    for (C box : kTen) {
        EXPECT_FALSE(h.controls.Enabled(box));
    }
    EXPECT_EQ(h.Value(C::Port123Box), 1);
    h.Set(C::Port135Box, 0);
    for (C box : kTen) {
        EXPECT_EQ(h.controls.Enabled(box), box != C::Port1023Box);
    }
}

TEST(SelectAllServices, TicksOnlyPort135WhenItIsAvailable) {
    Harness gateOpen;
    gateOpen.registry.SetDword(kSmb, 0);
    EnableInstalledServiceBoxes(gateOpen.state, gateOpen.machine);
    VerifyServices(gateOpen.state, gateOpen.machine);
    gateOpen.Set(C::Port445Box, 0);
    gateOpen.Set(C::SelectAllServicesBox, 1);
    EXPECT_EQ(gateOpen.Value(C::Port135Box), 1);
    EXPECT_EQ(gateOpen.Value(C::Port445Box), 0);

    Ports h;
    h.CheckAll();
    h.Set(C::SelectAllServicesBox, 1);
    EXPECT_EQ(h.Value(C::Port135Box), 0);
    for (C box : kTen) {
        EXPECT_EQ(h.Value(box), 1);
    }
}

TEST(ApplyServices, StartsEachStopAndBacksUpEachStartType) {
    Ports h;
    h.CheckAll();
    h.Set(C::SelectAllServicesBox, 1);
    EXPECT_FALSE(ApplyServices(h.state, h.machine));
    EXPECT_EQ(
        h.system.commandLines(),
        (std::vector<std::wstring>{
            L"net stop lmhosts", L"net stop W32Time", L"net stop policyagent", L"net stop upnphost",
            L"net stop Schedule", L"net stop Dnscache", L"net stop msdtc", L"net stop messenger"}));
    for (const auto& started : h.system.started) {
        EXPECT_EQ(started.style, WindowStyle::Minimized);
    }
    for (const std::wstring& service : kStartServices) {
        EXPECT_EQ(h.Read(kServices + service + L"\\Start"), L"4") << service;
        EXPECT_EQ(h.Read(kServices + service + L"\\StartKX"), L"3") << service;
    }
    EXPECT_EQ(h.Read(kSmb), L"0");
    EXPECT_EQ(h.Read(kMaxCachedSockets), L"0");
    EXPECT_EQ(h.Value(C::SelectAllServicesBox), 0);
    // Everything back: the former start types return and the backups go.
    VerifyServices(h.state, h.machine);
    for (C box : kTen) {
        h.Set(box, 0);
    }
    EXPECT_FALSE(ApplyServices(h.state, h.machine));
    for (const std::wstring& service : kStartServices) {
        EXPECT_EQ(h.Read(kServices + service + L"\\Start"), L"3") << service;
        EXPECT_EQ(h.Read(kServices + service + L"\\StartKX"), L"(missing)") << service;
    }
    EXPECT_EQ(h.Read(kSmb), L"(missing)");
    EXPECT_EQ(h.Read(kMaxCachedSockets), L"(missing)");
}

TEST(ApplyServices, RestartFlagDependsOnTheRowsApplied) {
    struct Case {
        std::vector<C> ticked;
        bool restart;
    };
    // NetBIOS is switched off only when Windows starts again, whatever else was stopped.
    for (const Case& c :
         {Case{{}, true}, Case{{C::Port500Box}, true}, Case{{C::Port500Box, C::Port1027Box}, false},
          Case{{C::Port445Box}, true}, Case{{C::Port1024UdpBox}, false},
          Case{{C::NetBiosPortsBox, C::Port123Box}, true}}) {
        Ports h;
        h.CheckAll();
        for (C box : c.ticked) {
            h.Set(box, 1);
        }
        h.state.restartNeeded = false;
        const int writes = h.registry.writes;
        EXPECT_FALSE(ApplyServices(h.state, h.machine));
        EXPECT_EQ(h.state.restartNeeded, c.restart) << c.ticked.size();
        if (c.ticked.empty()) {
            EXPECT_EQ(h.registry.writes, writes);
            EXPECT_TRUE(h.system.started.empty());
        }
    }
}

// Its state when applied is what an undo brings back: disabled, as found.
TEST(ApplyServices, AServiceDisabledOutsideIsStoppedAndKeptDisabledForTheUndo) {
    Ports h;
    h.CheckAll();
    h.Install(L"W32Time", 4);
    h.Set(C::Port123Box, 1);
    h.registry.changes.clear();
    EXPECT_FALSE(ApplyServices(h.state, h.machine));
    EXPECT_EQ(h.system.commandLines(), std::vector<std::wstring>{L"net stop W32Time"});
    EXPECT_EQ(h.registry.changes,
              std::vector<std::wstring>{std::wstring(L"write ") + kServices + L"W32Time\\StartKX"});
    EXPECT_EQ(h.Read(std::wstring(kServices) + L"W32Time\\StartKX"), L"4");
}

TEST(ApplyServices, ClearingPort445DeletesTheValue) {
    Ports h;
    h.registry.SetDword(kSmb, 0);
    h.CheckAll();
    h.Set(C::Port445Box, 0);
    EXPECT_FALSE(ApplyServices(h.state, h.machine));
    EXPECT_EQ(h.Read(kSmb), L"(missing)");
}

TEST(ApplyServices, ARefusedWriteStopsTheRowsAfterIt) {
    Ports h;
    h.CheckAll();
    h.registry.DenyWrites(std::wstring(kServices) + L"PolicyAgent");
    h.Set(C::NetBiosPortsBox, 1);
    h.Set(C::Port500Box, 1);
    h.Set(C::Port1027Box, 1);
    const GroupResult refusal = ApplyServices(h.state, h.machine);
    ASSERT_TRUE(refusal);
    EXPECT_EQ(refusal->box, C::Port500Box);
    EXPECT_EQ(refusal->notTried, std::vector<ControlId>{C::Port1027Box});
    EXPECT_EQ(h.Read(std::wstring(kServices) + L"LmHosts\\Start"), L"4");
    EXPECT_EQ(h.Read(std::wstring(kServices) + L"Messenger\\Start"), L"3");
}

std::wstring Netbios(const wchar_t* interfaceName) {
    return std::wstring(kInterfaces) + interfaceName + L"\\NetbiosOptions";
}

TEST(NetbiosOverTcpip, TheBoxHoldsOnlyWhileLmHostsIsOffAndEveryInterfaceHasTwo) {
    struct Case {
        const char* what;
        std::uint32_t lmHosts;
        // Each interface key, with its value or none.
        std::vector<std::pair<const wchar_t*, std::optional<std::uint32_t>>> interfaces;
        bool inForce;
    };
    const Case cases[] = {
        {"no interface: the service alone", 4, {}, true},
        {"every interface off", 4, {{L"Tcpip_{A}", 2}, {L"Tcpip_{B}", 2}}, true},
        {"one interface from DHCP", 4, {{L"Tcpip_{A}", 2}, {L"Tcpip_{B}", 0}}, false},
        // As after an interface was added.
        {"one interface without the value", 4, {{L"Tcpip_{A}", 2}, {L"Tcpip_{B}", {}}}, false},
        {"every interface off, the service on", 2, {{L"Tcpip_{A}", 2}}, false},
    };
    for (const Case& c : cases) {
        Ports h;
        h.Install(L"LmHosts", c.lmHosts);
        for (const auto& [name, value] : c.interfaces) {
            h.registry.keys[{kHklm, FakeRegistry::Fold(std::wstring(kInterfaces) + name)}];
            if (value) {
                h.registry.SetDword(Netbios(name), *value);
            }
        }
        h.CheckAll();
        EXPECT_EQ(h.Value(C::NetBiosPortsBox), c.inForce ? 1 : 0) << c.what;
    }
}

// The interfaces are looked for at each check: one added after the apply has NetBIOS on.
TEST(NetbiosOverTcpip, AnInterfaceAddedAfterTheApplyOpensThePortsAgain) {
    Ports h;
    h.Install(L"LmHosts", 2);
    h.registry.SetDword(Netbios(L"Tcpip_{A}"), 0);
    h.CheckAll();
    h.Set(C::NetBiosPortsBox, 1);
    EXPECT_FALSE(ApplyServices(h.state, h.machine));
    h.CheckAll();
    EXPECT_EQ(h.Value(C::NetBiosPortsBox), 1);
    h.registry.keys[{kHklm, FakeRegistry::Fold(std::wstring(kInterfaces) + L"Tcpip_{B}")}];
    h.CheckAll();
    EXPECT_EQ(h.Value(C::NetBiosPortsBox), 0);
}

// Without the window as well: the restore finds each interface's record, and only those.
TEST(NetbiosOverTcpip, AnUnattendedRestoreBringsEachInterfaceBackFromItsRecord) {
    Ports h;
    h.Install(L"LmHosts", 2);
    h.registry.SetDword(Netbios(L"Tcpip_{A}"), 0);
    h.registry.keys[{kHklm, FakeRegistry::Fold(std::wstring(kInterfaces) + L"Tcpip_{B}")}];
    const auto run = [&](const wchar_t* line) {
        return RunUnattended(ParseCommandLine(line), h.registry, h.system, h.accounts);
    };
    run(L"/apply:services -noaccount");
    EXPECT_EQ(h.Read(Netbios(L"Tcpip_{B}")), L"2");
    // Switched off by other means, without a record: a restore leaves it.
    h.registry.SetDword(Netbios(L"Tcpip_{C}"), 2);
    run(L"/restore:services -noaccount");
    EXPECT_EQ(h.registry.Get(Netbios(L"Tcpip_{A}")), FakeRegistry::Dword(0));
    EXPECT_EQ(h.Read(Netbios(L"Tcpip_{B}")), L"(missing)");
    EXPECT_EQ(h.Read(Netbios(L"Tcpip_{C}")), L"2");
    EXPECT_EQ(h.Read(kLmHostsStart), L"2");
}

}  // namespace
}  // namespace tolvane::testing
