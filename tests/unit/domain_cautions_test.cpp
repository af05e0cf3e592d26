// Settings that break a Windows domain: one question in the window, nothing asked without it.
#include <gtest/gtest.h>

#include "app/CommandLine.h"
#include "app/Unattended.h"
#include "catalogue/DomainCautions.h"
#include "fakes/Harness.h"

namespace tolvane::testing {
namespace {

using C = ControlId;
constexpr C kTime = C::Port123Box;
constexpr C kSmb = C::Port445Box;

constexpr VersionInfo kController{true, 5, 2, 2, ProductDomainController, 1};
constexpr wchar_t kMember[] = L"This computer is a member of a domain.";
constexpr wchar_t kControllerAsked[] = L"This computer is a domain controller.";

struct Computer : Harness {
    Computer(VersionInfo version, std::optional<bool> joined, std::uint32_t timeStart = 2) {
        system.version = version;
        system.joined = joined;
        system.files[L"C:\\WINDOWS\\System32\\gpedit.msc"] = "";
        Install(L"W32Time", timeStart);
        Install(L"LmHosts", 2);
        Install(L"Messenger", 2);
        Install(L"RemoteRegistry", 2);
    }
};

TEST(DomainCautions, TheWindowAsksOnceOnADomainsMachineAndNoLeavesOnlyThoseBoxes) {
    constexpr VersionInfo kXp = FakeSystem::kXpSp2;
    struct Case {
        const char* what;
        VersionInfo version;
        std::optional<bool> joined;
        std::uint32_t timeStart;  // 4: Time 123 found in force, so that a click undoes it
        std::vector<C> clicked;
        bool allGroups;  // "Apply the changes" rather than the ports' Apply
        int answer;
        const wchar_t* asked;  // the question's first words; null when nothing is asked
        std::vector<C> cautioned;
    };
    const std::vector<C> clicked = {C::AdminSharesBox, C::AnonymousAccessBox, C::EveryoneRightsBox,
                                    kSmb, kTime};
    const std::vector<C> cautioned = {kTime, C::AnonymousAccessBox, C::AdminSharesBox, kSmb};
    const Case cases[] = {
        {"workgroup", kXp, false, 2, {kTime, C::Port1027Box}, false, IdNo, nullptr, {}},
        {"member, No", kXp, true, 2, {kTime, C::Port1027Box}, false, IdNo, kMember, {kTime}},
        {"member, Yes", kXp, true, 2, {kTime}, false, IdYes, kMember, {kTime}},
        {"unknown", kXp, {}, 2, {kSmb}, false, IdNo, L"Tolvane cannot tell", {kSmb}},
        // A controller: every group in one question.
        {"controller", kController, false, 2, clicked, true, IdNo, kControllerAsked, cautioned},
        {"an undo is never asked", kController, true, 4, {kTime}, false, IdNo, nullptr, {}},
    };
    for (const Case& c : cases) {
        Computer h(c.version, c.joined, c.timeStart);
        h.main.ReadCommandLine(L"-noaccount");
        ASSERT_TRUE(h.main.LoadFromMachine());
        std::vector<int> wanted;
        for (C box : c.clicked) {
            const bool refused =
                c.answer == IdNo && std::count(c.cautioned.begin(), c.cautioned.end(), box) > 0;
            wanted.push_back(h.Value(box) == 1 || refused ? 0 : 1);
            h.main.Click(box);
        }
        h.host.answers.push_back(c.answer);
        if (c.allGroups) {
            h.main.Menu(MenuId::ApplyAll);
        } else {
            h.main.Click(C::ApplyServicesButton);
        }
        ASSERT_EQ(h.host.messages.size(), c.asked ? 1u : 0u) << c.what;
        if (c.asked) {
            const FakeHost::Message& asked = h.host.messages.front();
            EXPECT_TRUE(asked.text.starts_with(c.asked)) << c.what;
            EXPECT_EQ(asked.style, MbYesNo | MbIconExclamation | MbDefButton2);
            std::size_t listed = 0;
            for (std::size_t at = 0;
                 (at = asked.text.find(L"\r\n\r\n\"", at)) != std::wstring::npos; ++at) {
                ++listed;
            }
            EXPECT_EQ(listed, c.cautioned.size()) << c.what;
            for (C box : c.cautioned) {
                EXPECT_NE(asked.text.find(DomainCaution(box)), std::wstring::npos) << c.what;
            }
        }
        for (std::size_t i = 0; i < c.clicked.size(); ++i) {
            EXPECT_EQ(h.Value(c.clicked[i]), wanted[i]) << c.what << " " << i;
        }
    }
}

TEST(DomainCautions, ClosingAsksBeforeApplyingToo) {
    Computer h(FakeSystem::kXpSp2, true);
    h.main.ReadCommandLine(L"-noaccount");
    ASSERT_TRUE(h.main.LoadFromMachine());
    h.main.Click(C::Port123Box);
    h.host.answers = {IdYes, IdNo, IdNo};
    h.main.Close(false);
    ASSERT_GE(h.host.messages.size(), 2u);
    EXPECT_TRUE(h.host.messages[1].text.starts_with(kMember));
    EXPECT_EQ(h.Read(std::wstring(kServices) + L"W32Time\\Start"), L"2");
}

// A controller keeps what it needs; every machine of a domain is told the consequences.
TEST(DomainCautions, AnUnattendedApplyLeavesAControllersNeedsAloneAndNotesTheConsequences) {
    const std::string leftAlone =
        "\tin force: no\tasked: yes\tleft alone: a domain controller needs it; apply it from the "
        "window\r\n";
    const std::string timeNoted =
        "Time 123\tin force: yes\tasked: yes\tapplied\tnote: caution in a domain: "
        "without the time service";
    const std::string registryNoted =
        "Remote registry access\tin force: yes\tasked: yes\tapplied\tnote: caution in a domain: "
        "remote";
    struct Case {
        const char* what;
        VersionInfo version;
        bool joined;
        std::vector<std::string> lines;  // parts of the report, from a caption on
        bool cautioned;                  // any caution at all
    };
    const std::vector<std::string> workgroup = {
        "Time 123\tin force: yes\tasked: yes\tapplied\r\n",
        "Port 445 TCP\tin force: yes\tasked: yes\tapplied\tnote: takes effect after a restart; in "
        "force, but "
        "port 445 still listens\r\n"};
    const std::vector<std::string> member = {
        timeNoted, registryNoted,
        "start-up scripts on shares; in force, but port 445 still listens\r\n"};
    const std::vector<std::string> controller = {
        "Time 123" + leftAlone, "Anonymous access" + leftAlone, "Port 445 TCP" + leftAlone,
        "Ports 137, 138 UDP et 139 TCP" + leftAlone, registryNoted};
    const Case cases[] = {
        {"a workgroup", FakeSystem::kXpSp2, false, workgroup, false},
        {"a member", FakeSystem::kXpSp2, true, member, true},
        {"a controller", kController, false, controller, true},
    };
    for (const Case& c : cases) {
        Computer h(c.version, c.joined);
        h.system.ports = {{PortProtocol::Tcp, {0, 0, 0, 0}, 445, 4, L"System"}};
        // Left alone is not counted, nor a port still listening.
        EXPECT_EQ(RunUnattended(ParseCommandLine(L"/apply:all -noaccount"), h.registry, h.system,
                                h.accounts),
                  kExitRestartNeeded)
            << c.what;
        const std::string report = h.system.files[L"C:\\Tools\\Tolvane-PC01.txt"];
        for (const std::string& line : c.lines) {
            EXPECT_NE(report.find(line), std::string::npos) << c.what << ": " << line;
        }
        EXPECT_EQ(report.find("caution") != std::string::npos, c.cautioned) << c.what;
        EXPECT_TRUE(h.host.messages.empty()) << c.what;
        // An audit counts as the apply did: what a controller needs is not missing.
        EXPECT_EQ(
            RunUnattended(ParseCommandLine(L"/audit -noaccount"), h.registry, h.system, h.accounts),
            0)
            << c.what;
    }
}

}  // namespace
}  // namespace tolvane::testing
