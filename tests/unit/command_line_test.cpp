#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>

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

// The settings of some groups, and of some settings by their keys, built from the table itself.
SettingSet Settings(GroupSet groups, std::initializer_list<const wchar_t*> keys = {}) {
    SettingSet set;
    const std::span<const SettingBox> settings = SettingBoxes();
    for (std::size_t i = 0; i < settings.size(); ++i) {
        set.set(i, Contains(groups, settings[i].group) ||
                       std::any_of(keys.begin(), keys.end(), [&](const wchar_t* key) {
                           return std::wstring(key) == settings[i].reportKey;
                       }));
    }
    return set;
}

constexpr GroupSet kShares{1}, kAccounts{2}, kServices{4};

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
        {L"applyall x:y audits reports", UnattendedMode::Window, 0, L"", false},
    };
    for (const Case& c : cases) {
        const UnattendedRequest request = ParseCommandLine(c.line);
        EXPECT_EQ(request.error, L"") << c.line;
        EXPECT_EQ(request.mode, c.mode) << c.line;
        EXPECT_EQ(request.choice.asked, Settings(c.groups)) << c.line;
        EXPECT_EQ(request.reportPath, c.report) << c.line;
        EXPECT_EQ(request.skipAccountProbe, c.skipAccountProbe) << c.line;
        EXPECT_EQ(request.RunsWithoutWindow(),
                  c.mode != UnattendedMode::Window && c.mode != UnattendedMode::Usage)
            << c.line;
    }
}

// Each of these must end with 102 and the usage, never with a window that nobody sees; where the
// reason must name the word, the part it must hold.
TEST(ParseCommandLine, RefusesWhatItCannotCarryOut) {
    const std::wstring past255 = [] {
        std::wstring words;
        for (int i = 0; i < 255; ++i) {
            words += L"w ";
        }
        return words;
    }();
    struct Case {
        std::wstring line;
        const wchar_t* says = L"";
    };
    const Case cases[] = {
        {L"/audti"},
        {L"/apply"},
        {L"/apply:printers"},
        {L"/restore:"},
        {L"/audit /restore:all"},
        {L"/apply:all /restore:shares"},
        {L"/audit /report"},
        {L"/audit /report:"},
        {L"/audit /report:a.txt /report:b.txt"},
        {L"/report:a.txt"},
        {L"/noaccount"},
        {L"-NOACCOUNT"},
        {L"-x /audit"},
        // A task without its slash: a typo in a script, which would otherwise get a window.
        {L"audit"},
        {L"AUDIT -noaccount"},
        {L"apply:all"},
        {L"Restore:shares"},
        {L"/audit report:x.txt"},
        {L"audit:x"},
        {L"apply", L"The word apply names a task without its slash: /apply:NAMES"},
        {L"Restore -noaccount", L"The word Restore names a task without its slash: /Restore:NAMES"},
        {L"report", L"The word report names a task without its slash: /report:PATH"},
        // A switch Windows would not hand over must not be lost, the usage still wins.
        {past255 + L"/apply:all"},
        {past255 + L"-noaccount"},
        {past255 + L"restore:all"},
        {L"/apply:shares,,accounts", L"/apply:shares,,accounts holds an empty item"},
        {L"/apply:shares,", L"/apply:shares, holds an empty item"},
        {L"/restore:,shares", L"/restore:,shares holds an empty item"},
        {L"/apply:shares,-", L"/apply:shares,- holds an empty item"},
        {L"\"/apply:shares, \"", L"holds an empty item"},
        {L"/audit:shares.bogus", L"/audit:shares.bogus holds the name shares.bogus"},
        {L"/apply:all,-printers", L"the name -printers"},
        {L"/apply:shares -noaccount /apply:-shares", L"/apply:-shares leaves no setting"},
        {L"/audit:all,-all", L"/audit:all,-all leaves no setting"},
        {L"/audit:", L"/audit: needs its list"},
    };
    for (const Case& c : cases) {
        const UnattendedRequest request = ParseCommandLine(c.line);
        EXPECT_NE(request.error, L"") << c.line;
        EXPECT_NE(request.error.find(c.says), std::wstring::npos)
            << c.line << ": " << request.error;
        EXPECT_TRUE(request.RunsWithoutWindow()) << c.line;
    }
    EXPECT_EQ(ParseCommandLine(past255 + L"more words").error, L"");
    EXPECT_EQ(ParseCommandLine(past255 + L"/?").mode, UnattendedMode::Usage);
}

TEST(ParseCommandLine, ReadsAListOfGroupsAndSettingsLeftToRight) {
    struct Case {
        const wchar_t* line;
        SettingSet asked;
        SettingSet implied;
        SettingSet byKey;
        bool namesSetting;
        const wchar_t* task;
    };
    const SettingSet none;
    const SettingSet all = Settings(kAllGroups);
    const SettingSet time = Settings(0, {L"services.time"});
    const SettingSet guest = Settings(0, {L"accounts.guest"});
    const SettingSet upnp = Settings(0, {L"services.upnp"});
    const SettingSet ssdp = Settings(0, {L"services.ssdp"});
    const Case cases[] = {
        {L"/audit", all, none, none, false, L"audit"},
        {L"/audit:all", all, none, none, false, L"audit:all"},
        {L"/audit:accounts.guest", guest, none, guest, true, L"audit:accounts.guest"},
        {L"/apply:all,-services.time,-accounts.anonymous",
         all & ~time & ~Settings(0, {L"accounts.anonymous"}), none, none, true,
         L"apply:all,-services.time,-accounts.anonymous"},
        // A name taken out before it is added comes back; one that is not there does nothing.
        {L"/apply:-services.time,services", Settings(kServices), none, none, true,
         L"apply:-services.time,services"},
        {L"/apply:shares,-services.time", Settings(kShares), none, none, true,
         L"apply:shares,-services.time"},
        {L"/apply:services.time,shares,-shares", time, none, time, true,
         L"apply:services.time,shares,-shares"},
        // Nothing left: refused.
        {L"/apply:accounts.guest,-accounts", none, none, none, true, nullptr},
        {L"/Apply:SHARES,Accounts.Guest", Settings(kShares) | guest, none, guest, true,
         L"apply:SHARES,Accounts.Guest"},
        {L"\"/restore: shares ,\taccounts.guest \"", Settings(kShares) | guest, none, guest, true,
         L"restore: shares ,\taccounts.guest "},
        {L"/apply:shares /apply:-shares.admin,services.time",
         (Settings(kShares) & ~Settings(0, {L"shares.admin"})) | time, none, time, true,
         L"apply:shares,-shares.admin,services.time"},
        {L"/audit /audit:-shares", Settings(kAccounts | kServices), none, none, false,
         L"audit:all,-shares"},
        // UPnP needs SSDP: an apply of SSDP takes UPnP, a restore of UPnP brings SSDP back.
        {L"/apply:services.ssdp", ssdp | upnp, upnp, ssdp, true, L"apply:services.ssdp"},
        {L"/apply:services.ssdp,-services.upnp", ssdp | upnp, upnp, ssdp, true, nullptr},
        {L"/apply:services.upnp", upnp, none, upnp, true, nullptr},
        {L"/restore:services.upnp", ssdp | upnp, ssdp, upnp, true, nullptr},
        {L"/restore:services.ssdp", ssdp, none, ssdp, true, nullptr},
        {L"/audit:services.ssdp", ssdp, none, ssdp, true, nullptr},
        {L"/apply:services.ssdp,services.upnp", ssdp | upnp, none, ssdp | upnp, true, nullptr},
    };
    for (const Case& c : cases) {
        const UnattendedRequest request = ParseCommandLine(c.line);
        if (c.asked.none()) {
            EXPECT_NE(request.error, L"") << c.line;
            continue;
        }
        EXPECT_EQ(request.error, L"") << c.line;
        EXPECT_EQ(request.choice.asked, c.asked) << c.line;
        EXPECT_EQ(request.choice.implied, c.implied) << c.line;
        EXPECT_EQ(request.choice.byKey, c.byKey) << c.line;
        EXPECT_EQ(request.choice.namesSetting, c.namesSetting) << c.line;
        if (c.task) {
            EXPECT_EQ(TaskText(request), c.task) << c.line;
        }
    }
}

// A policy file's names, each "name@line", or the fault "!line".
std::vector<std::string> Names(const std::string& bytes) {
    std::wstring fault;
    int line = 0;
    const auto names = PolicyNames(bytes, fault, line);
    if (!names) {
        return {"!" + std::to_string(line)};
    }
    std::vector<std::string> found;
    for (const PolicyName& name : *names) {
        found.push_back(std::string(name.name.begin(), name.name.end()) + "@" +
                        std::to_string(name.line));
    }
    return found;
}

TEST(PolicyNames, ReadsNamesAndLinesWhateverTheEncodingAndLineEnds) {
    using std::string_literals::operator""s;
    struct Case {
        std::string bytes;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {"", {}},
        {"all", {"all@1"}},
        {"\xEF\xBB\xBF"
         "all,-services.time",
         {"all@1", "-services.time@1"}},
        {"shares\r\naccounts\nservices\rall", {"shares@1", "accounts@2", "services@3", "all@4"}},
        {"\r\n\r\n  shares ,\taccounts\n\n", {"shares@3", "accounts@3"}},
        {"shares,\naccounts", {"shares@1", "accounts@2"}},
        // Comments are never decoded: an ANSI comment is harmless, and ends with its line.
        {"; Membres du domaine \xE9t\xE9 2026\r\nall ; sauf l'heure \xE0 jour\r\n# \xFF\xFE\n"
         "-services.time#x",
         {"all@2", "-services.time@4"}},
        {"all;,,\n", {"all@1"}},
        {"\xFF\xFE"
         "a\0l\0l\0\r\0\n\0-\0s\0h\0a\0r\0e\0s\0;\0\xE9\0"s,
         {"all@1", "-shares@2"}},
        // UTF-16 without its mark is refused, not read as garbage.
        {"a\0l\0l\0"s, {"!1"}},
        {"\xFE\xFF\0a\0l\0l"s, {"!1"}},
        {"shares,,accounts", {"!1"}},
        {"shares\n,\n,accounts", {"!3"}},
        {",shares", {"!1"}},
        {"shares,\n\n; the end\n", {"!1"}},
        {"shares\n@other.txt", {"!2"}},
        {"shares\n\nserv\xC3\xA9ices", {"!3"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Names(c.bytes), c.names) << c.bytes;
    }
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
        int asked = 0;
        RefuseWindowNobodySees(request, [&] {
            ++asked;
            return c.someoneCanSee;
        });
        EXPECT_EQ(request.error != before, c.refused) << c.line;
        // Only a start that would make the window asks.
        EXPECT_EQ(asked, request.mode == UnattendedMode::Window && before.empty() ? 1 : 0)
            << c.line;
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

// The policies the fleet kit ships are read as the program reads them.
TEST(KitPolicies, ReadAsTheProgramReadsThemAndTheDomainMemberKeepsWhatADomainNeeds) {
    const PolicyReader read = [](const std::wstring& path) {
        std::ifstream file(std::string(path.begin(), path.end()), std::ios::binary);
        return PolicyRead{std::string(std::istreambuf_iterator<char>(file), {}), L""};
    };
    const auto choose = [&](const char* name) {
        const std::string path = std::string(TOLVANE_KIT_DIR) + "/policies/" + name;
        return ChooseSettings({{L"/apply:@x", L"@" + std::wstring(path.begin(), path.end())}},
                              Direction::Apply, &read);
    };
    const SettingChoice standalone = choose("standalone.txt");
    EXPECT_EQ(standalone.error, L"");
    EXPECT_TRUE(standalone.asked.all());
    const SettingChoice member = choose("domain-member.txt");
    EXPECT_EQ(member.error, L"");
    const std::span<const SettingBox> settings = SettingBoxes();
    for (std::size_t i = 0; i < settings.size(); ++i) {
        const std::wstring key = settings[i].reportKey;
        const bool kept = key == L"services.time" || key == L"services.smb" ||
                          key == L"services.netbios" || key == L"shares.admin" ||
                          key == L"accounts.anonymous";
        if (kept) {
            EXPECT_FALSE(member.asked.test(i)) << std::string(key.begin(), key.end());
        }
    }
    EXPECT_TRUE(member.asked.any());
}

}  // namespace
}  // namespace tolvane::testing
