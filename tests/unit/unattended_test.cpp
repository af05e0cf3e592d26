#include <gtest/gtest.h>

#include "app/Unattended.h"
#include "fakes/Harness.h"

namespace tolvane::testing {
namespace {

constexpr wchar_t kReport[] = L"C:\\Tools\\Tolvane-report.txt";
constexpr wchar_t kAutoShareWks[] =
    L"SYSTEM\\CurrentControlSet\\Services\\LanmanServer\\Parameters\\AutoshareWks";
constexpr wchar_t kMarker[] = L"SOFTWARE\\Microsoft\\Rpc\\DCOM ProtocolsKX";

TEST(ParseUnattended, TakesOnlyItsExactWords) {
    struct Case {
        const wchar_t* line;
        UnattendedMode mode;
        unsigned groups;
        bool bad;
        const wchar_t* report;
    };
    const Case cases[] = {
        {L"", UnattendedMode::Window, 0, false, L""},
        {L"-noaccount /apply unknown", UnattendedMode::Window, 0, false, L""},
        {L"/Audit /APPLY:all", UnattendedMode::Window, 0, false, L""},
        {L"/audit", UnattendedMode::Audit, kAllGroups, false, L""},
        {L"-noaccount  /apply:shares,services", UnattendedMode::Apply, 5, false, L""},
        {L"/restore:accounts /report:D:\\out.csv", UnattendedMode::Restore, 2, false,
         L"D:\\out.csv"},
        {L"/apply:all,shares", UnattendedMode::Apply, kAllGroups, false, L""},
        {L"/apply:printers", UnattendedMode::Apply, 0, true, L""},
        {L"/apply:", UnattendedMode::Apply, 0, true, L""},
        {L"/apply:shares,,accounts", UnattendedMode::Apply, 1, true, L""},
        {L"/audit /restore:all", UnattendedMode::Restore, kAllGroups, true, L""},
        {L"/audit /report:", UnattendedMode::Audit, kAllGroups, true, L""},
        {L"/apply:all /?", UnattendedMode::Usage, 0, false, L""},
    };
    for (const Case& c : cases) {
        const UnattendedRequest request = ParseUnattended(c.line);
        EXPECT_EQ(request.mode, c.mode) << c.line;
        EXPECT_EQ(request.groups, c.groups) << c.line;
        EXPECT_EQ(request.badValue, c.bad) << c.line;
        EXPECT_EQ(request.reportPath, c.report) << c.line;
        EXPECT_EQ(request.Quiet(),
                  c.bad || (c.mode != UnattendedMode::Window && c.mode != UnattendedMode::Usage))
            << c.line;
    }
}

// An XP machine with its DNS client, time and remote registry services, and room for a report.
struct Quiet : Harness {
    Quiet() {
        for (const wchar_t* service : {L"Dnscache", L"W32Time", L"RemoteRegistry"}) {
            Install(service, 3);
        }
        registry.SetDword(kAutoShareWks, 1);
    }
    int Run(const std::wstring& line) {
        return RunUnattended(ParseUnattended(line), line, registry, system, accounts);
    }
    std::string Report() const {
        const auto file = system.files.find(kReport);
        return file == system.files.end() ? "" : file->second;
    }
    bool Says(const std::string& text) const { return Report().find(text) != std::string::npos; }
};

TEST(RunUnattended, AuditCountsApplyBringsInForceRestoreGivesBack) {
    Quiet h;
    const auto before = h.registry.keys;
    // Available without the probe: 4 shares (simple sharing needs XP Professional), 3 account
    // settings and the boxes of the 2 installed services and SMB; port 135 never counts.
    EXPECT_EQ(h.Run(L"/audit -noaccount"), 10);
    EXPECT_EQ(h.registry.keys, before) << "an audit writes nothing";
    EXPECT_TRUE(h.Says("Shares\tAdministrative\tin force: no\tread"));
    EXPECT_TRUE(h.Says("Accounts\tGuest account\tin force: no\tunavailable"));

    EXPECT_EQ(h.Run(L"/apply:all -noaccount"), 0);
    EXPECT_TRUE(h.Says("Shares\tAdministrative\tin force: yes\tapplied"));
    EXPECT_TRUE(h.Says("left alone: closing port 135 always asks a person"));
    EXPECT_TRUE(h.host.messages.empty());
    EXPECT_EQ(h.Read(kMarker), L"(missing)");
    EXPECT_EQ(h.Run(L"/audit -noaccount"), 0);

    EXPECT_EQ(h.Run(L"/apply:shares -noaccount"), 0);
    EXPECT_TRUE(h.Says("Shares\tAdministrative\tin force: yes\talready in force"));

    EXPECT_EQ(h.Run(L"/restore:all -noaccount"), 0);
    EXPECT_TRUE(h.Says("Shares\tAdministrative\tin force: no\trestored"));
    EXPECT_EQ(h.registry.keys, before);
}

TEST(RunUnattended, TheReportEndsWithThePortsStillListening) {
    Quiet h;
    h.system.ports = {{PortProtocol::Udp, {0, 0, 0, 0}, 1900, std::nullopt, L""}};
    h.Run(L"/audit -noaccount");
    const std::string report = h.Report();
    const auto heading = report.find("Listening ports");
    ASSERT_NE(heading, std::string::npos) << report;
    EXPECT_NE(report.find("1900", heading), std::string::npos);
    EXPECT_NE(report.find("SSPD 1900", heading), std::string::npos) << report;
}

TEST(RunUnattended, RestoreLeavesWhatItDidNotRecordAndApplyReportsRefusals) {
    Quiet h;
    h.registry.SetDword(kAutoShareWks, 0);  // hardened by other means: no record
    EXPECT_EQ(h.Run(L"/restore:shares -noaccount"), 0);
    EXPECT_EQ(h.Read(kAutoShareWks), L"0");
    EXPECT_TRUE(h.Says("Shares\tAdministrative\tin force: yes\tnothing recorded"));

    h.registry.DenyWrites(L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Network");
    EXPECT_EQ(h.Run(L"/apply:shares -noaccount /report:C:\\r.csv"), kExitNotAdministrator);
    const std::string csv = h.system.files.at(L"C:\\r.csv");
    EXPECT_TRUE(csv.starts_with("group,setting,in force,done,error\r\n"));
    EXPECT_NE(csv.find("Shares,Shared folders,no,refused,system error 5"), std::string::npos)
        << csv;
}

TEST(RunUnattended, ExitCodesOfTheErrorsOfTheirOwn) {
    Quiet bad;
    EXPECT_EQ(bad.Run(L"/apply:everything"), kExitBadValue);
    EXPECT_TRUE(bad.Says("/restore:GROUPS"));
    EXPECT_EQ(bad.registry.writes, 0);

    Quiet vista;
    vista.system.version = {true, 6, 0, 2};
    EXPECT_EQ(vista.Run(L"/audit"), kExitUnsupported);
    EXPECT_TRUE(vista.Says("This software only works"));
    EXPECT_TRUE(vista.host.messages.empty()) << "nothing waits for a person";
}

}  // namespace
}  // namespace tolvane::testing
