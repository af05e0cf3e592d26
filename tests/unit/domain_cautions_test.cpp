// Settings that break a Windows domain: asked once in the window on a domain's machine.
#include <gtest/gtest.h>

#include "app/CommandLine.h"
#include "app/Unattended.h"
#include "catalogue/DomainCautions.h"
#include "fakes/Harness.h"

namespace tolvane::testing {
namespace {

using C = ControlId;

constexpr VersionInfo kController{true, 5, 2, 2, ProductDomainController, 1};

struct Window : Harness {
    Window(VersionInfo version, std::optional<bool> joined) {
        system.version = version;
        system.joined = joined;
        system.files[L"C:\\WINDOWS\\System32\\gpedit.msc"] = "";
        for (const wchar_t* service : {L"W32Time", L"Messenger", L"RemoteRegistry"}) {
            Install(service, 2);
        }
        main.Form_Initialize(L"-noaccount");
        EXPECT_TRUE(main.Form_Load());
    }
};

TEST(DomainCautions, TheWindowAsksOnceOnADomainsMachineAndNoLeavesOnlyThoseBoxes) {
    struct Case {
        const char* what;
        VersionInfo version;
        std::optional<bool> joined;
        std::vector<C> ticked;
        bool allGroups;  // "Apply the changes" rather than the ports' Apply
        int answer;
        const wchar_t* asked;  // the question's first sentence; null when nothing is asked
        std::vector<C> cautioned;
        std::vector<C> applied;
    };
    const Case cases[] = {
        {"a workgroup",
         FakeSystem::kXpSp2,
         false,
         {C::Port123, C::Port1027},
         false,
         IdNo,
         nullptr,
         {},
         {C::Port123, C::Port1027}},
        {"a member, No",
         FakeSystem::kXpSp2,
         true,
         {C::Port123, C::Port1027},
         false,
         IdNo,
         L"This computer is a member of a domain.",
         {C::Port123},
         {C::Port1027}},
        {"a member, Yes",
         FakeSystem::kXpSp2,
         true,
         {C::Port123, C::Port1027},
         false,
         IdYes,
         L"This computer is a member of a domain.",
         {C::Port123},
         {C::Port123, C::Port1027}},
        {"the system cannot tell",
         FakeSystem::kXpSp2,
         std::nullopt,
         {C::Port445},
         false,
         IdNo,
         L"This computer is a member of a domain.",
         {C::Port445},
         {}},
        {"a controller, every group in one question",
         kController,
         false,
         {C::AdminShare, C::Anonyme, C::EveryOne, C::Port445, C::Port123},
         true,
         IdNo,
         L"This computer is a domain controller.",
         {C::Port123, C::Anonyme, C::AdminShare, C::Port445},
         {C::EveryOne}},
        {"nothing with a consequence",
         kController,
         true,
         {C::Port1027, C::EveryOne},
         true,
         IdNo,
         nullptr,
         {},
         {C::Port1027, C::EveryOne}},
    };
    for (const Case& c : cases) {
        Window h(c.version, c.joined);
        for (C box : c.ticked) {
            ASSERT_EQ(h.Value(box), 0) << c.what;
            h.main.Click(box);
        }
        h.host.answers.push_back(c.answer);
        if (c.allGroups) {
            h.main.Menu(MenuId::Sauvegarder);
        } else {
            h.main.Click(C::PortsAppliquer);
        }
        EXPECT_EQ(h.host.messages.size(), c.asked ? 1u : 0u) << c.what;
        if (c.asked && !h.host.messages.empty()) {
            const FakeHost::Message& asked = h.host.messages.front();
            EXPECT_TRUE(asked.text.starts_with(c.asked)) << c.what;
            EXPECT_EQ(asked.style, MbYesNo | MbIconExclamation | MbDefButton2) << c.what;
            for (C box : c.cautioned) {
                EXPECT_NE(asked.text.find(DomainCaution(box)), std::wstring::npos) << c.what;
            }
            // One paragraph each, and no other.
            std::size_t paragraphs = 0;
            for (std::size_t at = 0;
                 (at = asked.text.find(L"\r\n\r\n\"", at)) != std::wstring::npos; ++at) {
                ++paragraphs;
            }
            EXPECT_EQ(paragraphs, c.cautioned.size()) << c.what;
        }
        for (C box : c.ticked) {
            const bool applied = std::count(c.applied.begin(), c.applied.end(), box) > 0;
            EXPECT_EQ(h.Value(box), applied ? 1 : 0) << c.what << " " << static_cast<int>(box);
        }
    }
}

TEST(DomainCautions, NothingIsAskedToUndoASetting) {
    Window h(kController, true);
    h.Install(L"W32Time", 4);
    h.main.Menu(MenuId::VerifyAll);
    ASSERT_EQ(h.Value(C::Port123), 1);
    h.main.Click(C::Port123);
    h.main.Click(C::PortsAppliquer);
    EXPECT_TRUE(h.host.messages.empty());
    EXPECT_EQ(h.Value(C::Port123), 0);
}

TEST(DomainCautions, ClosingAsksBeforeApplyingTooAndNoLeavesTheServiceRunning) {
    Window h(FakeSystem::kXpSp2, true);
    h.main.Click(C::Port123);
    h.host.answers = {IdYes, IdNo, IdNo};
    h.main.Form_Unload(false);
    ASSERT_GE(h.host.messages.size(), 2u);
    EXPECT_TRUE(h.host.messages[1].text.starts_with(L"This computer is a member of a domain."));
    EXPECT_EQ(h.Read(std::wstring(kServices) + L"W32Time\\Start"), L"2");
    EXPECT_TRUE(h.system.started.empty());
}

// Nothing is asked without a window: a controller keeps what it needs, the others are told.
TEST(DomainCautions, AnUnattendedApplyLeavesAControllersNeedsAloneAndNotesTheConsequences) {
    constexpr char kLeftAlone[] =
        "left alone: a domain controller needs it; apply it from the window";
    struct Case {
        const char* what;
        VersionInfo version;
        bool joined;
        // Report lines, from the caption on, that must be there.
        std::vector<std::string> lines;
        bool timeDisabled;
        bool cautioned;  // any caution note at all
    };
    const Case cases[] = {
        {"a workgroup",
         FakeSystem::kXpSp2,
         false,
         {"Time 123\tin force: yes\tapplied\r\n",
          "Port 445 TCP\tin force: yes\tapplied\tnote: in force, but port 445 still listens\r\n"},
         true,
         false},
        {"a member",
         FakeSystem::kXpSp2,
         true,
         {"Time 123\tin force: yes\tapplied\tnote: caution in a domain: without the time service",
          "Port 445 TCP\tin force: yes\tapplied\tnote: caution in a domain: file sharing goes "
          "on over port 139 alone",
          "SMB, and with it Group Policy, SYSVOL and the start-up scripts on shares (KB "
          "204279).; in force, but port 445 still listens\r\n",
          "Remote registry access\tin force: yes\tapplied\tnote: caution in a domain: remote "
          "administration"},
         true,
         true},
        {"a controller",
         kController,
         false,
         {std::string("Time 123\tin force: no\t") + kLeftAlone + "\r\n",
          std::string("Anonymous access\tin force: no\t") + kLeftAlone + "\r\n",
          std::string("Port 445 TCP\tin force: no\t") + kLeftAlone + "\r\n",
          std::string("Ports 137, 138 UDP et 139 TCP\tin force: no\t") + kLeftAlone + "\r\n",
          "Remote registry access\tin force: yes\tapplied\tnote: caution in a domain: remote "
          "administration"},
         false,
         true},
    };
    for (const Case& c : cases) {
        Harness h;
        h.system.version = c.version;
        h.system.joined = c.joined;
        for (const wchar_t* service : {L"W32Time", L"LmHosts", L"RemoteRegistry"}) {
            h.Install(service, 2);
        }
        h.system.ports = {{PortProtocol::Tcp, {0, 0, 0, 0}, 445, 4, L"System"}};
        const int code = RunUnattended(ParseCommandLine(L"/apply:all -noaccount"), h.registry,
                                       h.system, h.accounts);
        const std::string report = h.system.files[L"C:\\Tools\\Tolvane-PC01.txt"];
        for (const std::string& line : c.lines) {
            EXPECT_NE(report.find(line), std::string::npos) << c.what << ": " << line << report;
        }
        EXPECT_EQ(report.find("caution") != std::string::npos, c.cautioned) << c.what;
        EXPECT_EQ(h.Read(std::wstring(kServices) + L"W32Time\\Start"), c.timeDisabled ? L"4" : L"2")
            << c.what;
        // Left alone is not counted, and a port still listening is a note, not a count.
        EXPECT_EQ(code, kExitRestartNeeded) << c.what;
        EXPECT_TRUE(h.host.messages.empty()) << c.what;
    }
}

TEST(DomainRole, AControllerByItsProductTypeAMemberWhenJoinedOrWhenTheSystemCannotTell) {
    EXPECT_EQ(RoleOf(kController, false), DomainRole::Controller);
    EXPECT_EQ(RoleOf(FakeSystem::kXpSp2, true), DomainRole::Member);
    EXPECT_EQ(RoleOf(FakeSystem::kXpSp2, std::nullopt), DomainRole::Member);
    EXPECT_EQ(RoleOf(FakeSystem::kXpSp2, false), DomainRole::Workgroup);
}

}  // namespace
}  // namespace tolvane::testing
