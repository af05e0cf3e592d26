// Every registry box, from every state its rows can start in: a box found cleared, ticked and
// applied, then cleared and applied, leaves the registry exactly as it was, types included and no
// record behind; a box found ticked, with or without records of an earlier run, is undone by its
// records or else to Windows' own values (by its rules where those are not known).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "catalogue/WindowsDefaults.h"
#include "fakes/Harness.h"
#include "model/ControlLayout.h"

namespace tolvane::testing {
namespace {

using C = ControlId;

struct RowRule {
    std::wstring valuePath;
    const wchar_t* target;
    UndoRule rule;
    std::uint32_t other;  // a value that is not the target
};
struct BoxRows {
    C id;
    C apply;
    std::vector<RowRule> rows;
};

constexpr wchar_t kLsa[] = L"SYSTEM\\CurrentControlSet\\Control\\Lsa\\";
constexpr wchar_t kPolicies[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Network\\";
constexpr wchar_t kLanman[] = L"SYSTEM\\CurrentControlSet\\Services\\LanmanServer\\Parameters\\";

std::wstring Path(const wchar_t* key, const std::wstring& name) {
    return std::wstring(key) + name;
}

// The rules that write a value back.
constexpr UndoRule kWrite0 = WriteOnUndo(L"0");
constexpr UndoRule kWrite1 = WriteOnUndo(L"1");

// The catalogue, written out again: a mistake in either shows here.
std::vector<BoxRows> AllBoxes() {
    std::vector<BoxRows> boxes = {
        {C::FolderSharingBox,
         C::ApplySharesButton,
         {{Path(kPolicies, L"NoFileSharing"), L"1", kDeleteOnUndo, 0}}},
        {C::PrinterSharingBox,
         C::ApplySharesButton,
         {{Path(kPolicies, L"NoPrintSharing"), L"1", kDeleteOnUndo, 0}}},
        {C::SimpleFileSharingBox,
         C::ApplySharesButton,
         {{Path(kLsa, L"forceguest"), L"0", kWrite1, 1}}},
        {C::AdminSharesBox,
         C::ApplySharesButton,
         {{Path(kLanman, L"AutoshareWks"), L"0", kDeleteOnUndo, 1}}},
        {C::RemoteAdminBox,
         C::ApplySharesButton,
         {{Path(kLanman, L"AutoShareServer"), L"0", kDeleteOnUndo, 1}}},
        {C::AnonymousAccessBox,
         C::ApplyAccountsButton,
         {{Path(kLsa, L"restrictanonymous"), L"2", kWrite0, 0},
          {Path(kLsa, L"restrictanonymoussam"), L"1", kWrite0, 0},
          {L"SYSTEM\\CurrentControlSet\\Control\\Services\\RemoteRegistry", L"4", kWrite0, 0},
          {L"SYSTEM\\CurrentControlSet\\Control\\Services\\LanManServer", L"4", kWrite0, 0}}},
        {C::EveryoneRightsBox,
         C::ApplyAccountsButton,
         {{Path(kLsa, L"everyoneincludesanonymous"), L"0", kWrite1, 1}}},
        {C::Port1024UdpBox,
         C::ApplyServicesButton,
         {{Path(kServices, L"Dnscache\\Start"), L"4", kRestoreOnUndo, 2},
          {Path(kServices, L"Dnscache\\Parameters\\MaxCachedSockets"), L"0", kDeleteOnUndo, 20}}},
        {C::Port445Box,
         C::ApplyServicesButton,
         {{Path(kServices, L"NetBT\\Parameters\\SmbDeviceEnabled"), L"0", kDeleteOnUndo, 1}}},
        // NetBIOS on two network interfaces, each of which the machine may lack.
        {C::NetBiosPortsBox,
         C::ApplyServicesButton,
         {{Path(kServices, L"LmHosts\\Start"), L"4", kRestoreOnUndo, 2},
          {Path(kServices, L"NetBT\\Parameters\\Interfaces\\Tcpip_{A}\\NetbiosOptions"), L"2",
           kWrite0, 1},
          {Path(kServices, L"NetBT\\Parameters\\Interfaces\\Tcpip_{B}\\NetbiosOptions"), L"2",
           kWrite0, 0}}},
    };
    // Each of these disables one service's start type.
    const std::pair<C, const wchar_t*> services[] = {
        {C::RemoteRegistryBox, L"RemoteRegistry"},
        {C::Port123Box, L"W32Time"},
        {C::Port500Box, L"PolicyAgent"},
        {C::Port1023Box, L"MSDTC"},
        {C::Port1024TcpBox, L"Schedule"},
        {C::Port1027Box, L"Messenger"},
        {C::Port1900Box, L"SSDPSRV"},
        {C::Port5000Box, L"upnphost"},
    };
    for (const auto& [box, service] : services) {
        boxes.push_back(
            {box,
             box == C::RemoteRegistryBox ? C::ApplyAccountsButton : C::ApplyServicesButton,
             {{Path(kServices, service) + L"\\Start", L"4", kRestoreOnUndo, 2}}});
    }
    return boxes;
}

enum class Start { KeyAbsent, Absent, Other, OtherType, Target, TargetRecorded };
constexpr Start kStarts[] = {Start::KeyAbsent, Start::Absent, Start::Other,
                             Start::OtherType, Start::Target, Start::TargetRecorded};

using Raw = FakeRegistry;

bool RestoresBackup(const RowRule& row) {
    return row.rule.kind == UndoRule::Kind::RestoreBackup;
}

// What an earlier run kept: the former start type, as earlier versions wrote it; or the mark of
// a value that was absent.
RawValue EarlierRecord(const RowRule& row) {
    return RestoresBackup(row) ? Raw::Dword(2) : RawValue{RawNone, {}};
}

void Prepare(FakeRegistry& registry, const RowRule& row, Start start) {
    const std::wstring path = row.valuePath;
    if (start == Start::KeyAbsent) {
        return;
    }
    registry.keys[{kHklm, FakeRegistry::Fold(path.substr(0, path.rfind(L'\\')))}];
    const std::uint32_t target = static_cast<std::uint32_t>(std::stoul(row.target));
    switch (start) {
        case Start::Other:
            registry.SetDword(path, row.other);
            break;
        case Start::OtherType:
            registry.SetString(path, row.target);
            break;
        case Start::Target:
            registry.SetDword(path, target);
            break;
        case Start::TargetRecorded:
            registry.SetDword(path, target);
            registry.SetRaw(path + L"KX", EarlierRecord(row));
            break;
        default:
            break;
    }
}

// What an undo does where no usable record is left: Windows' own value on the machine of the
// test, else the row's rule.
UndoRule UndoneTo(const RowRule& row) {
    if (const std::optional<UndoRule> value = WindowsDefault(row.valuePath, FakeSystem::kXpSp2)) {
        return *value;
    }
    return RestoresBackup(row) ? WriteOnUndo(L"3") : row.rule;
}

// The registry after the undo, row by row; true where Windows' own value is the target, so that
// the protection stays.
bool Expect(FakeRegistry& expected, const RowRule& row, Start start, bool startedTicked) {
    const std::wstring path = row.valuePath;
    auto erase = [&](const std::wstring& valuePath) {
        const std::wstring key = valuePath.substr(0, valuePath.rfind(L'\\'));
        expected.keys[{kHklm, FakeRegistry::Fold(key)}].erase(
            FakeRegistry::Fold(valuePath.substr(valuePath.rfind(L'\\') + 1)));
    };
    // Brings the row to its undo without a record.
    auto undo = [&] {
        const UndoRule undo = UndoneTo(row);
        if (undo.kind == UndoRule::Kind::DeleteValue) {
            erase(path);
            return false;
        }
        expected.SetDword(path, static_cast<std::uint32_t>(std::stoul(undo.value)));
        return undo.value == std::wstring(row.target);
    };
    if (start == Start::TargetRecorded) {
        erase(path + L"KX");
        if (RestoresBackup(row)) {
            expected.SetRaw(path, EarlierRecord(row));
        } else {
            erase(path);
        }
    } else if (start == Start::Target && startedTicked) {
        return undo();
    }
    return false;
}

struct Window : Harness {
    Window() {
        system.files[L"C:\\WINDOWS\\System32\\gpedit.msc"] = "";
        main.ReadCommandLine(L"-noaccount");
    }
};

TEST(Undo, EveryBoxFromEveryStartingStateComesBackExactly) {
    int cleared = 0;
    int ticked = 0;
    for (const BoxRows& box : AllBoxes()) {
        const std::size_t rows = box.rows.size();
        std::size_t combinations = 1;
        for (std::size_t i = 0; i < rows; ++i) {
            combinations *= std::size(kStarts);
        }
        for (std::size_t n = 0; n < combinations; ++n) {
            std::vector<Start> starts;
            std::wstring name = L"control " + std::to_wstring(DialogId(box.id));
            for (std::size_t i = 0, rest = n; i < rows; ++i, rest /= std::size(kStarts)) {
                starts.push_back(kStarts[rest % std::size(kStarts)]);
                name += L" " + std::to_wstring(static_cast<int>(starts.back()));
            }
            SCOPED_TRACE(name);
            Window h;
            for (std::size_t i = 0; i < rows; ++i) {
                Prepare(h.registry, box.rows[i], starts[i]);
            }
            const auto before = h.registry.keys;
            ASSERT_TRUE(h.main.LoadFromMachine());
            if (!h.controls.Enabled(box.id)) {
                continue;  // no service to close: the user cannot tick it
            }
            const bool startedTicked = h.Value(box.id) == 1;
            FakeRegistry expected;
            expected.keys = before;
            bool keepsTarget = true;
            for (std::size_t i = 0; i < rows; ++i) {
                keepsTarget =
                    Expect(expected, box.rows[i], starts[i], startedTicked) && keepsTarget;
            }
            if (!startedTicked) {
                h.main.Click(box.id);
                h.main.Click(box.apply);
                EXPECT_EQ(h.Value(box.id), 1);
                ++cleared;
            } else {
                ++ticked;
            }
            h.main.Click(box.id);
            h.main.Click(box.apply);
            EXPECT_EQ(h.Value(box.id), keepsTarget ? 1 : 0);
            EXPECT_TRUE(h.host.messages.empty()) << "every record the apply wrote serves";
            EXPECT_EQ(h.registry.keys, expected.keys);
        }
    }
    // Every box was tried from both sides.
    EXPECT_GT(cleared, 18 * 3);
    EXPECT_GT(ticked, 18);
}

constexpr VersionInfo kWindows2000Sp4{true, 5, 0, 2, ProductWorkstation, 4};
constexpr VersionInfo kXpSp1{true, 5, 1, 2, ProductWorkstation, 1};
constexpr VersionInfo kServer2003{true, 5, 2, 2, ProductServer, 1};
constexpr VersionInfo kXpX64Sp1{true, 5, 2, 2, ProductWorkstation, 1};

// A box found in force without a record of Tolvane's own (hardened by hand, or by an old
// version), cleared and applied on a given system.
TEST(UndoWithoutRecord, BringsBackWhatWindowsShipsNeverCreatesAServiceAndARecordStillWins) {
    struct Case {
        const char* what;
        VersionInfo version;
        C box;
        std::vector<std::pair<std::wstring, RawValue>> found;
        // Each value afterwards; nothing for a value that must be gone.
        std::vector<std::pair<std::wstring, std::optional<std::uint32_t>>> after;
        bool stillTicked;
    };
    const std::wstring messenger = Path(kServices, L"Messenger\\Start");
    const std::wstring dtc = Path(kServices, L"MSDTC\\Start");
    const std::wstring sam = Path(kLsa, L"restrictanonymoussam");
    const std::wstring everyone = Path(kLsa, L"everyoneincludesanonymous");
    const std::wstring time = Path(kServices, L"W32Time\\Start");
    const std::wstring ssdp = Path(kServices, L"SSDPSRV\\Start");
    const std::wstring anon = Path(kLsa, L"restrictanonymous");
    const RawValue off = Raw::Dword(4);
    const RawValue zero = Raw::Dword(0);
    const std::wstring timeKept = time + L"KX";
    const RawValue kept = Raw::Dword(3);
    const std::vector<std::pair<std::wstring, RawValue>> anonymous = {{anon, Raw::Dword(2)},
                                                                      {sam, Raw::Dword(1)}};
    constexpr VersionInfo kXp = FakeSystem::kXpSp2;
    constexpr VersionInfo k2000 = kWindows2000Sp4;
    const Case cases[] = {
        // The messenger ships disabled from XP SP2 on; a server starts DTC by itself.
        {"messenger, XP SP1", kXpSp1, C::Port1027Box, {{messenger, off}}, {{messenger, 2}}, false},
        {"messenger, XP SP2", kXp, C::Port1027Box, {{messenger, off}}, {{messenger, 4}}, true},
        {"DTC, server", kServer2003, C::Port1023Box, {{dtc, off}}, {{dtc, 2}}, false},
        // XP x64 has XP's defaults, those of SP2 whatever its own number: not Server 2003's.
        {"messenger, XP x64 SP1",
         kXpX64Sp1,
         C::Port1027Box,
         {{messenger, off}},
         {{messenger, 4}},
         true},
        {"SSDP, XP x64", kXpX64Sp1, C::Port1900Box, {{ssdp, off}}, {{ssdp, 3}}, false},
        {"SSDP, Server 2003", kServer2003, C::Port1900Box, {{ssdp, off}}, {{ssdp, 4}}, true},
        // Windows 2000 does not ship SSDP: on demand, never deleted.
        {"SSDP, 2000", k2000, C::Port1900Box, {{ssdp, off}}, {{ssdp, 3}}, false},
        // The SAM stays closed on XP; Windows 2000 has no such value. Everyone is as XP ships it.
        {"anonymous, XP", kXp, C::AnonymousAccessBox, anonymous, {{anon, 0}, {sam, 1}}, false},
        {"anonymous, 2000", k2000, C::AnonymousAccessBox, anonymous, {{anon, 0}, {sam, {}}}, false},
        {"everyone, XP", kXp, C::EveryoneRightsBox, {{everyone, zero}}, {{everyone, 0}}, true},
        {"a record wins", kXp, C::Port123Box, {{time, off}, {timeKept, kept}}, {{time, 3}}, false},
    };
    for (const Case& c : cases) {
        Harness h;
        h.system.version = c.version;
        h.Install(L"RemoteRegistry");
        for (const auto& [path, value] : c.found) {
            h.registry.SetRaw(path, value);
        }
        h.main.ReadCommandLine(L"-noaccount");
        ASSERT_TRUE(h.main.LoadFromMachine()) << c.what;
        ASSERT_EQ(h.Value(c.box), 1) << c.what;
        h.main.Click(c.box);
        h.main.Click(c.box == C::AnonymousAccessBox || c.box == C::EveryoneRightsBox
                         ? C::ApplyAccountsButton
                         : C::ApplyServicesButton);
        for (const auto& [path, value] : c.after) {
            EXPECT_EQ(h.Read(path), value ? std::to_wstring(*value) : L"(missing)") << c.what;
        }
        EXPECT_FALSE(h.registry.Get(time + L"KX")) << c.what;
        EXPECT_EQ(h.Value(c.box), c.stillTicked ? 1 : 0) << c.what;
        // Nothing of a service the machine lacks was written on the way.
        for (const wchar_t* service : {L"SSDPSRV", L"upnphost", L"W32Time", L"MSDTC"}) {
            if (!h.registry.Get(Path(kServices, service) + L"\\Start")) {
                EXPECT_FALSE(h.registry.KeyExists(Path(kServices, service))) << c.what;
            }
        }
    }
}

}  // namespace
}  // namespace tolvane::testing
