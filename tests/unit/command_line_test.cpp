#include <gtest/gtest.h>

#include "app/CommandLine.h"
#include "fakes/Harness.h"

namespace tolvane::testing {
namespace {

TEST(SplitArguments, SplitsAsWindowsDoes) {
    struct Case {
        const wchar_t* line;
        std::vector<std::wstring> words;
    };
    const Case cases[] = {
        {L"", {}},
        {L" \t  ", {}},
        {L"  -noaccount \t second", {L"-noaccount", L"second"}},
        {L"/report:\"C:\\Documents and Settings\\x.csv\"",
         {L"/report:C:\\Documents and Settings\\x.csv"}},
        {L"\"/report:C:\\a b\\r.txt\" /audit", {L"/report:C:\\a b\\r.txt", L"/audit"}},
        {L"a\"b c\"d e", {L"ab cd", L"e"}},
        {L"\"\" x", {L"", L"x"}},
        // Backslashes count only before a quote: half stay, an odd one out escapes it.
        {L"C:\\dir\\ x", {L"C:\\dir\\", L"x"}},
        {L"a\\\\\"b c\"", {L"a\\b c"}},
        {L"a\\\"b c", {L"a\"b", L"c"}},
        {L"\"a\\\"b\"", {L"a\"b"}},
        {L"\"C:\\dir\\\\\" x", {L"C:\\dir\\", L"x"}},
        // Two quotes inside quotes: a quote, and the quotes end.
        {L"\"a\"\"b c\"", {L"a\"b", L"c"}},
        {L"\"unclosed blank", {L"unclosed blank"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SplitArguments(c.line), c.words) << c.line;
    }
}

TEST(SplitArguments, IgnoresWordsBeyondThe255th) {
    std::wstring text;
    for (int i = 0; i < 300; ++i) {
        text += L"w" + std::to_wstring(i) + L" ";
    }
    const std::vector<std::wstring> words = SplitArguments(text);
    ASSERT_EQ(words.size(), 255u);
    EXPECT_EQ(words.back(), L"w254");
}

TEST(ParseCommandLine, TakesSwitchesAsAdministratorsWriteThem) {
    struct Case {
        const wchar_t* line;
        UnattendedMode mode;
        GroupSet groups;
        const wchar_t* report;
        bool skipAccountProbe;
    };
    const Case cases[] = {
        {L"", UnattendedMode::Window, 0, L"", false},
        {L"-noaccount unknown words", UnattendedMode::Window, 0, L"", true},
        {L"\"-noaccount\"", UnattendedMode::Window, 0, L"", true},
        {L"/audit", UnattendedMode::Audit, kAllGroups, L"", false},
        {L"/AUDIT", UnattendedMode::Audit, kAllGroups, L"", false},
        {L"-audit -noaccount", UnattendedMode::Audit, kAllGroups, L"", true},
        {L"/audit /Audit", UnattendedMode::Audit, kAllGroups, L"", false},
        {L"/Apply:Shares,SERVICES", UnattendedMode::Apply, 5, L"", false},
        {L"/apply:shares /apply:accounts", UnattendedMode::Apply, 3, L"", false},
        {L"/apply:all,shares", UnattendedMode::Apply, kAllGroups, L"", false},
        {L"-restore:accounts /REPORT:D:\\out.csv", UnattendedMode::Restore, 2, L"D:\\out.csv",
         false},
        {L"/audit \"/report:C:\\a b\\%COMPUTERNAME%.txt\"", UnattendedMode::Audit, kAllGroups,
         L"C:\\a b\\%COMPUTERNAME%.txt", false},
        {L"/apply:all /?", UnattendedMode::Usage, 0, L"", false},
        {L"-? /bogus", UnattendedMode::Usage, 0, L"", false},
        // The usage wins wherever it stands, over every error.
        {L"/bogus /?", UnattendedMode::Usage, 0, L"", false},
        {L"/audit /restore:all apply:all -?", UnattendedMode::Usage, 0, L"", false},
        // Words that name no task are left alone.
        {L"apply applyall x:y audits", UnattendedMode::Window, 0, L"", false},
    };
    for (const Case& c : cases) {
        const UnattendedRequest request = ParseCommandLine(c.line);
        EXPECT_EQ(request.error, L"") << c.line;
        EXPECT_EQ(request.mode, c.mode) << c.line;
        EXPECT_EQ(request.groups, c.groups) << c.line;
        EXPECT_EQ(request.reportPath, c.report) << c.line;
        EXPECT_EQ(request.skipAccountProbe, c.skipAccountProbe) << c.line;
        EXPECT_EQ(request.RunsWithoutWindow(),
                  c.mode != UnattendedMode::Window && c.mode != UnattendedMode::Usage)
            << c.line;
    }
}

// Each of these must end with 102 and the usage, never with a window that nobody sees.
TEST(ParseCommandLine, RefusesWhatItCannotCarryOut) {
    for (const wchar_t* line :
         {L"/audti", L"/apply", L"/apply:", L"/apply:printers", L"/apply:shares,,accounts",
          L"/restore:", L"/audit /restore:all", L"/apply:all /restore:shares", L"/audit:all",
          L"/audit /report", L"/audit /report:", L"/audit /report:a.txt /report:b.txt",
          L"/report:a.txt", L"/noaccount", L"-NOACCOUNT", L"-x /audit",
          // A task without its slash: a typo in a script, which would otherwise get a window.
          L"audit", L"AUDIT -noaccount", L"apply:all", L"Restore:shares", L"/audit report:x.txt",
          L"audit:x"}) {
        const UnattendedRequest request = ParseCommandLine(line);
        EXPECT_NE(request.error, L"") << line;
        EXPECT_TRUE(request.RunsWithoutWindow()) << line;
    }
}

TEST(ParseCommandLine, ASwitchBeyondThe255thWordIsAnErrorNotLost) {
    std::wstring words;
    for (int i = 0; i < 255; ++i) {
        words += L"w ";
    }
    EXPECT_EQ(ParseCommandLine(words + L"more words").error, L"");
    for (const wchar_t* last : {L"/apply:all", L"-noaccount", L"restore:all"}) {
        const UnattendedRequest request = ParseCommandLine(words + last);
        EXPECT_NE(request.error, L"") << last;
        EXPECT_TRUE(request.RunsWithoutWindow()) << last;
    }
    EXPECT_EQ(ParseCommandLine(words + L"/?").mode, UnattendedMode::Usage);
}

TEST(RefuseWindowNobodySees, OnlyAWindowStartNobodyCanSeeEndsWithTheUsage) {
    struct Case {
        const wchar_t* line;
        bool someoneCanSee;
        bool refused;
    };
    const Case cases[] = {
        {L"", true, false},           {L"-noaccount", true, false}, {L"", false, true},
        {L"-noaccount", false, true}, {L"/audit", false, false},    {L"/?", false, false},
        {L"/apply:x", false, false},  // already an error of its own
    };
    for (const Case& c : cases) {
        UnattendedRequest request = ParseCommandLine(c.line);
        const std::wstring before = request.error;
        RefuseWindowNobodySees(request, c.someoneCanSee);
        EXPECT_EQ(request.error != before, c.refused) << c.line;
        if (c.refused) {
            EXPECT_TRUE(request.RunsWithoutWindow()) << c.line;
        }
    }
}

TEST(ExpandVariables, ExpandsWhatIsSetAndLeavesTheRest) {
    const auto lookup = [](const std::wstring& name) -> std::optional<std::wstring> {
        if (name == L"COMPUTERNAME") {
            return L"PC01";
        }
        if (name == L"EMPTY") {
            return L"";
        }
        return std::nullopt;
    };
    struct Case {
        const wchar_t* text;
        const wchar_t* expanded;
    };
    const Case cases[] = {
        {L"\\\\srv\\r\\%COMPUTERNAME%.csv", L"\\\\srv\\r\\PC01.csv"},
        {L"%UNSET%\\%COMPUTERNAME%", L"%UNSET%\\PC01"},
        {L"%UNSET%COMPUTERNAME%", L"%UNSETPC01"},
        {L"a%EMPTY%b", L"ab"},
        {L"100%", L"100%"},
        {L"%%", L"%%"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ExpandVariables(c.text, lookup), c.expanded) << c.text;
    }
}

TEST(CommandLine, TheWindowTakesOnlyItsOwnSwitch) {
    struct Case {
        const wchar_t* commandLine;
        bool skipAccountProbe;
    };
    for (const Case& c :
         {Case{L"", false}, Case{L"x  -noaccount  y", true}, Case{L"\"-noaccount\"", true},
          Case{L"-NOACCOUNT", false}, Case{L"/noaccount", false}, Case{L"-noaccounts", false}}) {
        Harness h;
        h.main.ReadCommandLine(c.commandLine);
        EXPECT_EQ(h.state.skipAccountProbe, c.skipAccountProbe) << c.commandLine;
    }
}

}  // namespace
}  // namespace tolvane::testing
