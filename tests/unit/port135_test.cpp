#include <gtest/gtest.h>

#include <set>

#include "app/CommandLine.h"
#include "app/Commands.h"
#include "app/Unattended.h"
#include "catalogue/Port135.h"
#include "fakes/Harness.h"
#include "fakes/RegScript.h"
#include "help/ContextHelp.h"
#include "model/MachineChanges.h"

namespace tolvane::testing {
namespace {

using C = ControlId;

constexpr wchar_t kEnableDcom[] = L"SOFTWARE\\Microsoft\\Ole\\EnableDCOM";
constexpr wchar_t kListen[] = L"SYSTEM\\CurrentControlSet\\Services\\RpcSs\\ListenOnInternet";
constexpr wchar_t kProtocols[] = L"SOFTWARE\\Microsoft\\Rpc\\DCOM Protocols";
constexpr wchar_t kLinkage[] = L"SYSTEM\\CurrentControlSet\\Services\\Rpc\\Linkage";
constexpr wchar_t kBind[] = L"SYSTEM\\CurrentControlSet\\Services\\Rpc\\Linkage\\Bind";
constexpr wchar_t kMarker[] = L"SOFTWARE\\Microsoft\\Rpc\\DCOM ProtocolsKX";
const std::vector<std::wstring> kOpenList = {L"ncacn_ip_tcp", L"ncacn_spx", L"ncacn_nb_nb",
                                             L"ncacn_nb_ipx"};
const std::vector<std::wstring> kClosedList = {L"ncacn_spx", L"ncacn_nb_nb", L"ncacn_nb_ipx"};
const std::vector<std::wstring> kAdminList = {L"ncacn_ip_tcp", L"ncacn_http"};
const std::wstring kBindImport = L"C:\\WINDOWS\\regedit.exe /s \"C:\\Tools\\Bind.reg\"";
const std::wstring kDcomImport = L"C:\\WINDOWS\\regedit.exe /s \"C:\\Tools\\DCOM.reg\"";
const std::wstring kDcom2Import = L"C:\\WINDOWS\\regedit.exe /s \"C:\\Tools\\DCOM2.reg\"";
constexpr wchar_t kWarning[] =
    L"We strongly recommend to backup your system before closing port 135 as if a problem occurs, "
    L"there will be no way to step back.\r\n\r\nAre you ready?";

// An XP machine with Windows' DCOM defaults and the nine gate ports closed, and a stand-in for
// the registry editor that imports a script when its command ends.
struct Dcom : Harness {
    std::set<std::wstring> rejected;  // scripts the editor reads but does not import

    Dcom() {
        for (const auto& [file, number] :
             {std::pair{"Bind.reg", 101}, {"DCOM.reg", 103}, {"DCOM2.reg", 104}}) {
            system.resources[{L"REG", static_cast<std::uint16_t>(number)}] = ResourceFile(file);
        }
        for (const wchar_t* service : {L"W32Time", L"LmHosts", L"PolicyAgent", L"MSDTC",
                                       L"Schedule", L"Dnscache", L"Messenger", L"upnphost"}) {
            Install(service, 4);
        }
        registry.SetDword(std::wstring(kServices) + L"Dnscache\\Parameters\\MaxCachedSockets", 0);
        registry.SetDword(std::wstring(kServices) + L"NetBT\\Parameters\\SmbDeviceEnabled", 0);
        Install(L"RpcSs", 2);
        registry.SetString(kEnableDcom, L"Y");
        registry.SetRaw(kProtocols, MultiStringValue(kOpenList));
        system.onCommandEnd = [this](const std::wstring& line) { Import(line); };
    }
    void Import(const std::wstring& line) {
        const std::wstring start = L"C:\\WINDOWS\\regedit.exe /s \"";
        ASSERT_TRUE(line.starts_with(start) && line.ends_with(L"\"")) << line;
        const std::wstring path = line.substr(start.size(), line.size() - start.size() - 1);
        EXPECT_EQ(system.held.count(path), 1u) << "not held while imported: " << path;
        if (rejected.count(path) == 0) {
            for (const ScriptValue& value : ParseRegScript(system.files.at(path))) {
                registry.Write(RegistryView::Default, kHklm, value.key, value.name, value.value);
                // The editor's writes are not the program's: which editor starts is tested apart.
                registry.views.pop_back();
            }
        }
    }
    void CheckAll() { VerifyAllGroups(state, machine); }
    // Ticks or clears the box and applies the group, answering the warning.
    void Apply(int value, int answer = IdYes) {
        Set(C::Port135Box, value);
        host.answers = {answer};
        ApplyGroupCommand(state, machine, Group::Services);
    }
    std::optional<std::vector<std::wstring>> List(const wchar_t* valuePath) {
        const auto value = registry.Get(valuePath);
        return value ? MultiStrings(*value) : std::nullopt;
    }
    // What an earlier version leaves: port 135 closed, nothing of the former values kept.
    void ClosedByEarlierRun() {
        registry.SetString(kEnableDcom, L"N");
        registry.SetString(kListen, L"N");
        registry.SetString(kMarker, L"1");
        registry.SetRaw(kBind, MultiStringValue({L"1"}));
        registry.SetRaw(kProtocols, MultiStringValue(kClosedList));
    }
    std::vector<std::wstring> Reports() const {
        std::vector<std::wstring> texts;
        for (const auto& message : host.messages) {
            if (message.title == kAppTitle) {
                texts.push_back(message.text);
            }
        }
        return texts;
    }
};

TEST(IsPort135Closed, NeedsEachOfTheFourTraces) {
    struct Case {
        const char* what;
        const wchar_t* path;
        const wchar_t* text;  // null: the value is removed
        bool closed;
    };
    const Case cases[] = {
        {"all four", nullptr, nullptr, true},
        {"DCOM still on", kEnableDcom, nullptr, false},
        {"DCOM off in lower case", kEnableDcom, L"n", false},
        {"still listening", kListen, nullptr, false},
        {"no marker", kMarker, nullptr, false},
        {"reopened marker", kMarker, L"0", false},
        {"no binding", kBind, nullptr, false},
        {"the protocol list is not looked at", kProtocols, nullptr, true},
    };
    for (const Case& c : cases) {
        Dcom h;
        h.ClosedByEarlierRun();
        h.registry.SetRaw(kProtocols, MultiStringValue(kOpenList));
        if (c.path && c.text) {
            h.registry.SetString(c.path, c.text);
        } else if (c.path) {
            ASSERT_FALSE(h.reg.Remove(kHklm, c.path));
        }
        EXPECT_EQ(IsPort135Closed(h.machine), c.closed) << c.what;
    }
}

TEST(ClosePort135, ClosesOnYesAndReopeningBringsBackWhatWasThere) {
    Dcom h;
    h.CheckAll();
    ASSERT_TRUE(h.controls.Enabled(C::Port135Box));
    h.Apply(1);
    ASSERT_EQ(h.host.messages.size(), 1u);
    EXPECT_EQ(h.host.messages[0].text, kWarning);
    EXPECT_EQ(h.host.messages[0].title, L"Warning.....");
    EXPECT_EQ(h.host.messages[0].style, MbYesNo | MbIconExclamation | MbDefButton2);
    EXPECT_EQ(h.system.commandLines(), (std::vector<std::wstring>{kBindImport, kDcomImport}));
    // The registry editor itself, by its full path: no shell between, no output to keep.
    for (const ProgramStart& import : h.system.programs) {
        EXPECT_EQ(import.program, L"C:\\WINDOWS\\regedit.exe");
        EXPECT_TRUE(import.outputFile.empty());
        EXPECT_EQ(import.style, WindowStyle::Minimized);
    }
    EXPECT_EQ(h.List(kBind), std::vector<std::wstring>{L"1"});
    EXPECT_EQ(h.List(kProtocols), kClosedList);
    EXPECT_EQ(h.Read(kEnableDcom), L"N");
    EXPECT_EQ(h.Read(kListen), L"N");
    EXPECT_EQ(h.Read(kMarker), L"1");
    EXPECT_TRUE(h.system.files.empty());
    EXPECT_TRUE(h.system.held.empty());
    EXPECT_EQ(h.Value(C::Port135Box), 1);  // shown by the verify after the apply
    EXPECT_EQ(h.Verified(C::Port135Box), 1);

    h.system.started.clear();
    h.Apply(0);
    EXPECT_EQ(h.host.messages.size(), 1u);
    EXPECT_TRUE(h.system.started.empty());
    EXPECT_EQ(h.registry.Get(kEnableDcom), (RawValue{RawSz, {'Y', 0, 0, 0}}));
    EXPECT_EQ(h.List(kProtocols), kOpenList);
    EXPECT_FALSE(h.registry.Get(kListen));
    EXPECT_FALSE(h.registry.KeyExists(kLinkage));
    EXPECT_EQ(h.Read(kMarker), L"0");
    EXPECT_EQ(h.Value(C::Port135Box), 0);
    // Nothing of the close is left behind but the marker: the keys the binding script created
    // go with it.
    Dcom fresh;
    fresh.registry.SetString(kMarker, L"0");
    EXPECT_EQ(h.registry.keys, fresh.registry.keys);
}

TEST(ClosePort135, NoLeavesAMachineNeverClosedAsItWas) {
    Dcom h;
    h.registry.SetRaw(kProtocols, MultiStringValue(kAdminList));
    h.CheckAll();
    h.Set(C::Port135Box, 1);
    EXPECT_FALSE(h.controls.Enabled(C::Port123Box));
    h.registry.changes.clear();
    h.host.answers = {IdNo};
    ClosePort135(h.state, h.machine);
    EXPECT_EQ(h.Value(C::Port135Box), 0);
    EXPECT_TRUE(h.controls.Enabled(C::Port123Box));
    EXPECT_FALSE(h.controls.Enabled(C::Port1900Box));  // SSDP is not installed here
    EXPECT_EQ(h.registry.changes, std::vector<std::wstring>{std::wstring(L"write ") + kMarker});
    EXPECT_EQ(h.Read(kMarker), L"0");
    EXPECT_EQ(h.Read(kEnableDcom), L"Y");
    EXPECT_EQ(h.List(kProtocols), kAdminList);
    EXPECT_TRUE(h.system.started.empty());
}

TEST(OpenPort135, WithoutKeptValuesRemovesTheTracesAndImportsTheOpenList) {
    Dcom h;
    h.ClosedByEarlierRun();
    h.registry.changes.clear();
    EXPECT_EQ(OpenPort135(h.machine), std::nullopt);
    EXPECT_EQ(
        h.registry.changes,
        (std::vector<std::wstring>{
            L"delete SYSTEM\\CurrentControlSet\\Services\\Rpc\\Linkage\\",
            L"delete SYSTEM\\CurrentControlSet\\Services\\RpcSs\\ListenOnInternet",
            L"delete SOFTWARE\\Microsoft\\Ole\\EnableDCOM",
            L"write SOFTWARE\\Microsoft\\Rpc\\DCOM Protocols", std::wstring(L"write ") + kMarker}));
    EXPECT_EQ(h.system.commandLines(), std::vector<std::wstring>{kDcom2Import});
    EXPECT_EQ(h.List(kProtocols), kOpenList);
    EXPECT_EQ(h.system.removed, std::vector<std::wstring>{L"C:\\Tools\\DCOM2.reg"});
    EXPECT_TRUE(h.system.files.empty());
    EXPECT_FALSE(IsPort135Closed(h.machine));
}

// A program folder that refuses the open list's script (a read-only share) does not stop the
// reopening: the rights it needs are the registry's.
TEST(OpenPort135, AFolderThatRefusesTheScriptGetsTheOpenListWrittenDirectly) {
    Dcom h;
    h.ClosedByEarlierRun();
    h.system.lockedFiles.insert(L"C:\\Tools\\DCOM2.reg");
    EXPECT_EQ(RunUnattended(ParseCommandLine(L"/restore:services -noaccount"), h.registry, h.system,
                            h.accounts),
              kExitRestartNeeded);
    EXPECT_TRUE(h.system.commandLines().empty()) << "no editor without its script";
    EXPECT_EQ(h.List(kProtocols), kOpenList);
    EXPECT_FALSE(IsPort135Closed(h.machine));
}

// A reopening, and the roll-back of a close refused at EnableDCOM, refused at each of their
// changes in turn: the marker says "0" before any record goes, and each record stays until its
// value is back, so the next start-up's reopening ends with the machine exactly as before the
// close.
TEST(OpenPort135, ARefusalAtAnyStepLeavesWhatTheNextStartNeedsToEndAsBeforeTheClose) {
    const std::wstring markerWrite = std::wstring(L"write ") + kMarker;
    const std::wstring bindRecord = L"SYSTEM\\CurrentControlSet\\Services\\Rpc\\LinkageBindKX135";
    const std::wstring refusedClose = std::wstring(L"write ") + kEnableDcom;
    // Every change of a reopening, in its order: the marker, then each value with its record
    // and the keys the close created (Bind's record lies in one of them and goes with it).
    const std::vector<std::wstring> reopening = {
        markerWrite,
        std::wstring(L"delete ") + kBind,
        std::wstring(L"delete ") + kLinkage + L"\\",
        L"delete SYSTEM\\CurrentControlSet\\Services\\Rpc\\",
        std::wstring(L"delete ") + kListen,
        std::wstring(L"delete ") + kListen + L"KX135",
        std::wstring(L"write ") + kEnableDcom,
        std::wstring(L"delete ") + kEnableDcom + L"KX135",
        std::wstring(L"write ") + kProtocols,
        std::wstring(L"delete ") + kProtocols + L"KX135",
    };
    const std::vector<std::wstring> records = {bindRecord, std::wstring(kListen) + L"KX135",
                                               std::wstring(kEnableDcom) + L"KX135",
                                               std::wstring(kProtocols) + L"KX135"};
    // A machine with its own protocol list, reopened by Tolvane once before.
    struct Machine : Dcom {
        Machine() {
            registry.SetRaw(kProtocols, MultiStringValue(kAdminList));
            registry.SetString(kMarker, L"0");
        }
    };
    // Without a refusal the reopening makes exactly these changes; the roll-back, those after the
    // refused write (EnableDCOM, never written, keeps its own value and loses only its record).
    Machine clean;
    clean.CheckAll();
    clean.Apply(1);
    clean.registry.changes.clear();
    clean.Apply(0);
    EXPECT_EQ(clean.registry.changes, reopening);
    Machine cleanClose;
    cleanClose.CheckAll();
    cleanClose.registry.changes.clear();
    cleanClose.Apply(1);
    const auto closing = cleanClose.registry.changes;
    const auto refusedAt = std::find(closing.begin(), closing.end(), refusedClose);
    ASSERT_NE(refusedAt, closing.end());
    Machine cleanRollBack;
    cleanRollBack.CheckAll();
    cleanRollBack.registry.changes.clear();
    cleanRollBack.registry.refusals = {refusedClose};
    cleanRollBack.Apply(1);
    const auto& cut = cleanRollBack.registry.changes;
    ASSERT_TRUE(std::equal(closing.begin(), refusedAt, cut.begin()));
    const std::vector<std::wstring> rollBack(cut.begin() + (refusedAt - closing.begin()),
                                             cut.end());
    EXPECT_EQ(std::count(rollBack.begin(), rollBack.end(), refusedClose), 0);
    ASSERT_GT(rollBack.size(), 6u);

    for (const bool isRollBack : {false, true}) {
        for (const std::wstring& step : isRollBack ? rollBack : reopening) {
            SCOPED_TRACE((isRollBack ? L"roll-back refused at " : L"reopening refused at ") + step);
            Machine h;
            auto before = h.registry.keys;
            h.CheckAll();
            // Refused at its first change, a reopening leaves port 135 closed, and says so.
            const bool stillClosed = !isRollBack && step == markerWrite;
            if (isRollBack) {
                h.registry.refusals = {refusedClose, step};
                h.Apply(1);
            } else {
                h.Apply(1);
                ASSERT_EQ(h.Read(kMarker), L"1");
                if (stillClosed) {
                    before = h.registry.keys;
                }
                h.registry.refusals = {step};
                h.Apply(0);
            }
            EXPECT_TRUE(h.registry.refusals.empty());
            const auto reports = h.Reports();
            ASSERT_EQ(reports.size(), 1u);
            EXPECT_TRUE(reports[0].starts_with(isRollBack ? L"Port 135 could not be closed, and"
                                                          : L"Port 135 could not be reopened."))
                << reports[0];
            if (h.Read(kMarker) != L"0") {
                for (const std::wstring& record : records) {
                    EXPECT_TRUE(h.registry.Get(record)) << record;
                }
            }
            EXPECT_EQ(h.Value(C::Port135Box), stillClosed ? 1 : 0);

            MainWindowController again(h.registry, h.system, h.host, h.accounts);
            again.ReadCommandLine(L"-noaccount");
            ASSERT_TRUE(again.LoadFromMachine());
            EXPECT_EQ(h.Reports().size(), 1u);
            EXPECT_EQ(h.registry.keys, before);
        }
    }
}

// What someone else changed after the close is theirs: the reopening, by the user's apply or by the
// window's start-up, leaves that value as it is and drops its record, and brings the others back.
TEST(OpenPort135, AValueChangedSinceTheCloseIsLeftAndTheOthersComeBack) {
    const std::vector<std::wstring> adminBind = {L"ncacn_ip_tcp"};
    const std::vector<std::wstring> adminList = {L"ncacn_ip_tcp", L"ncacn_spx"};
    struct Case {
        const wchar_t* value;
        std::function<void(Dcom&)> change;
        std::function<bool(Dcom&)> leftAsChanged;
    };
    const Case cases[] = {
        {kBind, [&](Dcom& h) { h.registry.SetRaw(kBind, MultiStringValue(adminBind)); },
         [&](Dcom& h) { return h.List(kBind) == adminBind; }},
        {kListen, [](Dcom& h) { h.registry.SetString(kListen, L"Y"); },
         [](Dcom& h) { return h.Read(kListen) == L"Y"; }},
        {kEnableDcom, [](Dcom& h) { ASSERT_FALSE(h.reg.Remove(kHklm, kEnableDcom)); },
         [](Dcom& h) { return !h.registry.Get(kEnableDcom); }},
        {kProtocols, [&](Dcom& h) { h.registry.SetRaw(kProtocols, MultiStringValue(adminList)); },
         [&](Dcom& h) { return h.List(kProtocols) == adminList; }},
    };
    for (const bool atStart : {false, true}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::wstring(atStart ? L"start-up, " : L"apply, ") + c.value);
            Dcom h;
            h.CheckAll();
            h.Apply(1);
            ASSERT_TRUE(IsPort135Closed(h.machine));
            c.change(h);
            if (atStart) {
                h.Install(L"Messenger", 2);  // a gate port open again: port 135 must open
                MainWindowController again(h.registry, h.system, h.host, h.accounts);
                again.ReadCommandLine(L"-noaccount");
                ASSERT_TRUE(again.LoadFromMachine());
            } else {
                h.Apply(0);
            }
            EXPECT_TRUE(c.leftAsChanged(h));
            // The others as before the close.
            const std::wstring changed = c.value;
            EXPECT_TRUE(changed == kBind || !h.registry.KeyExists(kLinkage));
            EXPECT_TRUE(changed == kListen || !h.registry.Get(kListen));
            EXPECT_TRUE(changed == kEnableDcom || h.Read(kEnableDcom) == L"Y");
            EXPECT_TRUE(changed == kProtocols || h.List(kProtocols) == kOpenList);
            EXPECT_EQ(h.Read(kMarker), L"0");
            EXPECT_FALSE(Port135ReopeningDue(h.reg)) << "every record gone";
            EXPECT_TRUE(h.Reports().empty());
        }
    }
}

// Through the gate (one gate port open) or start-up (the gate closed, port 135 half closed).
TEST(Port135Gate, KeepsPortOpenOnlyWhereThisProgramClosedIt) {
    struct Case {
        bool closedByUs;
        bool gateOpen;
    };
    for (const Case c : {Case{false, true}, Case{true, true}, Case{true, false}}) {
        SCOPED_TRACE(std::to_string(c.closedByUs) + std::to_string(c.gateOpen));
        Dcom h;
        if (c.closedByUs) {
            h.ClosedByEarlierRun();
        }
        if (c.gateOpen) {
            h.Install(L"Messenger", 2);
        } else {
            ASSERT_FALSE(h.reg.Remove(kHklm, kListen));
        }
        h.registry.changes.clear();
        h.main.ReadCommandLine(L"-noaccount");
        ASSERT_TRUE(h.main.LoadFromMachine());
        EXPECT_EQ(h.controls.Enabled(C::Port135Box), !c.gateOpen);
        EXPECT_EQ(h.Value(C::Port135Box), 0);
        EXPECT_TRUE(h.host.messages.empty());
        if (c.closedByUs) {
            EXPECT_EQ(h.Read(kMarker), L"0");
            EXPECT_FALSE(h.registry.KeyExists(kLinkage));
            EXPECT_EQ(h.List(kProtocols), kOpenList);
        } else {
            EXPECT_TRUE(h.registry.changes.empty());
            EXPECT_EQ(h.Read(kEnableDcom), L"Y");
        }
    }
}

TEST(ClosePort135, TheEditorsFailuresAreRepairedByWritingTheListsDirectly) {
    struct Case {
        const char* what;
        std::function<void(Dcom&)> arrange;
    };
    const Case cases[] = {
        {"editor rejects Bind.reg", [](Dcom& h) { h.rejected.insert(L"C:\\Tools\\Bind.reg"); }},
        {"no command interpreter", [](Dcom& h) { h.system.commandsStart = false; }},
    };
    for (const Case& c : cases) {
        Dcom h;
        h.CheckAll();
        c.arrange(h);
        h.Apply(1);
        EXPECT_TRUE(h.Reports().empty()) << c.what;
        EXPECT_EQ(h.List(kBind), std::vector<std::wstring>{L"1"}) << c.what;
        EXPECT_EQ(h.List(kProtocols), kClosedList) << c.what;
        EXPECT_EQ(h.Value(C::Port135Box), 1) << c.what;
        EXPECT_TRUE(h.system.files.empty()) << c.what;
    }
}

// An editor still running when the wait for all of an operation's imports is up (a minute, or
// what the machine is given) is ended while the lock is still held, so that it never writes after
// the operation; what it wrote is not known, so the records stay, and the next start reopens.
TEST(ClosePort135, AnEditorThatOutlivesItsWaitIsEndedUnderTheLockAndItsOutcomeIsNotKnown) {
    const std::vector<std::wstring> records = {
        L"SYSTEM\\CurrentControlSet\\Services\\Rpc\\LinkageBindKX135",
        std::wstring(kListen) + L"KX135", std::wstring(kEnableDcom) + L"KX135",
        std::wstring(kProtocols) + L"KX135"};
    struct Case {
        std::uint32_t wait;  // 0: as the machine has it
        bool ends;           // ending it works
        const wchar_t* told;
    };
    for (const Case& c : {Case{0, true, L"after 60 seconds; Tolvane ended it."},
                          Case{2000, true, L"after 2 seconds; Tolvane ended it."},
                          Case{0, false, L"after 60 seconds, and Tolvane could not end it."}}) {
        SCOPED_TRACE(c.told);
        Dcom h;
        h.registry.SetString(kMarker, L"0");  // reopened once before: the close changes no marker
        const auto before = h.registry.keys;
        if (c.wait) {
            h.machine.importWaitMs = c.wait;
        }
        h.system.processesEnd = c.ends;
        h.system.endsInTime = [&](const std::wstring& line) { return line != kDcomImport; };
        h.CheckAll();
        const std::uint32_t start = h.system.clock;
        h.Apply(1);
        EXPECT_EQ(h.system.clock - start, c.wait ? c.wait : 60000u);
        EXPECT_EQ(h.system.endedByUs, std::vector<std::wstring>{kDcomImport});
        EXPECT_EQ(h.system.locksWhenEnded, std::vector<int>{1}) << "ended under the lock";
        const auto reports = h.Reports();
        ASSERT_EQ(reports.size(), 1u);
        EXPECT_TRUE(reports[0].starts_with(L"Port 135 may be partly closed.")) << reports[0];
        EXPECT_NE(reports[0].find(c.told), std::wstring::npos) << reports[0];
        EXPECT_NE(reports[0].find(L"C:\\Tools\\DCOM.reg"), std::wstring::npos) << reports[0];
        EXPECT_EQ(h.Value(C::Port135Box), 0);
        EXPECT_NE(h.Read(kMarker), L"1");
        for (const std::wstring& record : records) {
            EXPECT_TRUE(h.registry.Get(record)) << record;
        }
        MainWindowController again(h.registry, h.system, h.host, h.accounts);
        again.ReadCommandLine(L"-noaccount");
        ASSERT_TRUE(again.LoadFromMachine());
        EXPECT_EQ(h.registry.keys, before);
    }
    // A reopening cut so is not known either: the records, or the marker, stay for the next one.
    Dcom h;
    h.ClosedByEarlierRun();
    h.system.endsInTime = [](const std::wstring& line) { return line != kDcom2Import; };
    EXPECT_EQ(RunUnattended(ParseCommandLine(L"/restore:services -noaccount /report:C:\\r.txt"),
                            h.registry, h.system, h.accounts),
              1);
    EXPECT_EQ(h.system.endedByUs, std::vector<std::wstring>{kDcom2Import});
    const std::string report = h.system.files.at(L"C:\\r.txt");
    EXPECT_NE(report.find("not known: the registry editor had to be ended"), std::string::npos)
        << report;
    EXPECT_EQ(h.Read(kMarker), L"1");
    EXPECT_TRUE(Port135ReopeningDue(h.reg));
}

TEST(ClosePort135, AFailureRollsBackAndIsReportedOnce) {
    struct Case {
        const char* what;
        std::function<void(Dcom&)> arrange;
        std::wstring named;  // what the message must name
    };
    const Case cases[] = {
        {"refused binding after a failed import",
         [](Dcom& h) {
             h.rejected.insert(L"C:\\Tools\\Bind.reg");
             h.registry.DenyWrites(kLinkage);
         },
         L"HKLM\\SYSTEM\\CurrentControlSet\\Services\\Rpc\\Linkage\\Bind"},
        {"refused EnableDCOM", [](Dcom& h) { h.registry.DenyWrites(L"SOFTWARE\\Microsoft\\Ole"); },
         L"HKLM\\SOFTWARE\\Microsoft\\Ole\\EnableDCOM"},
        {"script held open elsewhere",
         [](Dcom& h) { h.system.lockedFiles.insert(L"C:\\Tools\\DCOM.reg"); },
         L"C:\\Tools\\DCOM.reg\r\n\r\nsystem error 32"},
        {"resource missing",
         [](Dcom& h) {
             h.system.resources.erase({L"REG", 101});
         },
         L"C:\\Tools\\Bind.reg"},
    };
    for (const Case& c : cases) {
        Dcom h;
        h.CheckAll();
        c.arrange(h);
        h.Apply(1);
        const auto reports = h.Reports();
        ASSERT_EQ(reports.size(), 1u) << c.what;
        EXPECT_TRUE(reports[0].starts_with(L"Port 135 could not be closed; it is left open."))
            << c.what;
        EXPECT_NE(reports[0].find(c.named), std::wstring::npos) << c.what << "\n" << reports[0];
        EXPECT_EQ(h.Read(kMarker), L"0") << c.what;
        EXPECT_EQ(h.Read(kEnableDcom), L"Y") << c.what;
        EXPECT_EQ(h.List(kProtocols), kOpenList) << c.what;
        EXPECT_FALSE(h.registry.Get(kListen)) << c.what;
        EXPECT_FALSE(h.registry.Get(kBind)) << c.what;
        EXPECT_EQ(h.Value(C::Port135Box), 0) << c.what;
        EXPECT_TRUE(h.system.files.empty()) << c.what;
    }
}

// A verify only reads: a gate port open again leaves port 135's box cleared and the machine as
// it is, and the window's next start reopens it; a refused reopening there is told once.
TEST(Port135Gate, AVerifyNeverReopensAndTheNextStartDoesOrSaysWhyNot) {
    Dcom h;
    h.CheckAll();
    h.Apply(1);
    ASSERT_EQ(h.Read(kMarker), L"1");
    h.Install(L"Messenger", 2);
    h.registry.changes.clear();
    h.CheckAll();
    EXPECT_TRUE(h.registry.changes.empty());
    EXPECT_FALSE(h.controls.Enabled(C::Port135Box));
    EXPECT_EQ(h.Value(C::Port135Box), 0);
    EXPECT_EQ(h.Read(kMarker), L"1");

    h.registry.DenyWrites(L"SOFTWARE\\Microsoft\\Rpc");
    MainWindowController again(h.registry, h.system, h.host, h.accounts);
    again.ReadCommandLine(L"-noaccount");
    ASSERT_TRUE(again.LoadFromMachine());
    VerifyAllGroups(again.state(), again.machine());
    const auto reports = h.Reports();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_TRUE(reports[0].starts_with(L"Port 135 could not be reopened."));
    EXPECT_NE(reports[0].find(L"HKLM\\SOFTWARE\\Microsoft\\Rpc\\DCOM Protocols"),
              std::wstring::npos);
    EXPECT_FALSE(again.controls().Enabled(C::Port135Box));
    EXPECT_EQ(again.controls().Value(C::Port135Box), BoxValue::Cleared);

    h.registry.AllowWrites(L"SOFTWARE\\Microsoft\\Rpc");
    MainWindowController third(h.registry, h.system, h.host, h.accounts);
    third.ReadCommandLine(L"-noaccount");
    ASSERT_TRUE(third.LoadFromMachine());
    EXPECT_EQ(h.Reports().size(), 1u);
    EXPECT_FALSE(IsPort135Closed(h.machine));
    EXPECT_FALSE(Port135ReopeningDue(h.reg));
}

// A close cut at any registry change, the editor's imports included, then a restore: the machine
// is as before the close.
TEST(ClosePort135, ACloseCutAtAnyChangeIsTakenBackExactlyByARestore) {
    std::size_t all = 0;
    for (std::size_t cut = 0; cut == 0 || cut < all; ++cut) {
        SCOPED_TRACE(cut);
        Dcom h;
        // Reopened by Tolvane once before: the marker the close writes first is there already.
        h.registry.SetString(kMarker, L"0");
        h.registry.SetRaw(kProtocols, MultiStringValue(kAdminList));
        const auto before = h.registry.keys;
        h.CheckAll();
        h.registry.changes.clear();
        h.registry.refuseAfter = cut == 0 ? 1000 : static_cast<int>(cut);
        h.Apply(1);
        h.registry.refuseAfter = -1;
        if (cut == 0) {
            all = h.registry.changes.size();
        } else {
            ASSERT_EQ(h.registry.changes.size(), cut);
        }
        RunUnattended(ParseCommandLine(L"/restore:services -noaccount"), h.registry, h.system,
                      h.accounts);
        EXPECT_EQ(h.registry.keys, before);
    }
    EXPECT_GT(all, 8u);
}

// The scripts a cut close or reopening left in the program's folder go at the window's next start
// and before the next close, but for one held open elsewhere; a run without the window leaves
// them all.
TEST(ClosePort135, ScriptsLeftByACutRunGoAtTheNextStartOrClose) {
    const std::wstring bind = L"C:\\Tools\\Bind.reg";
    const std::wstring dcom = L"C:\\Tools\\DCOM.reg";
    const std::wstring dcom2 = L"C:\\Tools\\DCOM2.reg";
    const auto start = [](Dcom& h) {
        h.main.ReadCommandLine(L"-noaccount");
        ASSERT_TRUE(h.main.LoadFromMachine());
    };
    const auto close = [](Dcom& h) {
        h.CheckAll();
        h.Apply(1);
    };
    const auto unattended = [](const wchar_t* line) {
        return [line](Dcom& h) {
            RunUnattended(ParseCommandLine(line), h.registry, h.system, h.accounts);
        };
    };
    struct Case {
        const char* what;
        std::function<void(Dcom&)> run;
        std::vector<std::wstring> left;    // by the cut run
        std::vector<std::wstring> locked;  // held open elsewhere
        std::vector<std::wstring> after;
    };
    const Case cases[] = {
        {"start", start, {bind, dcom, dcom2}, {dcom}, {dcom}},
        {"close", close, {dcom2}, {}, {}},
        {"audit", unattended(L"/audit -noaccount"), {bind, dcom, dcom2}, {}, {bind, dcom, dcom2}},
        {"apply", unattended(L"/apply:all -noaccount"), {bind, dcom2}, {}, {bind, dcom2}},
    };
    for (const Case& c : cases) {
        Dcom h;
        for (const std::wstring& path : c.left) {
            h.system.files[path] = "left";
        }
        h.system.lockedFiles.insert(c.locked.begin(), c.locked.end());
        c.run(h);
        std::vector<std::wstring> after;
        for (const std::wstring& path : {bind, dcom, dcom2}) {
            if (h.system.files.count(path)) {
                after.push_back(path);
            }
        }
        EXPECT_EQ(after, c.after) << c.what;
    }
}

TEST(MachineLock, ThePort135WarningIsAnsweredBeforeTheLockAndAFailureShownAfterIt) {
    struct Case {
        const char* what;
        bool heldElsewhere;
        int answer;
        bool denied;  // the DCOM values refused
        std::vector<std::wstring> told;
        bool closed;
    };
    const std::wstring failure =
        L"Port 135 could not be closed; it is left open.\r\n\r\nTolvane could not write the "
        L"registry value";
    const Case cases[] = {
        {"yes closes", false, IdYes, false, {kWarning}, true},
        {"no leaves it open", false, IdNo, false, {kWarning}, false},
        {"a refusal is told once the lock is gone", false, IdYes, true, {kWarning, failure}, false},
        {"held elsewhere: asked, then nothing",
         true,
         IdYes,
         false,
         {kWarning, kMachineHeldMessage},
         false},
    };
    for (const Case& c : cases) {
        Dcom h;
        h.CheckAll();
        if (c.denied) {
            h.registry.DenyWrites(L"SOFTWARE\\Microsoft\\Ole");
        }
        h.system.heldElsewhere = c.heldElsewhere;
        const std::size_t changesBefore = h.registry.changes.size();
        h.Apply(1, c.answer);
        ASSERT_EQ(h.host.messages.size(), c.told.size()) << c.what;
        for (std::size_t i = 0; i < c.told.size(); ++i) {
            EXPECT_TRUE(h.host.messages[i].text.starts_with(c.told[i])) << c.what << i;
            EXPECT_EQ(h.host.messages[i].locksHeld, 0) << c.what << i;
        }
        EXPECT_EQ(IsPort135Closed(h.machine), c.closed) << c.what;
        EXPECT_EQ(h.system.lockWaits, std::vector<std::uint32_t>{0}) << c.what;
        EXPECT_EQ(h.system.locksHeld, 0) << c.what;
        if (c.heldElsewhere) {
            EXPECT_EQ(h.registry.changes.size(), changesBefore) << c.what;
            EXPECT_EQ(h.Value(C::Port135Box), 1) << "still to apply: " << c.what;
            EXPECT_TRUE(h.state.ChangedSinceVerify(C::Port135Box)) << c.what;
        }
    }
}

TEST(ClosePort135, WindowsBeforeItsThirdServicePackCannotSwitchDcomOff) {
    struct Case {
        VersionInfo version;
        bool available;
    };
    const Case cases[] = {
        {{true, 5, 0, 2, ProductWorkstation, 0}, false},
        {{true, 5, 0, 2, ProductServer, 2}, false},
        {{true, 5, 0, 2, ProductWorkstation, 3}, true},
        {{true, 5, 1, 2, ProductWorkstation, 0}, true},
        {{true, 5, 2, 2, ProductServer, 0}, true},
    };
    for (const Case& c : cases) {
        Dcom h;
        h.system.version = c.version;
        h.state.skipAccountProbe = true;
        ASSERT_TRUE(h.main.LoadFromMachine());
        EXPECT_EQ(h.controls.Enabled(C::Port135Box), c.available) << c.version.servicePack;
        h.main.PointerOver(C::Port135Label);
        EXPECT_EQ(h.controls.Caption(C::HelpTextBox) == kPort135NeedsSp3Help, !c.available);
        // Even a box ticked behind the window's back imports nothing.
        h.Apply(1);
        EXPECT_EQ(h.system.programs.empty(), !c.available) << c.version.servicePack;
        EXPECT_EQ(IsPort135Closed(h.machine), c.available) << c.version.servicePack;
    }
}

TEST(RegistryView, UnderWow64EveryCallAsksForThe64BitViewAndWindows2000NeverDoes) {
    struct Case {
        const char* what;
        VersionInfo version;
        bool wow64;
        RegistryView expected;
    };
    const Case cases[] = {
        {"XP x64", {true, 5, 2, 2, ProductWorkstation, 2}, true, RegistryView::Wide64},
        {"Server 2003 x64", {true, 5, 2, 2, ProductServer, 2}, true, RegistryView::Wide64},
        {"32-bit XP", {true, 5, 1, 2, ProductWorkstation, 3}, false, RegistryView::Default},
        {"32-bit Server 2003", {true, 5, 2, 2, ProductServer, 1}, false, RegistryView::Default},
        {"Windows 2000, even where asked",
         {true, 5, 0, 2, ProductWorkstation, 4},
         true,
         RegistryView::Default},
    };
    for (const Case& c : cases) {
        Dcom h;
        h.system.version = c.version;
        h.system.wow64 = c.wow64;
        // Made after the system is set: it picks its view when it is made.
        MainWindowController main{h.registry, h.system, h.host, h.accounts};
        MainWindowState& state = main.state();
        state.skipAccountProbe = true;
        h.registry.views.clear();
        ASSERT_TRUE(main.LoadFromMachine()) << c.what;
        Machine& machine = main.machine();
        // Close port 135, reopen it (its records and the Linkage key go), then apply everything.
        for (const int value : {1, 0}) {
            state.controls.SetValue(C::Port135Box, value ? BoxValue::Ticked : BoxValue::Cleared);
            h.host.answers = {IdYes};
            ApplyGroupCommand(state, machine, Group::Services);
        }
        state.controls.SetValue(C::SelectAllSharesBox, BoxValue::Ticked);
        ApplyAllCommand(state, machine);
        std::set<std::string> asked;
        for (const auto& [call, view] : h.registry.views) {
            asked.insert(call);
            EXPECT_EQ(view, c.expected) << c.what << ": " << call;
        }
        EXPECT_EQ(asked, (std::set<std::string>{"Read", "Write", "DeleteValue", "DeleteKey",
                                                "KeyEntries", "ValueNames", "SubkeyNames"}))
            << c.what;
        ASSERT_FALSE(h.system.programs.empty()) << c.what;
        for (const ProgramStart& start : h.system.programs) {
            EXPECT_EQ(start.nativeProgram, start.program == L"C:\\WINDOWS\\regedit.exe")
                << c.what << ": " << start.program;
        }
    }
}

TEST(MachineLock, TheStartUpRepairOfPort135IsSkippedWhileAnotherRunHoldsTheMachine) {
    for (const bool held : {false, true}) {
        Dcom h;
        h.Install(L"Messenger", 3);  // a gate port open: port 135 must be open too
        h.ClosedByEarlierRun();
        h.system.heldElsewhere = held;
        const auto before = h.registry.keys;
        h.main.ReadCommandLine(L"-noaccount");
        ASSERT_TRUE(h.main.LoadFromMachine());
        EXPECT_EQ(h.registry.keys == before, held) << held;
        EXPECT_EQ(h.Read(kMarker), held ? L"1" : L"0") << held;
        EXPECT_TRUE(h.host.messages.empty()) << "skipped without a word: " << held;
        EXPECT_FALSE(h.system.lockWaits.empty());
        for (const std::uint32_t wait : h.system.lockWaits) {
            EXPECT_EQ(wait, 0u) << "the window never waits";
        }
        EXPECT_EQ(h.system.locksHeld, 0);
    }
}

}  // namespace
}  // namespace tolvane::testing
