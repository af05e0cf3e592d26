#include <gtest/gtest.h>

#include <optional>
#include <set>

#include "app/Commands.h"
#include "catalogue/AccountProbe.h"
#include "catalogue/Accounts.h"
#include "fakes/Harness.h"
#include "system/SystemInfo.h"

namespace tolvane::testing {
namespace {

using C = ControlId;
constexpr wchar_t kLsa[] = L"SYSTEM\\CurrentControlSet\\Control\\Lsa\\";
constexpr wchar_t kRemoteRegistryStart[] =
    L"SYSTEM\\CurrentControlSet\\Services\\RemoteRegistry\\Start";
constexpr wchar_t kGuestFile[] = L"C:\\WINDOWS\\Inv.cmp";
constexpr wchar_t kHelpFile[] = L"C:\\WINDOWS\\Hlp.cmp";
const std::wstring kGuestQuery =
    L"C:\\WINDOWS\\system32\\net.exe user Invit\u00e9 > C:\\WINDOWS\\Inv.cmp";
const std::wstring kHelpQuery =
    L"C:\\WINDOWS\\system32\\net.exe user HelpAssistant > C:\\WINDOWS\\Hlp.cmp";
const std::wstring kGuestOn = L"net user Invit\u00e9 /active:yes";
const std::wstring kGuestOff = L"net user Invit\u00e9 /active:no";
// The pauses between forty looks for a report.
const std::vector<std::int32_t> kFortyLooks(39, 250);

std::string Report(const char* active) {
    return std::string("Nom d'utilisateur   x\r\nCompte\xff: actif               ") + active +
           "\r\nFin\r\n";
}

// net user as the probe sees it: the report lands in the file when the query ends.
struct Accounts : Harness {
    std::map<std::wstring, std::string> reports = {{kGuestQuery, Report("Non")},
                                                   {kHelpQuery, Report("Oui")}};
    Accounts() {
        system.onCommandEnd = [this](const std::wstring& line) {
            if (const auto report = reports.find(line); report != reports.end()) {
                system.files[line == kGuestQuery ? kGuestFile : kHelpFile] = report->second;
            }
        };
    }
};

TEST(ProbeAccounts, ShowsEachAccountAndLeavesNoFileBehind) {
    Accounts h;
    ProbeAccounts(h.state, h.machine);
    // net.exe itself, by its full path, its report going straight to the file: no shell between.
    ASSERT_EQ(h.system.programs.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        const ProgramStart& query = h.system.programs[i];
        EXPECT_EQ(query.program, L"C:\\WINDOWS\\system32\\net.exe");
        EXPECT_EQ(query.arguments, i == 0 ? L"user Invit\u00e9" : L"user HelpAssistant");
        EXPECT_EQ(query.outputFile, i == 0 ? kGuestFile : kHelpFile);
        EXPECT_EQ(query.style, WindowStyle::Hidden);
    }
    EXPECT_EQ(h.Value(C::GuestAccountBox),
              1);  // the guest account is inactive: deactivation in force
    EXPECT_FALSE(h.controls.Bold(C::GuestAccountLabel));
    EXPECT_EQ(h.Verified(C::GuestAccountBox), 1);
    EXPECT_EQ(h.Value(C::HelpAssistantBox), 0);
    EXPECT_TRUE(h.controls.Bold(C::HelpAssistantLabel));
    EXPECT_TRUE(h.system.files.empty());
    EXPECT_EQ(h.system.removed,
              (std::vector<std::wstring>{kGuestFile, kHelpFile, kGuestFile, kHelpFile}));
    // Read once the queries ended: no fixed pause.
    EXPECT_TRUE(h.system.pauses.empty());
    EXPECT_EQ(h.host.pleaseWaitCalls, (std::vector<bool>{true, false}));
    EXPECT_EQ(h.host.enableCalls, (std::vector<bool>{false, true}));
}

TEST(ProbeAccounts, AnUnreadableStateDisablesTheBoxAndKeepsItsValue) {
    Accounts h;
    h.reports[kHelpQuery] = "";  // no such account: net user writes nothing
    h.Set(C::HelpAssistantBox, 1);
    h.controls.SetBold(C::HelpAssistantLabel, true);
    ProbeAccounts(h.state, h.machine);
    EXPECT_FALSE(h.controls.Enabled(C::HelpAssistantBox));
    EXPECT_EQ(h.Verified(C::HelpAssistantBox), 0);
    EXPECT_EQ(h.Value(C::HelpAssistantBox), 1);
    EXPECT_TRUE(h.controls.Bold(C::HelpAssistantLabel));
}

// Once a query has ended its report is final; only a query that may still write is waited for.
TEST(ProbeAccounts, LooksAgainOnlyWhileAQueryMayStillWrite) {
    struct Case {
        const char* what;
        bool starts, ends;
        std::optional<std::string> helpReport;  // nullopt: no file at all
        std::vector<std::int32_t> pauses;
    };
    const Case cases[] = {
        {"ended, empty report", true, true, "", {}},
        {"ended, no report", true, true, std::nullopt, {}},
        {"still running after 10 s", true, false, std::nullopt, kFortyLooks},
        // Nothing writes for a query that never started.
        {"not started", false, false, std::nullopt, {}},
    };
    for (const Case& c : cases) {
        Accounts h;
        h.system.commandsStart = c.starts;
        h.system.endsInTime = [&](const std::wstring& line) {
            return c.ends || line != kHelpQuery;
        };
        if (c.helpReport) {
            h.reports[kHelpQuery] = *c.helpReport;
        } else {
            h.reports.erase(kHelpQuery);
        }
        ProbeAccounts(h.state, h.machine);
        EXPECT_EQ(h.system.pauses, c.pauses) << c.what;
        EXPECT_FALSE(h.controls.Enabled(C::HelpAssistantBox)) << c.what;
    }
}

TEST(ProbeAccounts, NeverReadsAReportLeftByAnEarlierRun) {
    Accounts h;
    h.system.files[kGuestFile] = Report("Non");
    h.system.commandsStart = false;
    ProbeAccounts(h.state, h.machine);
    EXPECT_FALSE(h.controls.Enabled(C::GuestAccountBox));
    EXPECT_EQ(h.Value(C::GuestAccountBox), 0);
}

// A renamed or another language's guest is still the guest: net user is asked for the name
// Windows gives its identifier. One Windows cannot name is neither asked for nor waited for.
TEST(ProbeAccounts, AsksForTheGuestByTheNameOfItsIdentifier) {
    for (const std::optional<std::wstring>& name :
         {std::optional<std::wstring>(L"Gast"), std::optional<std::wstring>()}) {
        Accounts h;
        h.accounts.names.clear();
        if (name) {
            h.accounts.names[kGuestRid] = *name;
        }
        ProbeAccounts(h.state, h.machine);
        std::vector<std::wstring> asked;
        for (const ProgramStart& query : h.system.programs) {
            asked.push_back(query.arguments);
        }
        std::vector<std::wstring> expected{L"user HelpAssistant"};
        if (name) {
            expected.insert(expected.begin(), L"user " + *name);
        }
        EXPECT_EQ(asked, expected);
        EXPECT_FALSE(h.controls.Enabled(C::GuestAccountBox)) << "no report for it, nor a system";
        EXPECT_TRUE(h.system.pauses.empty());
    }
}

TEST(FindValueInFile, GivesUpOnAFileThatNeverAppearsAfterFortyLooks) {
    FakeSystem system;
    EXPECT_EQ(ReadAccountState(system, kGuestFile), AccountState::Unknown);
    EXPECT_EQ(system.pauses, kFortyLooks);
}

TEST(FindValueInFile, ReadsNothingForAnEmptyKey) {
    FakeSystem system;
    system.files[kGuestFile] = Report("Oui");
    EXPECT_EQ(FindValueInFile(system, kGuestFile, L"", false, L" ", L'\n', L'\r'), L"");
    EXPECT_TRUE(system.reads.empty());
}

struct Started : Accounts {
    explicit Started(const wchar_t* switches = L"",
                     std::optional<std::string> guestReport = std::nullopt) {
        if (guestReport) {
            reports[kGuestQuery] = *guestReport;
        }
        registry.SetDword(kRemoteRegistryStart, 2);
        main.ReadCommandLine(switches);
        EXPECT_TRUE(main.LoadFromMachine());
        system.started.clear();
    }
};

TEST(VerifyAccounts, AnonymousAccessNeedsBothLsaValues) {
    struct Case {
        std::uint32_t anonymous, sam;
        int box;
    };
    for (const Case& c : {Case{2, 0, 0}, Case{2, 1, 1}, Case{1, 1, 0}}) {
        Started h;
        h.registry.SetDword(std::wstring(kLsa) + L"restrictanonymous", c.anonymous);
        h.registry.SetDword(std::wstring(kLsa) + L"restrictanonymoussam", c.sam);
        VerifyAccounts(h.state, h.machine);
        EXPECT_EQ(h.Value(C::AnonymousAccessBox), c.box);
        EXPECT_EQ(h.controls.Bold(C::AnonymousAccessLabel), c.box == 0);
        EXPECT_EQ(h.Verified(C::AnonymousAccessBox), c.box);
    }
}

TEST(VerifyAccounts, ProbesAgainOnlyWhenAnAccountBoxChanged) {
    Started h;
    VerifyAccounts(h.state, h.machine);
    EXPECT_TRUE(h.system.started.empty());
    h.Set(C::HelpAssistantBox, 1);
    VerifyAccounts(h.state, h.machine);
    EXPECT_EQ(h.system.started.size(), 2u);
    EXPECT_EQ(h.Value(C::HelpAssistantBox), 0);  // the machine still says active
}

// An account is switched only when the user changed its enabled box: one found ticked and
// cleared is switched back on, one nobody touched or nobody could read never is.
TEST(ApplyAccounts, SwitchesOnlyAnAccountWhoseEnabledBoxTheUserChanged) {
    struct Case {
        const char* what;
        const wchar_t* switches;
        std::string guestReport;
        bool disable;
        C box;
        int value;
        std::vector<std::wstring> started;
    };
    const Case cases[] = {
        {"unchanged", L"", Report("Non"), false, C::AnonymousAccessBox, 1, {}},
        {"ticked box cleared", L"", Report("Non"), false, C::GuestAccountBox, 0, {kGuestOn}},
        {"cleared box ticked", L"", Report("Oui"), false, C::GuestAccountBox, 1, {kGuestOff}},
        {"disabled", L"", Report("Oui"), true, C::GuestAccountBox, 1, {}},
        {"-noaccount", L"-noaccount", Report("Oui"), false, C::GuestAccountBox, 1, {}},
        {"unreadable state", L"", "", false, C::AnonymousAccessBox, 1, {}},
    };
    for (const Case& c : cases) {
        Started h(c.switches, c.guestReport);
        if (c.disable) {
            h.controls.SetEnabled(C::GuestAccountBox, false);
        }
        h.state.restartNeeded = false;
        h.Set(c.box, c.value);
        EXPECT_FALSE(ApplyAccounts(h.state, h.machine)) << c.what;
        EXPECT_EQ(h.system.commandLines(), c.started) << c.what;
        for (const auto& started : h.system.started) {
            EXPECT_EQ(started.style, WindowStyle::Minimized) << c.what;
        }
        // Account switches need no restart; the anonymous rows do.
        EXPECT_EQ(h.state.restartNeeded, c.box == C::AnonymousAccessBox) << c.what;
    }
}

TEST(ApplyGroupCommand, TheProbeReadsTheAccountAsTheSwitchLeftIt) {
    Started h;
    const auto query = h.system.onCommandEnd;
    h.system.onCommandEnd = [&](const std::wstring& line) {
        if (line == kGuestOn) {
            h.reports[kGuestQuery] = Report("Oui");
        }
        query(line);
    };
    h.Set(C::GuestAccountBox, 0);
    ApplyGroupCommand(h.state, h.machine, Group::Accounts);
    EXPECT_EQ(h.Value(C::GuestAccountBox), 0);
    EXPECT_EQ(h.Verified(C::GuestAccountBox), 0);
    EXPECT_TRUE(h.controls.Bold(C::GuestAccountLabel));
}

TEST(ApplyAccounts, RecordsAnAccountBeforeSwitchingItOffAndDropsTheRecordWhenItIsOnAgain) {
    constexpr wchar_t kRecord[] = L"SOFTWARE\\Tolvane\\Accounts\\501";
    struct Case {
        const char* what;
        unsigned long exitCode;  // net user's
        bool recordAfter;
    };
    for (const Case& c : {Case{"switched off", 0, true}, Case{"net user failed", 2, false}}) {
        Started h(L"", Report("Oui"));
        bool recordedFirst = false;
        const auto query = h.system.onCommandEnd;
        h.system.onCommandEnd = [&](const std::wstring& line) {
            recordedFirst = recordedFirst || (line == kGuestOff && h.Read(kRecord) == L"1");
            query(line);
        };
        h.system.exitCodes[kGuestOff] = c.exitCode;
        h.Set(C::GuestAccountBox, 1);
        EXPECT_FALSE(ApplyAccounts(h.state, h.machine)) << c.what;
        EXPECT_TRUE(recordedFirst) << c.what;
        EXPECT_EQ(h.registry.Get(kRecord).has_value(), c.recordAfter) << c.what;
        EXPECT_EQ(h.registry.KeyExists(L"SOFTWARE\\Tolvane\\Accounts"), c.recordAfter) << c.what;
    }
    // Switched on again from the window: the record goes, with the program's keys.
    Started h(L"", Report("Non"));
    h.registry.SetDword(kRecord, 1);
    h.Set(C::GuestAccountBox, 0);
    EXPECT_FALSE(ApplyAccounts(h.state, h.machine));
    EXPECT_EQ(h.system.commandLines(), std::vector<std::wstring>{kGuestOn});
    EXPECT_FALSE(h.registry.KeyExists(L"SOFTWARE\\Tolvane\\Accounts"));
}

// What each row writes and brings back is the undo test's; here, the commands beside them.
TEST(ApplyAccounts, StopsRemoteRegistryOnlyWhenItsBoxIsTicked) {
    Started h;
    h.main.Click(C::SelectAllAccountsBox);
    EXPECT_FALSE(ApplyAccounts(h.state, h.machine));
    // Clearing "Select all" at the end reads the group again, which probes the changed accounts.
    // The guest account was already inactive: only the help assistant is switched.
    EXPECT_EQ(h.system.commandLines(),
              (std::vector<std::wstring>{L"net user HelpAssistant /active:no",
                                         L"net stop remoteregistry", kGuestQuery, kHelpQuery}));
    EXPECT_TRUE(h.state.restartNeeded);
    EXPECT_EQ(h.Value(C::SelectAllAccountsBox), 0);

    h.system.started.clear();
    h.Set(C::RemoteRegistryBox, 0);
    EXPECT_FALSE(ApplyAccounts(h.state, h.machine));
    EXPECT_TRUE(h.system.started.empty());
    EXPECT_EQ(h.Read(kRemoteRegistryStart), L"2");
}

// The French report first; where it cannot tell, the system, whatever the guest is called.
TEST(Accounts, EveryLanguageThroughTheSystemWhereTheFrenchReportCannotTell) {
    using Switch = std::pair<std::wstring, bool>;
    struct Case {
        const char* what;
        std::string guestReport, helpReport;
        std::map<std::wstring, bool> system;  // accounts the system knows: disabled or not
        unsigned long refusal;
        int guestFound, helpFound;           // -1: unknown, the box disabled by a probe
        std::vector<std::wstring> commands;  // net user switches started by clicking the guest box
        std::vector<Switch> switches;        // and the system's
        int guestAfter;
        std::size_t messages;
    };
    const std::map<std::wstring, bool> english = {{L"Guest", false}, {L"HelpAssistant", true}};
    const Case cases[] = {
        {"French report readable",
         Report("Oui"),
         Report("Non"),
         english,
         0,
         0,
         1,
         {L"net user Invit\u00e9 /active:no"},
         {},
         1,
         0},
        {"English, guest enabled", "", "", english, 0, 0, 1, {}, {{L"Guest", true}}, 1, 0},
        {"English, guest disabled", "", "", english, 0, 1, 1, {}, {{L"Guest", false}}, 0, 0},
        {"no help assistant (Windows 2000)",
         "",
         "",
         {{L"Guest", false}},
         0,
         0,
         -1,
         {},
         {{L"Guest", true}},
         1,
         0},
        {"the system refuses the switch", "", "", english, 5, 0, 1, {}, {{L"Guest", true}}, 0, 1},
        {"neither tells", "", "", {}, 0, -1, -1, {}, {}, 0, 0},
    };
    for (const Case& c : cases) {
        Accounts h;
        h.reports[kGuestQuery] = c.guestReport;
        h.reports[kHelpQuery] = c.helpReport;
        // Where net user reports in French, the guest's own name is the French one.
        h.accounts.names[kGuestRid] = c.guestReport.empty() ? L"Guest" : L"Invit\u00e9";
        h.accounts.disabled = c.system;
        if (c.system.count(L"Guest")) {
            h.accounts.disabled[L"Guest"] = c.guestFound == 1;
        }
        h.accounts.refusal = c.refusal;
        // The French net user: a switch shows in its next report.
        const auto query = h.system.onCommandEnd;
        h.system.onCommandEnd = [&](const std::wstring& line) {
            if (line.starts_with(L"net user Invit\u00e9 /active:")) {
                h.reports[kGuestQuery] = Report(line.ends_with(L"no") ? "Non" : "Oui");
            }
            query(line);
        };
        h.main.ReadCommandLine(L"");
        ASSERT_TRUE(h.main.LoadFromMachine()) << c.what;
        ProbeAccounts(h.state, h.machine);  // unlike start-up, leaves what it cannot read disabled
        for (const auto& [box, found] : {std::pair{C::GuestAccountBox, c.guestFound},
                                         std::pair{C::HelpAssistantBox, c.helpFound}}) {
            EXPECT_EQ(h.controls.Enabled(box), found != -1) << c.what;
            EXPECT_EQ(h.Value(box), std::max(found, 0)) << c.what;
        }
        h.system.started.clear();
        h.main.Click(C::GuestAccountBox);
        h.main.Click(C::ApplyAccountsButton);
        std::vector<std::wstring> commands;
        for (const std::wstring& line : h.system.commandLines()) {
            if (line.find(L"/active") != std::wstring::npos) {
                commands.push_back(line);
            }
        }
        EXPECT_EQ(commands, c.commands) << c.what;
        EXPECT_EQ(h.accounts.switches, c.switches) << c.what;
        EXPECT_EQ(h.Value(C::GuestAccountBox), c.guestAfter) << c.what;
        ASSERT_EQ(h.host.messages.size(), c.messages) << c.what;
        if (c.messages) {
            const std::wstring& text = h.host.messages[0].text;
            EXPECT_EQ(text.find(L"Tolvane could not switch the account\r\nGuest\r\n\r\nsystem "
                                L"error 5"),
                      0u);
            EXPECT_NE(text.find(L"\"Guest account\" was left as it was"), std::wstring::npos);
        }
    }
}

// The window's start: the queries run while the window is usable, and each account box takes
// its state when its own answer arrives. The test says when each query ends.
struct Window : Accounts {
    std::set<std::wstring> running = {kGuestQuery, kHelpQuery};
    Window() {
        system.endsInTime = [this](const std::wstring& line) { return !running.count(line); };
        registry.SetDword(std::wstring(kLsa) + L"everyoneincludesanonymous", 0);
        EXPECT_TRUE(OpenWindow());
        // As Windows has them: each query's output file from its start.
        system.files[kGuestFile] = "";
        system.files[kHelpFile] = "";
    }
    // The query ends, and the window's message loop is told.
    void Ends(const std::wstring& query) {
        running.erase(query);
        system.TellEnded(query);
    }
    // Its time is up, the query still running.
    void TimesOut(const std::wstring& query) {
        system.clock += kAccountQueryTimeoutMs;
        system.TellEnded(query);
    }
    bool BeingRead(C box) {
        main.PointerOver(box);
        return !controls.Enabled(box) && controls.Caption(C::HelpTextBox) == kReadingAccountHelp;
    }
};

TEST(AccountAnswers, TheWindowTakesInputWhileBothAreDue) {
    Window h;
    EXPECT_EQ(h.system.programs.size(), 2u);
    EXPECT_EQ(h.state.busyDepth, 0);
    EXPECT_EQ(h.host.enableCalls.back(), true);
    EXPECT_TRUE(h.host.pleaseWaitCalls.empty());
    EXPECT_TRUE(h.BeingRead(C::GuestAccountBox));
    EXPECT_TRUE(h.BeingRead(C::HelpAssistantBox));
    // Every other box holds its state already, and takes a click.
    EXPECT_EQ(h.Value(C::EveryoneRightsBox), 1);
    h.main.Click(C::AdminSharesBox);
    EXPECT_EQ(h.Value(C::AdminSharesBox), 1);
    EXPECT_TRUE(h.system.pauses.empty());
}

TEST(AccountAnswers, EachBoxTakesItsOwnAnswerWhenItArrives) {
    for (bool guestFirst : {true, false}) {
        Window h;
        h.Ends(guestFirst ? kGuestQuery : kHelpQuery);
        const C first = guestFirst ? C::GuestAccountBox : C::HelpAssistantBox;
        const C second = guestFirst ? C::HelpAssistantBox : C::GuestAccountBox;
        EXPECT_TRUE(h.controls.Enabled(first)) << guestFirst;
        EXPECT_TRUE(h.BeingRead(second)) << guestFirst;
        h.Ends(guestFirst ? kHelpQuery : kGuestQuery);
        // The guest account is inactive, the help assistant active.
        EXPECT_EQ(h.Value(C::GuestAccountBox), 1) << guestFirst;
        EXPECT_EQ(h.Verified(C::GuestAccountBox), 1) << guestFirst;
        EXPECT_FALSE(h.controls.Bold(C::GuestAccountLabel)) << guestFirst;
        EXPECT_EQ(h.Value(C::HelpAssistantBox), 0) << guestFirst;
        EXPECT_TRUE(h.controls.Bold(C::HelpAssistantLabel)) << guestFirst;
        for (C box : {C::GuestAccountBox, C::HelpAssistantBox}) {
            EXPECT_TRUE(h.controls.Enabled(box)) << guestFirst;
            h.main.PointerOver(box);
            EXPECT_NE(h.controls.Caption(C::HelpTextBox), kReadingAccountHelp) << guestFirst;
        }
        EXPECT_TRUE(h.system.files.empty()) << guestFirst;
        // Told twice, the answer is taken once.
        h.Set(C::GuestAccountBox, 0);
        h.system.TellEnded(kGuestQuery);
        EXPECT_EQ(h.Value(C::GuestAccountBox), 0) << guestFirst;
    }
}

// The help under the pointer follows the answer.
TEST(AccountAnswers, OneThatNeverComesLeavesItsBoxAsATimeoutDoes) {
    Window h;
    h.main.PointerOver(C::GuestAccountLabel);
    h.TimesOut(kGuestQuery);
    // Read as far as it wrote: seen empty twice, then the system, which cannot tell either.
    EXPECT_EQ(h.system.pauses, std::vector<std::int32_t>{250});
    EXPECT_FALSE(h.controls.Enabled(C::GuestAccountBox));
    EXPECT_EQ(h.Value(C::GuestAccountBox), 0);
    EXPECT_TRUE(h.state.unknownAccounts.count(C::GuestAccountBox));
    EXPECT_TRUE(h.controls.Caption(C::HelpTextBox).ends_with(kUnreadableAccountHelp));
    // No command started meanwhile.
    EXPECT_EQ(h.host.enableCalls.back(), true);
    EXPECT_EQ(*(h.host.enableCalls.end() - 2), false);
    EXPECT_TRUE(h.BeingRead(C::HelpAssistantBox));
    h.Ends(kHelpQuery);
    EXPECT_TRUE(h.controls.Enabled(C::HelpAssistantBox));
}

// Select all ticks the accounts only once their boxes hold their state: the help assistant,
// found active, is switched off; the guest, already inactive, is not touched.
TEST(AccountAnswers, ActingOnTheAccountsWaitsForTheirAnswersWithoutFreezing) {
    Window h;
    int messagesWhenWaiting = -1;
    h.system.duringWaits = [&] {
        // The window goes on answering: the pointer's help follows it, and the answers come.
        h.main.PointerOver(C::AdminSharesBox);
        messagesWhenWaiting = static_cast<int>(h.host.messages.size());
        h.Ends(kGuestQuery);
        h.running.clear();
    };
    h.main.Click(C::SelectAllAccountsBox);
    h.system.duringWaits = nullptr;
    EXPECT_EQ(messagesWhenWaiting, 0);
    EXPECT_EQ(h.controls.Caption(C::HelpHeadingLabel), L"Administrative");
    EXPECT_EQ(h.Verified(C::GuestAccountBox), 1);
    EXPECT_EQ(h.Verified(C::HelpAssistantBox), 0);
    EXPECT_EQ(h.Value(C::GuestAccountBox), 1);
    EXPECT_EQ(h.Value(C::HelpAssistantBox), 1);
    EXPECT_TRUE(h.host.pleaseWaitCalls.empty());
    h.system.started.clear();
    h.main.Click(C::ApplyAccountsButton);
    std::vector<std::wstring> switches;
    for (const std::wstring& line : h.system.commandLines()) {
        if (line.find(L"/active") != std::wstring::npos) {
            switches.push_back(line);
        }
    }
    EXPECT_EQ(switches, std::vector<std::wstring>{L"net user HelpAssistant /active:no"});
}

// A click that comes before the queries have told of their start has them taken, and waited for,
// there and then; their later notice changes nothing.
TEST(AccountAnswers, ActingBeforeTheQueriesHaveStartedTakesThemAndWaits) {
    Accounts h;
    h.system.startsWatched = true;
    ASSERT_TRUE(h.OpenWindow());
    ASSERT_TRUE(h.system.programs.empty());
    h.main.Click(C::SelectAllAccountsBox);
    EXPECT_EQ(h.system.programs.size(), 2u);
    EXPECT_EQ(h.Verified(C::GuestAccountBox), 1);
    EXPECT_EQ(h.Verified(C::HelpAssistantBox), 0);
    EXPECT_EQ(h.Value(C::HelpAssistantBox), 1);
    EXPECT_FALSE(h.system.startsTold);
}

// The apply of another group does not wait; the accounts' does, saying so once the wait is long,
// and an answer that never comes is left unread.
TEST(AccountAnswers, ALongWaitSaysWhyAndTheGroupIsAppliedAfterIt) {
    Window h;
    h.main.Click(C::AdminSharesBox);
    h.main.Click(C::ApplySharesButton);
    EXPECT_TRUE(h.host.pleaseWaitCalls.empty());
    EXPECT_TRUE(h.BeingRead(C::GuestAccountBox));
    h.main.Click(C::AnonymousAccessBox);
    h.running.erase(kHelpQuery);
    const std::uint32_t before = h.system.clock;
    h.main.Click(C::ApplyAccountsButton);
    EXPECT_EQ(h.host.pleaseWaitCalls, (std::vector<bool>{true, false}));
    EXPECT_GE(h.system.clock - before, kAccountQueryTimeoutMs);
    EXPECT_FALSE(h.controls.Enabled(C::GuestAccountBox));
    EXPECT_TRUE(h.state.unknownAccounts.count(C::GuestAccountBox));
    EXPECT_TRUE(h.controls.Enabled(C::HelpAssistantBox));
    EXPECT_EQ(h.Read(std::wstring(kLsa) + L"restrictanonymous"), L"2");
    EXPECT_EQ(h.Value(C::AnonymousAccessBox), 1);
}

TEST(AccountAnswers, ClosingAsksItsQuestionsOnlyOnceTheAnswersAreIn) {
    Window h;
    h.main.Click(C::AnonymousAccessBox);
    int messagesWhenWaiting = -1;
    h.system.duringWaits = [&] {
        messagesWhenWaiting = static_cast<int>(h.host.messages.size());
        h.running.clear();
    };
    h.host.answers = {IdNo};
    EXPECT_TRUE(h.main.Close(false));
    EXPECT_EQ(messagesWhenWaiting, 0);
    ASSERT_EQ(h.host.messages.size(), 1u);
    EXPECT_TRUE(h.host.messages[0].text.starts_with(L"At least one Account modification"));
    EXPECT_TRUE(h.controls.Enabled(C::GuestAccountBox));
    EXPECT_TRUE(h.controls.Enabled(C::HelpAssistantBox));
}

// The session's end holds nobody up: no question, no wait.
TEST(AccountAnswers, AnEndingSessionWaitsForNoAnswer) {
    Window h;
    bool waited = false;
    h.system.duringWaits = [&] { waited = true; };
    EXPECT_TRUE(h.main.Close(true));
    EXPECT_FALSE(waited);
    EXPECT_TRUE(h.host.messages.empty());
}

// Where nothing would tell of a query's end, start-up waits for it as before.
TEST(AccountAnswers, AQueryNothingWatchesIsAnsweredDuringStartUp) {
    Accounts h;
    h.system.processesWatched = false;
    ASSERT_TRUE(h.OpenWindow());
    EXPECT_EQ(h.system.programs.size(), 2u);
    EXPECT_TRUE(h.controls.Enabled(C::GuestAccountBox));
    EXPECT_TRUE(h.controls.Enabled(C::HelpAssistantBox));
    EXPECT_EQ(h.Value(C::GuestAccountBox), 1);
}

}  // namespace
}  // namespace tolvane::testing
