#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <random>

#include "app/Report.h"
#include "app/Unattended.h"
#include "fakes/Harness.h"
#include "fakes/RegScript.h"

namespace tolvane::testing {
namespace {

constexpr wchar_t kReport[] = L"C:\\Tools\\Tolvane-PC01.txt";
constexpr wchar_t kCsv[] = L"C:\\r.csv";
constexpr wchar_t kAutoShareWks[] =
    L"SYSTEM\\CurrentControlSet\\Services\\LanmanServer\\Parameters\\AutoshareWks";
constexpr wchar_t kLsa[] = L"SYSTEM\\CurrentControlSet\\Control\\Lsa";
constexpr wchar_t kEnableDcom[] = L"SOFTWARE\\Microsoft\\Ole\\EnableDCOM";
constexpr wchar_t kMarker[] = L"SOFTWARE\\Microsoft\\Rpc\\DCOM ProtocolsKX";

TEST(ExitCodeOf, TheFirstThatAppliesWins) {
    struct Case {
        RunOutcome outcome;
        int code;
    };
    const Case cases[] = {
        {{}, 0},
        {{.restartNeeded = true}, kExitRestartNeeded},
        {{.notDone = 3, .restartNeeded = true}, 3},
        {{.notDone = 150}, 99},
        {{.accessDenied = true, .notDone = 2, .restartNeeded = true}, kExitNotAdministrator},
        {{.reportNotWritten = true, .accessDenied = true}, kExitReportNotWritten},
        {{.machineHeld = true, .reportNotWritten = true, .accessDenied = true, .notDone = 1},
         kExitMachineHeld},
        {{.unsupported = true, .machineHeld = true}, kExitUnsupported},
        {{.unsupported = true, .reportNotWritten = true}, kExitUnsupported},
        {{.badCommandLine = true, .unsupported = true, .reportNotWritten = true},
         kExitBadCommandLine},
        {{.policyUnreadable = true, .unsupported = true, .reportNotWritten = true},
         kExitPolicyUnreadable},
        {{.badCommandLine = true, .policyUnreadable = true}, kExitBadCommandLine},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ExitCodeOf(c.outcome), c.code);
    }
}

Report SampleReport() {
    Report report;
    report.computer = L"PC01";
    report.time = Iso8601({2026, 12, 9, 3, 4, 5});
    report.version = L"1.6.212";
    report.windows = L"Windows Server 2003 x64 Service Pack 2";
    report.task = L"apply:shares,accounts";
    report.exitCode = 101;
    report.settings = {
        {L"shares.folders", L"Shares", L"Shared folders", InForceState::No, L"refused",
         L"Acc\u00e8s refus\u00e9.\r\n (HKLM\\Software\\\"x\", y)", L"", L"yes"},
        {L"services.netbios", L"Services", L"Ports 137, 138 UDP\r\net 139 TCP", InForceState::Yes,
         L"applied", L"", L"port 139 still listens", L"implied"},
        {L"accounts.guest", L"Accounts", L"Guest account", InForceState::Unknown,
         L"left alone: its state cannot be read", L"", L"", L"no"},
    };
    report.messages = {L"First line\r\nsecond line"};
    report.ports = {{PortProtocol::Tcp, {0, 0, 0, 0}, 445, std::nullopt, L""}};
    return report;
}

TEST(Report, TextForPeople) {
    EXPECT_EQ(FormatTextReport(SampleReport()),
              "Tolvane report\r\nComputer: PC01\r\nTime: 2026-12-09T03:04:05Z\r\n"
              "Version: 1.6.212\r\nWindows: Windows Server 2003 x64 Service Pack 2\r\n"
              "Task: apply:shares,accounts\r\nExit code: 101\r\nRestart needed: no\r\n\r\n"
              "Shares\tShared folders\tin force: no\tasked: yes\trefused\t"
              "Acc\xc3\xa8s refus\xc3\xa9. (HKLM\\Software\\\"x\", y)\r\n"
              "Services\tPorts 137, 138 UDP et 139 TCP\tin force: yes\tasked: implied\tapplied\t"
              "note: port 139 still listens\r\n"
              "Accounts\tGuest account\tin force: unknown\tasked: no\t"
              "left alone: its state cannot be read\r\n"
              "\r\nFirst line\r\nsecond line\r\n"
              "\r\nListening ports\r\nTCP  0.0.0.0:445  Port 445 TCP; Shared folders\r\n");
}

TEST(Report, CsvForAFleetsTable) {
    const std::string run = "PC01,2026-12-09T03:04:05Z,apply:shares,accounts,";
    EXPECT_EQ(
        FormatCsvReport(SampleReport()),
        "\xEF\xBB\xBF"
        "computer,time,task,key,caption,in force,done,reason,note,exit code,asked\r\n"
        "PC01,2026-12-09T03:04:05Z,\"apply:shares,accounts\",shares.folders,"
        "Shared folders,no,refused,"
        "\"Acc\xc3\xa8s refus\xc3\xa9. (HKLM\\Software\\\"\"x\"\", y)\",,101,yes\r\n"
        "PC01,2026-12-09T03:04:05Z,\"apply:shares,accounts\",services.netbios,"
        "\"Ports 137, 138 UDP et 139 TCP\",yes,applied,,port 139 still listens,101,implied\r\n"
        "PC01,2026-12-09T03:04:05Z,\"apply:shares,accounts\",accounts.guest,"
        "Guest account,unknown,left alone: its state cannot be read,,,101,no\r\n"
        "PC01,2026-12-09T03:04:05Z,\"apply:shares,accounts\",message,,,,"
        "First line second line,,101,\r\n"
        "PC01,2026-12-09T03:04:05Z,\"apply:shares,accounts\",port.tcp.445,"
        "TCP  0.0.0.0:445  Port 445 TCP; Shared folders,,listening,,,101,\r\n");
}

// The fields of one CSV row.
std::vector<std::string> CsvFields(const std::string& row) {
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (std::size_t i = 0; i < row.size(); ++i) {
        if (row[i] == '"') {
            if (quoted && i + 1 < row.size() && row[i + 1] == '"') {
                fields.back() += '"';
                ++i;
            } else {
                quoted = !quoted;
            }
        } else if (row[i] == ',' && !quoted) {
            fields.emplace_back();
        } else {
            fields.back() += row[i];
        }
    }
    return fields;
}

// What a CSV row says of a setting: in force, and what was done.
using Row = std::pair<std::string, std::string>;

// Each setting's CSV row by its key: in force, done, asked.
std::map<std::string, std::vector<std::string>> SettingRows(const std::string& csv) {
    std::map<std::string, std::vector<std::string>> rows;
    for (std::size_t start = csv.find("\r\n") + 2; start < csv.size();) {
        const std::size_t end = csv.find("\r\n", start);
        const std::vector<std::string> fields = CsvFields(csv.substr(start, end - start));
        if (fields.size() == 11 && !fields[10].empty()) {
            rows[fields[3]] = {fields[5], fields[6], fields[10]};
        }
        start = end + 2;
    }
    return rows;
}

// An XP machine with the DNS client, time and remote registry services, and no net user that
// answers (Wine's has none): the accounts are read from the system, or not at all.
struct Unattended : Harness {
    Unattended() {
        for (const wchar_t* service : {L"Dnscache", L"W32Time", L"RemoteRegistry"}) {
            Install(service, 3);
        }
        registry.SetDword(kAutoShareWks, 1);
    }
    int Run(const std::wstring& line) {
        return RunUnattended(ParseCommandLine(line), registry, system, accounts);
    }
    std::string Report(const std::wstring& path = kReport) const {
        const auto file = system.files.find(path);
        return file == system.files.end() ? "" : file->second;
    }
    bool Says(const std::string& text) const { return Report().find(text) != std::string::npos; }
    // Each setting's key and what the CSV report says of it: in force, done.
    std::map<std::string, Row> Rows() const {
        std::map<std::string, Row> rows;
        for (const auto& [key, fields] : SettingRows(Report(kCsv))) {
            rows[key] = {fields[0], fields[1]};
        }
        return rows;
    }
};

TEST(RunUnattended, ReportsUnavailableWhatTheMachineCannotMean) {
    struct Case {
        const char* what;
        VersionInfo version;
        std::optional<bool> joined;
        const char* key;
    };
    const Case cases[] = {
        {"DCOM before Windows 2000 SP3",
         {true, 5, 0, 2, ProductWorkstation, 2},
         false,
         "services.port135"},
        {"single share on a domain member",
         {true, 5, 1, 2, ProductWorkstation, 2},
         true,
         "shares.simple"},
    };
    for (const Case& c : cases) {
        for (const wchar_t* task : {L"/audit", L"/apply:all"}) {
            Unattended h;
            h.system.version = c.version;
            h.system.joined = c.joined;
            h.system.files[L"C:\\WINDOWS\\System32\\gpedit.msc"] = "";
            h.Run(std::wstring(task) + L" -noaccount /report:C:\\r.csv");
            EXPECT_EQ(h.Rows().at(c.key).second, "unavailable") << c.what;
            EXPECT_TRUE(h.system.programs.empty()) << c.what;
        }
    }
}

TEST(RunUnattended, AuditCountsApplyBringsInForceRestoreGivesBack) {
    Unattended h;
    const auto before = h.registry.keys;
    // Available without the probe: 4 shares (simple sharing needs XP Professional), 3 account
    // settings and the boxes of the 2 installed services and SMB; port 135 never counts.
    EXPECT_EQ(h.Run(L"/audit -noaccount"), 10);
    EXPECT_EQ(h.registry.keys, before) << "an audit writes nothing";
    EXPECT_TRUE(
        h.Says("Computer: PC01\r\nTime: 2026-12-09T03:12:16Z\r\nVersion: 1.6.212\r\n"
               "Windows: Windows XP Service Pack 2\r\nTask: audit\r\nExit code: 10\r\n"));
    EXPECT_TRUE(h.Says("Shares\tAdministrative\tin force: no\tasked: yes\tread"));
    EXPECT_TRUE(h.Says("Accounts\tGuest account\tin force: no\tasked: yes\tunavailable"));

    // The administrative shares go only once Windows restarts.
    EXPECT_EQ(h.Run(L"/apply:all -noaccount"), kExitRestartNeeded);
    EXPECT_TRUE(h.Says("Shares\tAdministrative\tin force: yes\tasked: yes\tapplied"));
    EXPECT_TRUE(h.Says("left alone: closing port 135 always asks a person"));
    EXPECT_TRUE(h.host.messages.empty());
    EXPECT_EQ(h.Read(kMarker), L"(missing)");
    EXPECT_EQ(h.Run(L"/audit -noaccount"), 0);

    EXPECT_EQ(h.Run(L"/apply:shares -noaccount"), 0);
    EXPECT_TRUE(h.Says("Shares\tAdministrative\tin force: yes\tasked: yes\talready in force"));

    EXPECT_EQ(h.Run(L"/restore:all -noaccount"), kExitRestartNeeded);
    EXPECT_TRUE(h.Says("Shares\tAdministrative\tin force: no\tasked: yes\trestored"));
    EXPECT_EQ(h.registry.keys, before);
}

// An account has no value of its own to keep a record beside: the program keeps one.
TEST(RunUnattended, RestoreSwitchesOnExactlyTheAccountsTheApplySwitchedOff) {
    Unattended h;
    h.accounts.names[kGuestRid] = L"Guest";
    h.accounts.disabled = {{L"Guest", false}, {L"HelpAssistant", true}};
    const auto before = h.registry.keys;
    EXPECT_EQ(h.Run(L"/apply:accounts /report:C:\\r.csv"), kExitRestartNeeded);
    EXPECT_EQ(h.Rows().at("accounts.guest"), (Row{"yes", "applied"}));
    EXPECT_TRUE(h.accounts.disabled.at(L"Guest"));
    EXPECT_EQ(h.Read(L"SOFTWARE\\Tolvane\\Accounts\\501"), L"1");
    // Already off before: nothing to bring back.
    EXPECT_FALSE(h.registry.Get(L"SOFTWARE\\Tolvane\\Accounts\\HelpAssistant"));

    h.accounts.switches.clear();
    EXPECT_EQ(h.Run(L"/restore:accounts /report:C:\\r.csv"), kExitRestartNeeded);
    EXPECT_EQ(h.Rows().at("accounts.guest"), (Row{"no", "restored"}));
    EXPECT_EQ(h.Rows().at("accounts.helpassistant"), (Row{"yes", "nothing recorded"}));
    EXPECT_EQ(h.accounts.switches, (std::vector<std::pair<std::wstring, bool>>{{L"Guest", false}}));
    EXPECT_EQ(h.registry.keys, before) << "no record and no key of the program is left";

    // A switch the system refuses leaves no record behind.
    h.accounts.refusal = 5;
    EXPECT_EQ(h.Run(L"/apply:accounts /report:C:\\r.csv"), kExitNotAdministrator);
    EXPECT_FALSE(h.registry.KeyExists(L"SOFTWARE\\Tolvane\\Accounts"));
}

// A record says "this program switched the account off": it exists only while that switch may
// have happened. An apply stops at its first refusal and leaves no record for what it refused or
// never tried; a restore tries each account on its own and keeps the record of each refused one.
TEST(RunUnattended, AnAccountsRecordLivesOnlyWhileItsOwnSwitchMayHaveHappened) {
    constexpr wchar_t kGuestRecord[] = L"SOFTWARE\\Tolvane\\Accounts\\501";
    constexpr wchar_t kHelpRecord[] = L"SOFTWARE\\Tolvane\\Accounts\\HelpAssistant";
    using Switch = std::pair<std::wstring, bool>;
    struct Case {
        bool restore;
        bool guestRefused, helpRefused;
        const char *guestDone, *helpDone;
        std::vector<Switch> switches;
        bool guestRecord, helpRecord;
    };
    const Switch guestOff{L"Guest", true}, helpOff{L"HelpAssistant", true};
    const Switch guestOn{L"Guest", false}, helpOn{L"HelpAssistant", false};
    const Case cases[] = {
        {false, false, false, "applied", "applied", {guestOff, helpOff}, true, true},
        {false, true, false, "refused", "not tried", {guestOff}, false, false},
        {false, false, true, "applied", "refused", {guestOff, helpOff}, true, false},
        {false, true, true, "refused", "not tried", {guestOff}, false, false},
        {true, false, false, "restored", "restored", {guestOn, helpOn}, false, false},
        {true, true, false, "refused", "restored", {guestOn, helpOn}, true, false},
        {true, false, true, "restored", "refused", {guestOn, helpOn}, false, true},
        {true, true, true, "refused", "refused", {guestOn, helpOn}, true, true},
    };
    for (const Case& c : cases) {
        const std::string what = std::string(c.restore ? "restore" : "apply") + ", guest " +
                                 c.guestDone + ", help assistant " + c.helpDone;
        Unattended h;
        h.accounts.names[kGuestRid] = L"Guest";
        h.accounts.disabled = {{L"Guest", c.restore}, {L"HelpAssistant", c.restore}};
        if (c.restore) {
            h.registry.SetDword(kGuestRecord, 1);
            h.registry.SetDword(kHelpRecord, 1);
        }
        for (const auto& [name, refused] :
             {std::pair{L"Guest", c.guestRefused}, {L"HelpAssistant", c.helpRefused}}) {
            if (refused) {
                h.accounts.refusals[name] = 5;
            }
        }
        h.Run(c.restore ? L"/restore:accounts /report:C:\\r.csv"
                        : L"/apply:accounts.guest,accounts.helpassistant /report:C:\\r.csv");
        EXPECT_EQ(h.Rows().at("accounts.guest").second, c.guestDone) << what;
        EXPECT_EQ(h.Rows().at("accounts.helpassistant").second, c.helpDone) << what;
        EXPECT_EQ(h.accounts.switches, c.switches) << what;
        EXPECT_EQ(h.registry.Get(kGuestRecord).has_value(), c.guestRecord) << what;
        EXPECT_EQ(h.registry.Get(kHelpRecord).has_value(), c.helpRecord) << what;
    }
}

// The guest's name is the one Windows gives its identifier, whatever the language: without the
// probe as with it. Where Windows cannot name it, nothing is switched and the record stays.
TEST(RunUnattended, TheGuestIsSwitchedByTheNameOfItsIdentifierNeverByAFixedOne) {
    constexpr wchar_t kGuestRecord[] = L"SOFTWARE\\Tolvane\\Accounts\\501";
    struct Case {
        std::optional<std::wstring> name;
        std::vector<std::wstring> commands;
        const char* done;
        bool recordAfter;
    };
    const Case cases[] = {
        {L"Guest", {L"net user Guest /active:yes"}, "restored", false},
        {L"Gast", {L"net user Gast /active:yes"}, "restored", false},
        {L"Invit\u00e9", {L"net user Invit\u00e9 /active:yes"}, "restored", false},
        {std::nullopt, {}, "not switched: Windows could not name the guest account", true},
    };
    for (const Case& c : cases) {
        const std::string what = c.name ? std::string(c.name->begin(), c.name->end()) : "none";
        Unattended h;
        h.accounts.names.clear();
        if (c.name) {
            h.accounts.names[kGuestRid] = *c.name;
        }
        h.registry.SetDword(kGuestRecord, 1);
        const int code = h.Run(L"/restore:accounts -noaccount /report:C:\\r.csv");
        EXPECT_EQ(h.system.commandLines(), c.commands) << what;
        EXPECT_EQ(h.Rows().at("accounts.guest").second, c.done) << what;
        EXPECT_EQ(h.registry.Get(kGuestRecord).has_value(), c.recordAfter) << what;
        EXPECT_EQ(code, c.recordAfter ? 1 : 0) << what;
    }
}

// The apply stopped the service: bringing back an automatic start does not start it again.
TEST(RunUnattended, ARestoredAutomaticStartOfAServiceNotRunningNeedsARestart) {
    constexpr wchar_t kTime[] = L"SYSTEM\\CurrentControlSet\\Services\\W32Time\\Start";
    struct Case {
        std::uint32_t recorded;
        bool running;
        int exitCode;
    };
    for (const Case& c : {Case{2, false, kExitRestartNeeded}, Case{2, true, 0}, Case{3, false, 0},
                          Case{4, false, 0}}) {
        Unattended h;
        h.registry.SetDword(kTime, 4);
        h.registry.SetDword(std::wstring(kTime) + L"KX", c.recorded);
        h.system.services = std::vector<RunningService>{};
        if (c.running) {
            h.system.services->push_back({L"W32Time", 1200});
        }
        EXPECT_EQ(h.Run(L"/restore:services -noaccount"), c.exitCode) << c.recorded;
        EXPECT_EQ(h.Read(kTime), std::to_wstring(c.recorded));
        const bool restart = c.exitCode == kExitRestartNeeded;
        EXPECT_EQ(h.Says("Restart needed: yes\r\n"), restart) << c.recorded;
        EXPECT_EQ(
            h.Says(
                "Time 123\tin force: no\tasked: yes\trestored\tnote: takes effect after a restart"),
            restart)
            << c.recorded;
    }
}

// Every line as the machine holds it, SSDP and UPnP included when they disagree: the oracle is
// the start types themselves, not a second reading.
TEST(RunUnattended, EachServiceLineSaysWhatItsOwnStartTypeHolds) {
    constexpr wchar_t kSsdp[] = L"SYSTEM\\CurrentControlSet\\Services\\SSDPSRV\\Start";
    constexpr wchar_t kUpnp[] = L"SYSTEM\\CurrentControlSet\\Services\\upnphost\\Start";
    for (std::uint32_t ssdp : {2u, 3u, 4u}) {
        for (std::uint32_t upnp : {2u, 3u, 4u}) {
            for (const wchar_t* task : {L"/audit", L"/apply:services"}) {
                Unattended h;
                h.registry.SetDword(kSsdp, ssdp);
                h.registry.SetDword(kUpnp, upnp);
                h.Run(task + std::wstring(L" -noaccount /report:C:\\r.csv"));
                const auto rows = h.Rows();
                const std::string what = std::to_string(ssdp) + "/" + std::to_string(upnp);
                for (const auto& [key, path] : {std::pair{"services.ssdp", kSsdp},
                                                {"services.upnp", kUpnp},
                                                {"services.time",
                                                 L"SYSTEM\\CurrentControl"
                                                 L"Set\\Services\\W32Time\\Start"}}) {
                    EXPECT_EQ(rows.at(key).first, h.Read(path) == L"4" ? "yes" : "no")
                        << what << " " << key;
                }
            }
        }
    }
}

TEST(RunUnattended, TwoAppliesAtOnceLoseNoFormerValue) {
    Unattended h;
    const auto before = h.registry.keys;
    // The second run starts between the first's in-force check of a value and its record of it:
    // the first looks at the record first. Without the lock the second would write its record
    // and the target there, and the first would then record the target as the former value.
    std::optional<int> second;
    std::size_t changesBySecond = 0;
    h.registry.beforeRead = [&](const std::wstring& access) {
        if (!second && access.ends_with(L"\\AutoshareWksKX")) {
            const std::size_t changes = h.registry.changes.size();
            second = 0;  // its own reads start no third
            // Another process: the lock is a mutex, which the first's thread could take again.
            h.system.thread = 2;
            second = h.Run(L"/apply:all -noaccount");
            h.system.thread = 1;
            changesBySecond = h.registry.changes.size() - changes;
        }
    };
    EXPECT_EQ(h.Run(L"/apply:all -noaccount"), kExitRestartNeeded);
    EXPECT_EQ(second, kExitMachineHeld);
    EXPECT_EQ(changesBySecond, 0u);
    h.registry.beforeRead = nullptr;
    EXPECT_EQ(h.system.lockWaits, (std::vector<std::uint32_t>{60000, 60000}));
    EXPECT_EQ(h.system.locksHeld, 0);

    EXPECT_EQ(h.Run(L"/restore:all -noaccount"), kExitRestartNeeded);
    EXPECT_EQ(h.registry.keys, before);
}

TEST(RunUnattended, WhileAnotherRunChangesTheMachineNothingChangesAndTheReportSaysWhy) {
    struct Case {
        const wchar_t* line;
        unsigned long lockError;  // 0: held by another run
        int code;
        const char* says;
        std::size_t waits;
    };
    const Case cases[] = {
        {L"/apply:all -noaccount", 0, kExitMachineHeld,
         "Another Tolvane run is changing this computer and did not finish within 60 seconds. "
         "Nothing was changed",
         1},
        {L"/restore:services -noaccount", 0, kExitMachineHeld, "Nothing was changed", 1},
        {L"/apply:shares -noaccount", 5, kExitMachineHeld,
         "could not make sure that no other Tolvane run is changing this computer: system error "
         "5 Nothing was changed.",
         1},
        {L"/audit -noaccount", 0, 10, "Task: audit", 0},
        {L"/apply:all /report", 0, kExitBadCommandLine, "Exit code: 102", 0},
    };
    for (const Case& c : cases) {
        Unattended h;
        h.registry.SetString(kMarker, L"1");  // a reopening a restore would do
        h.system.heldElsewhere = c.lockError == 0;
        h.system.lockError = c.lockError;
        const auto before = h.registry.keys;
        EXPECT_EQ(h.Run(c.line), c.code) << c.says;
        EXPECT_EQ(h.registry.keys, before) << c.says;
        EXPECT_TRUE(h.Says(c.says)) << h.Report();
        EXPECT_EQ(h.system.lockWaits.size(), c.waits) << c.says;
    }
}

// Only an administrator may change the machine: anyone else learns it at once, before the lock,
// even while an administrator's run holds it; an audit needs no lock and still runs.
TEST(RunUnattended, ANonAdministratorGets101DecidedBeforeTheLock) {
    struct Case {
        const wchar_t* line;
        VersionInfo version;
        int code;
        const char* says;
    };
    const VersionInfo nt4{true, 4, 0, 2, ProductWorkstation, 6};
    const Case cases[] = {
        {L"/apply:all -noaccount", FakeSystem::kXpSp2, kExitNotAdministrator,
         "only an administrator may change this computer. Nothing was changed."},
        {L"/restore:services -noaccount", FakeSystem::kXpSp2, kExitNotAdministrator,
         "Exit code: 101"},
        {L"/apply:all -noaccount", nt4, kExitUnsupported, "Exit code: 100"},
        {L"/audit -noaccount", FakeSystem::kXpSp2, 10, "Task: audit"},
    };
    for (const Case& c : cases) {
        Unattended h;
        h.system.administrator = false;
        h.system.heldElsewhere = true;
        h.system.version = c.version;
        h.registry.SetString(kMarker, L"1");  // a reopening a restore would do
        const auto before = h.registry.keys;
        EXPECT_EQ(h.Run(c.line), c.code) << c.line;
        EXPECT_TRUE(h.Says(c.says)) << c.line << "\n" << h.Report();
        EXPECT_TRUE(h.system.lockWaits.empty()) << c.line;
        EXPECT_EQ(h.registry.keys, before) << c.line;
    }
}

// The lock behaves as a mutex, and a run says what it met: a lock its own thread holds already is
// taken again and let go as often; one whose owner ended without letting go is taken, and the
// report says what that means; a release that fails is told, the lock staying with the run's
// thread; another's object of the lock's name is passed over and named.
TEST(RunUnattended, EveryWayOfTheLockIsToldAndNoneKeepsItHeld) {
    struct Case {
        const char* what;
        std::function<void(FakeSystem&)> arrange;
        int code;
        const char* says;
        std::optional<int> ownerAfter;
    };
    const Case cases[] = {
        {"its own thread holds it",
         [](FakeSystem& s) {
             s.lockOwner = 1;
             s.locksHeld = 1;
         },
         kExitRestartNeeded, "Exit code: 3010", 1},
        {"another thread holds it",
         [](FakeSystem& s) {
             s.lockOwner = 2;
             s.locksHeld = 1;
         },
         kExitMachineHeld, "did not finish within 60 seconds", 2},
        {"its owner ended without letting go",
         [](FakeSystem& s) {
             s.lockOwner = 2;
             s.locksHeld = 1;
             s.lockOwnerEnded = true;
         },
         kExitRestartNeeded, "ended without finishing its changes", std::nullopt},
        {"the release fails", [](FakeSystem& s) { s.releaseError = 6; }, kExitRestartNeeded,
         "could not let go of the lock that keeps other Tolvane runs from changing this computer "
         "at the same time: system error 6",
         1},
        {"a user made the name first",
         [](FakeSystem& s) { s.lockSquatter = L"PC01\\bob"; },
         kExitRestartNeeded,
         "was taken by PC01\\bob, neither the local system account",
         {}},
    };
    for (const Case& c : cases) {
        Unattended h;
        c.arrange(h.system);
        EXPECT_EQ(h.Run(L"/apply:shares -noaccount"), c.code) << c.what;
        EXPECT_TRUE(h.Says(c.says)) << c.what << "\n" << h.Report();
        EXPECT_EQ(h.system.lockOwner, c.ownerAfter) << c.what;
        EXPECT_EQ(h.system.locksHeld, c.ownerAfter ? 1 : 0) << c.what;
    }
}

// The kit's domain-member policy on a member whose time service starts by itself: the time
// service stays, and the same policy's audit then finds everything it names in force.
TEST(RunUnattended, TheDomainMemberPolicyKeepsTheTimeServiceAndItsAuditPasses) {
    Unattended h;
    h.system.joined = true;
    const std::wstring time = L"SYSTEM\\CurrentControlSet\\Services\\W32Time\\Start";
    h.registry.SetDword(time, 2);
    std::ifstream kit(std::string(TOLVANE_KIT_DIR) + "/policies/domain-member.txt",
                      std::ios::binary);
    h.system.files[L"C:\\Tools\\policies\\domain-member.txt"] =
        std::string(std::istreambuf_iterator<char>(kit), {});
    const int applied = h.Run(L"/apply:@policies\\domain-member.txt -noaccount");
    EXPECT_TRUE(applied == 0 || applied == kExitRestartNeeded) << applied << "\n" << h.Report();
    EXPECT_EQ(h.Read(time), L"2");
    EXPECT_TRUE(h.Says("Time 123\tin force: no\tasked: no\tnot asked")) << h.Report();
    EXPECT_EQ(h.Run(L"/audit:@policies\\domain-member.txt -noaccount"), 0) << h.Report();
}

TEST(RunUnattended, TheReportEndsWithThePortsStillListening) {
    Unattended h;
    h.system.ports = {{PortProtocol::Udp, {0, 0, 0, 0}, 1900, std::nullopt, L""}};
    h.Run(L"/audit -noaccount");
    const std::string report = h.Report();
    const auto heading = report.find("Listening ports");
    ASSERT_NE(heading, std::string::npos) << report;
    EXPECT_NE(report.find("SSPD 1900", heading), std::string::npos) << report;
}

TEST(RunUnattended, RestoreLeavesWhatItDidNotRecordAndARefusalStaysWithItsSetting) {
    Unattended h;
    h.registry.SetDword(kAutoShareWks, 0);  // hardened by other means: no record
    EXPECT_EQ(h.Run(L"/restore:shares -noaccount"), 0);
    EXPECT_EQ(h.Read(kAutoShareWks), L"0");
    EXPECT_TRUE(h.Says("Shares\tAdministrative\tin force: yes\tasked: yes\tnothing recorded"));

    // The first share row refused: the others of the group were never tried.
    h.registry.SetDword(kAutoShareWks, 1);
    h.registry.DenyWrites(L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Network");
    EXPECT_EQ(h.Run(L"/apply:shares -noaccount /report:C:\\r.csv"), kExitNotAdministrator);
    const auto rows = h.Rows();
    EXPECT_EQ(rows.at("shares.folders"), (Row{"no", "refused"}));
    EXPECT_EQ(rows.at("shares.admin"), (Row{"no", "not tried"}));
    EXPECT_EQ(rows.at("shares.simple").second, "unavailable");
    EXPECT_NE(h.Report(kCsv).find("refused,system error 5 (HKLM\\Software"), std::string::npos);
}

// A report that cannot be written costs nothing else: the run is done, the older report stays.
TEST(RunUnattended, ReportsWhereAskedAndKeepsTheOldOneWhenItCannot) {
    Unattended h;
    h.system.environment[L"COMPUTERNAME"] = L"PC01";
    h.system.hasStandardOutput = true;
    EXPECT_EQ(h.Run(L"/audit -noaccount \"/report:C:\\a b\\%COMPUTERNAME%.csv\""), 10);
    EXPECT_TRUE(h.Report(L"C:\\a b\\PC01.csv").starts_with("\xEF\xBB\xBF"));

    h.system.files[kReport] = "older report";
    h.system.lockedFiles.insert(kReport);
    EXPECT_EQ(h.Run(L"/apply:shares -noaccount"), kExitReportNotWritten);
    EXPECT_EQ(h.Report(), "older report");
    EXPECT_EQ(h.Read(kAutoShareWks), L"0") << "the apply itself is done";
    EXPECT_NE(h.system.standardOutput.find(L"could not write the report C:\\Tools"),
              std::wstring::npos);

    h.system.folders[L"C:\\folder.txt"] = 0x10;
    EXPECT_EQ(h.Run(L"/audit -noaccount /report:C:\\folder.txt"), kExitReportNotWritten);
}

TEST(RunUnattended, ABadCommandLineChangesNothingAndSaysWhy) {
    for (const wchar_t* line : {L"/audti", L"/apply:everything", L"/audit /apply:all"}) {
        Unattended h;
        EXPECT_EQ(h.Run(line), kExitBadCommandLine) << line;
        EXPECT_TRUE(h.Says("/restore:NAMES")) << line;
        EXPECT_TRUE(h.Says("Exit code: 102")) << line;
        EXPECT_EQ(h.registry.writes, 0) << line;
        EXPECT_TRUE(h.system.started.empty()) << line;
    }
    Unattended vista;
    vista.system.version = {true, 6, 0, 2};
    EXPECT_EQ(vista.Run(L"/audit"), kExitUnsupported);
    EXPECT_TRUE(vista.Says("This software only works"));
    EXPECT_TRUE(vista.host.messages.empty()) << "nothing waits for a person";
}

// An account that neither net user nor the system can read is neither counted nor switched.
TEST(RunUnattended, AnAccountThatCannotBeReadIsUnknown) {
    Unattended h;
    EXPECT_EQ(h.Run(L"/apply:accounts /report:C:\\r.csv"), kExitRestartNeeded);
    const auto rows = h.Rows();
    EXPECT_EQ(rows.at("accounts.guest"), (Row{"unknown", "left alone: its state cannot be read"}));
    // No such account (Windows 2000, or removed): nothing to read.
    EXPECT_EQ(rows.at("accounts.helpassistant"), (Row{"no", "unavailable"}));
    EXPECT_TRUE(h.accounts.switches.empty());
    for (const std::wstring& line : h.system.commandLines()) {
        EXPECT_EQ(line.find(L"/active"), std::wstring::npos) << line;
    }
    // The shares and services not applied count; the accounts that cannot be read never do.
    EXPECT_EQ(h.Run(L"/audit /report:C:\\r.csv"), 7);
    EXPECT_EQ(h.Rows().at("accounts.guest"), (Row{"unknown", "cannot be read"}));
}

// A machine as the fakes can hold it, for the property below.
struct MachineState {
    const char* what;
    std::function<void(Unattended&)> set;
};

const std::vector<MachineState>& MachineStates() {
    static const std::vector<MachineState> states = {
        {"as installed", [](Unattended&) {}},
        {"every service installed",
         [](Unattended& h) {
             for (const wchar_t* service : {L"LmHosts", L"PolicyAgent", L"MSDTC", L"Schedule",
                                            L"Messenger", L"SSDPSRV", L"upnphost"}) {
                 h.Install(service, 3);
             }
         }},
        {"the Lsa key refuses writes", [](Unattended& h) { h.registry.DenyWrites(kLsa); }},
        {"a FAT32 system drive",
         [](Unattended& h) {
             h.system.drives = {{L'C', L"FAT32"}};
         }},
        {"port 135 closed, SSDP running",
         [](Unattended& h) {
             for (const wchar_t* service :
                  {L"LmHosts", L"PolicyAgent", L"MSDTC", L"Schedule", L"Messenger", L"upnphost"}) {
                 h.Install(service, 4);
             }
             h.Install(L"W32Time", 4);
             h.Install(L"Dnscache", 4);
             h.Install(L"SSDPSRV", 3);
             h.registry.SetDword(
                 std::wstring(kServices) + L"Dnscache\\Parameters\\MaxCachedSockets", 0);
             h.registry.SetDword(std::wstring(kServices) + L"NetBT\\Parameters\\SmbDeviceEnabled",
                                 0);
             h.registry.SetString(kEnableDcom, L"N");
             h.registry.SetString(L"SYSTEM\\CurrentControlSet\\Services\\RpcSs\\ListenOnInternet",
                                  L"N");
             h.registry.SetString(kMarker, L"1");
             h.registry.SetRaw(L"SYSTEM\\CurrentControlSet\\Services\\Rpc\\Linkage\\Bind",
                               MultiStringValue({L"1"}));
         }},
        {"accounts the system reads",
         [](Unattended& h) {
             h.accounts.names[kGuestRid] = L"Guest";
             h.accounts.disabled = {{L"Guest", false}, {L"HelpAssistant", true}};
         }},
        {"accounts the system refuses to switch",
         [](Unattended& h) {
             h.accounts.names[kGuestRid] = L"Guest";
             h.accounts.disabled = {{L"Guest", false}, {L"HelpAssistant", false}};
             h.accounts.refusal = 5;
         }},
    };
    return states;
}

// Whatever an apply's report says of a setting, the next audit reads from the machine.
TEST(RunUnattended, AnApplysReportIsWhatTheNextAuditReads) {
    for (const MachineState& state : MachineStates()) {
        for (const wchar_t* groups : {L"shares", L"accounts", L"services", L"all"}) {
            Unattended h;
            state.set(h);
            h.Run(std::wstring(L"/apply:") + groups + L" /report:C:\\r.csv");
            const auto applied = h.Rows();
            h.Run(L"/audit /report:C:\\r.csv");
            const auto audited = h.Rows();
            for (const auto& [key, row] : applied) {
                EXPECT_EQ(row.first, audited.at(key).first)
                    << state.what << ", /apply:" << groups << ", " << key << " (" << row.second
                    << ")";
            }
        }
    }
}

// Port 135 and its DCOM values change only when a person closes it in the window, or when a
// restore of the services reopens it.
TEST(RunUnattended, OnlyARestoreOfTheServicesTouchesPort135) {
    constexpr const wchar_t* kDcomPaths[] = {L"Ole\\EnableDCOM", L"RpcSs\\ListenOnInternet",
                                             L"Rpc\\DCOM Protocols", L"Rpc\\Linkage"};
    for (const wchar_t* line :
         {L"/audit", L"/apply:all", L"/apply:shares", L"/apply:services", L"/restore:shares",
          L"/restore:accounts", L"/restore:services", L"/restore:all"}) {
        Unattended h;
        MachineStates()[4].set(h);
        h.registry.SetString(L"SOFTWARE\\Microsoft\\Ole\\EnableDCOMKX135", L"Y");
        for (const auto& [file, number] :
             {std::pair{"Bind.reg", 101}, {"DCOM.reg", 103}, {"DCOM2.reg", 104}}) {
            h.system.resources[{L"REG", static_cast<std::uint16_t>(number)}] = ResourceFile(file);
        }
        h.Run(line);
        const bool reopens =
            std::wstring(line).starts_with(L"/restore:") &&
            (std::wstring(line).ends_with(L"services") || std::wstring(line).ends_with(L"all"));
        bool touched = false;
        for (const std::wstring& change : h.registry.changes) {
            for (const wchar_t* path : kDcomPaths) {
                touched = touched || change.find(path) != std::wstring::npos;
            }
        }
        EXPECT_EQ(touched, reopens) << line;
        EXPECT_EQ(h.Read(kEnableDcom), reopens ? L"Y" : L"N") << line;
        EXPECT_EQ(h.Read(kMarker), reopens ? L"0" : L"1") << line;
    }
}

TEST(RunUnattended, AReopeningRefusedForLackOfRightsSaysSo) {
    Unattended h;
    MachineStates()[4].set(h);
    h.registry.SetString(L"SOFTWARE\\Microsoft\\Ole\\EnableDCOMKX135", L"Y");
    h.registry.DenyWrites(L"SOFTWARE\\Microsoft\\Ole");
    EXPECT_EQ(h.Run(L"/restore:services /report:C:\\r.csv"), kExitNotAdministrator);
    EXPECT_EQ(h.Rows().at("services.port135").second, "refused");
}

// A REG_NONE mark no version writes says neither the former value nor its absence: whatever
// its value holds, the record stays and the line says so.
TEST(RunUnattended, ARecordItCannotUseIsLeftInPlaceAndCounted) {
    const std::wstring record = std::wstring(kAutoShareWks) + L"KX";
    for (const std::uint32_t now : {0u, 1u}) {
        Unattended h;
        h.registry.SetDword(kAutoShareWks, now);
        h.registry.SetRaw(record, {RawNone, {9}});
        const auto before = h.registry.keys;
        EXPECT_EQ(h.Run(L"/restore:shares -noaccount"), 1) << now;
        EXPECT_TRUE(h.Says("\ta record it cannot use was left in place")) << now;
        EXPECT_EQ(h.registry.keys, before) << now;
    }
}

// An XP Professional machine far from Windows' defaults: start types that are not Windows' own or
// not even numbers, values of other types, NetBIOS interfaces in every state, and keys missing
// that the apply creates.
struct Unusual : Unattended {
    Unusual() {
        system.files[L"C:\\WINDOWS\\System32\\gpedit.msc"] = "";
        Install(L"W32Time", 1);
        Install(L"LmHosts", 3);
        Install(L"Messenger", 2);
        registry.SetString(std::wstring(kServices) + L"Schedule\\Start", L"3");
        registry.SetString(
            L"SYSTEM\\CurrentControlSet\\Services\\LanmanServer\\Parameters\\AutoShareServer",
            L"1");
        registry.SetString(std::wstring(kLsa) + L"\\forceguest", L"yes");
        registry.SetRaw(std::wstring(kLsa) + L"\\restrictanonymous", {RawBinary, {1, 0, 0, 0}});
        // Each key on its own, as the registry holds it, whatever is written below it later.
        for (const wchar_t* key :
             {L"NetBT", L"NetBT\\Parameters", L"NetBT\\Parameters\\Interfaces"}) {
            registry.keys[{kHklm, FakeRegistry::Fold(kServices + std::wstring(key))}];
        }
        const std::wstring interfaces =
            std::wstring(kServices) + L"NetBT\\Parameters\\Interfaces\\Tcpip_";
        registry.SetDword(interfaces + L"{A}\\NetbiosOptions", 0);
        registry.keys[{kHklm, FakeRegistry::Fold(interfaces + L"{B}")}];
        registry.SetDword(interfaces + L"{C}\\NetbiosOptions", 2);
        registry.SetRaw(interfaces + L"{D}\\NetbiosOptions", {RawNone, {}});
    }
    // Runs the task with every registry change after the first `changes` refused, as a run cut
    // short leaves the machine; how many changes it made.
    std::size_t CutAfter(std::size_t changes, const std::wstring& line) {
        registry.changes.clear();
        registry.refuseAfter = static_cast<int>(changes);
        Run(line);
        registry.refuseAfter = -1;
        return registry.changes.size();
    }
};

// An apply cut at any change, or a restore cut at any change after a full apply; either way the
// next restore gives the machine back exactly.
TEST(RunUnattended, ARunCutAtAnyChangeIsTakenBackExactlyByTheNextRestore) {
    constexpr wchar_t kApplyAll[] = L"/apply:all -noaccount";
    constexpr wchar_t kRestoreAll[] = L"/restore:all -noaccount";
    constexpr std::size_t kUncut = 1000;
    struct Case {
        const wchar_t* first;  // run whole before the one cut, if any
        const wchar_t* cut;
        std::size_t least;  // changes the run makes whole
    };
    for (const Case& c : {Case{nullptr, kApplyAll, 40}, Case{kApplyAll, kRestoreAll, 20}}) {
        std::size_t all = 0;
        for (std::size_t cut = 0; cut == 0 || cut < all; ++cut) {
            SCOPED_TRACE(::testing::Message() << c.cut << " cut after " << cut);
            Unusual h;
            const auto before = h.registry.keys;
            if (c.first) {
                h.Run(c.first);
            }
            const std::size_t made = h.CutAfter(cut == 0 ? kUncut : cut, c.cut);
            if (cut == 0) {
                all = made;
            } else {
                ASSERT_EQ(made, cut);
            }
            h.Run(kRestoreAll);
            EXPECT_EQ(h.registry.keys, before);
        }
        EXPECT_GT(all, c.least);
    }
}

TEST(RunUnattended, ARunWithAListCountsOnlyWhatItNamesAndReportsEverySetting) {
    struct Case {
        const wchar_t* line;
        int code;
        const char* key;  // one row to look at
        std::vector<std::string> row;
    };
    // As installed: 10 settings not in force without the probe, the guest account unreadable.
    const Case cases[] = {
        {L"/audit:shares", 4, "accounts.anonymous", {"no", "not asked", "no"}},
        {L"/audit:all,-shares", 6, "shares.admin", {"no", "not asked", "no"}},
        // Port 135 counts only where an audit names it by its key.
        {L"/audit:services", 3, "services.port135", {"no", "read", "yes"}},
        {L"/audit:services.port135", 1, "services.port135", {"no", "read", "yes"}},
        // An account nobody can read: counted where the list names a setting, not otherwise.
        {L"/audit:accounts", 3, "accounts.guest", {"unknown", "cannot be read", "yes"}},
        {L"/audit:accounts.guest", 1, "accounts.guest", {"unknown", "cannot be read", "yes"}},
        {L"/audit:accounts,-accounts.anonymous",
         3,
         "accounts.anonymous",
         {"no", "not asked", "no"}},
        {L"/audit:accounts.helpassistant",
         0,
         "accounts.helpassistant",
         {"no", "unavailable", "yes"}},
        {L"/apply:accounts.guest",
         1,
         "accounts.guest",
         {"unknown", "left alone: its state cannot be read", "yes"}},
        {L"/apply:all,-accounts.guest",
         kExitRestartNeeded,
         "accounts.guest",
         {"unknown", "not asked", "no"}},
        {L"/apply:shares.folders", kExitRestartNeeded, "shares.admin", {"no", "not asked", "no"}},
        {L"/apply:services.ssdp", 0, "services.upnp", {"no", "unavailable", "implied"}},
        {L"/restore:shares.admin", 0, "shares.folders", {"no", "not asked", "no"}},
    };
    for (const Case& c : cases) {
        Unattended h;
        EXPECT_EQ(h.Run(std::wstring(c.line) + L" /report:C:\\r.csv"), c.code) << c.line;
        const auto rows = SettingRows(h.Report(kCsv));
        EXPECT_EQ(rows.size(), SettingBoxes().size()) << c.line;
        EXPECT_EQ(rows.at(c.key), c.row) << c.line;
    }
}

// Whatever the machine and the list: when no code of 100 or more applies, the exit code is the
// number of settings the run asked for, counted, and not in force.
TEST(RunUnattended, TheExitCodeIsTheNumberOfNamedSettingsNotInForce) {
    std::vector<std::wstring> names = {L"shares", L"accounts", L"services", L"all"};
    for (const SettingBox& setting : SettingBoxes()) {
        names.push_back(setting.reportKey);
    }
    std::mt19937 random(2026);
    int checked = 0;
    for (const MachineState& state : MachineStates()) {
        for (int sample = 0; sample < 12; ++sample) {
            std::wstring list;
            for (int n = 1 + static_cast<int>(random() % 4); n > 0; --n) {
                list += (list.empty() ? L"" : L",") + std::wstring(random() % 3 ? L"" : L"-") +
                        names[random() % names.size()];
            }
            const std::wstring task = random() % 2 ? L"/audit:" : L"/apply:";
            const UnattendedRequest request = ParseCommandLine(task + list);
            if (!request.error.empty()) {
                continue;
            }
            Unattended h;
            state.set(h);
            const int code = h.Run(task + list + L" /report:C:\\r.csv");
            if (code >= 100 && code != kExitRestartNeeded) {
                continue;
            }
            const std::size_t port135 = SettingIndexOf(ControlId::Port135Box);
            const bool auditsPort135 = task == L"/audit:" && request.choice.byKey.test(port135);
            int notInForce = 0;
            for (const auto& [key, row] : SettingRows(h.Report(kCsv))) {
                const bool counted = row[2] != "no" && row[1] != "unavailable" &&
                                     !row[1].starts_with("left alone: a domain") &&
                                     (key != "services.port135" || auditsPort135);
                notInForce += counted && (row[0] == "no" ||
                                          (row[0] == "unknown" && request.choice.namesSetting));
            }
            EXPECT_EQ(code == kExitRestartNeeded ? 0 : code, notInForce)
                << state.what << ", " << std::string(task.begin(), task.end())
                << std::string(list.begin(), list.end());
            ++checked;
        }
    }
    EXPECT_GT(checked, 40);
}

TEST(RunUnattended, APolicyFileStandsWhereItsPathStands) {
    struct Case {
        const wchar_t* line;
        std::string file;  // C:\Tools\base.txt, beside the program
        int code;
        const char* says;
    };
    const Case cases[] = {
        {L"/audit:@base.txt", "shares\r\n", 4, "Task: audit:@base.txt\r\n"},
        {L"/audit:@C:\\Tools\\base.txt,-shares.admin", "shares", 3, "Exit code: 3\r\n"},
        {L"/audit:@%PROGRAMS%\\base.txt",
         "\xEF\xBB\xBF"
         "shares",
         4, "Exit code: 4\r\n"},
        // A -NAME in the file takes out what stands before the file.
        {L"/audit:shares,@base.txt", "-shares.admin", 3, "Exit code: 3\r\n"},
        {L"/audit:@base.txt", "shares\n# fine\n\nbogus", kExitBadCommandLine,
         "The policy file base.txt, line 4, holds the name bogus"},
        {L"/apply:@base.txt", "shares,,", kExitBadCommandLine,
         "The policy file base.txt, line 1, holds an empty item"},
        {L"/apply:@base.txt", "-shares", kExitBadCommandLine, "leaves no setting"},
        {L"/apply:@missing.txt", "", kExitPolicyUnreadable,
         "The policy file missing.txt could not be read."},
        {L"/apply:@base.txt", std::string(65537, ' '), kExitPolicyUnreadable,
         "The policy file base.txt is larger than 65536 bytes."},
        {L"/apply:@base.txt", "all" + std::string(65533, ' '), kExitRestartNeeded, "applied"},
    };
    for (const Case& c : cases) {
        Unattended h;
        h.system.environment[L"PROGRAMS"] = L"C:\\Tools";
        h.system.files[L"C:\\Tools\\base.txt"] = c.file;
        const auto before = h.registry.keys;
        EXPECT_EQ(h.Run(std::wstring(c.line) + L" -noaccount"), c.code) << c.line;
        EXPECT_TRUE(h.Says(c.says)) << c.line << "\n" << h.Report();
        EXPECT_EQ(h.Says("Tolvane [/audit"), c.code == kExitBadCommandLine) << c.line;
        if (c.code >= 100 && c.code != kExitRestartNeeded) {
            EXPECT_EQ(h.registry.keys, before) << c.line;
        }
        EXPECT_EQ(h.system.files.at(L"C:\\Tools\\base.txt"), c.file) << "never written";
    }
}

// A domain member's policy takes out what the domain needs after "all": read only in part, it
// would apply them. Whatever byte the read stops at, or a file shorter than its size, the run
// changes nothing and says why in the system's words.
TEST(RunUnattended, APolicyReadCutShortAtAnyByteChangesNothing) {
    const std::string policy =
        "all\r\n-services.time ; the domain's time\r\n-accounts.anonymous\r\n"
        "-services.netbios\r\n-services.smb\r\n";
    constexpr wchar_t kPath[] = L"C:\\Tools\\member.txt";
    for (std::size_t at = 0; at <= policy.size(); ++at) {
        Unattended h;
        h.system.files[kPath] = policy;
        h.system.readFailsAt[kPath] = at;
        h.system.hasStandardOutput = true;
        const auto before = h.registry.keys;
        EXPECT_EQ(h.Run(L"/apply:@member.txt -noaccount"), kExitPolicyUnreadable) << at;
        EXPECT_EQ(h.registry.keys, before) << at;
        EXPECT_TRUE(h.Says("The policy file member.txt could not be read. system error 64")) << at;
        EXPECT_NE(h.system.standardOutput.find(L"system error 64"), std::wstring::npos) << at;
    }
    Unattended shorter;
    shorter.system.files[kPath] = policy;
    shorter.system.sizes[kPath] = policy.size() + 1;
    EXPECT_EQ(shorter.Run(L"/apply:@member.txt -noaccount"), kExitPolicyUnreadable);
    EXPECT_TRUE(shorter.Says("system error " + std::to_string(kFileEndedEarly)));

    Unattended whole;
    whole.system.files[kPath] = policy;
    EXPECT_EQ(whole.Run(L"/apply:@member.txt -noaccount"), kExitRestartNeeded);
    EXPECT_TRUE(whole.Says("Services\tTime 123\tin force: no\tasked: no\tnot asked"));
}

}  // namespace
}  // namespace tolvane::testing
