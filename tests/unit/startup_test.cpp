#include <gtest/gtest.h>

#include "fakes/Harness.h"
#include "help/ContextHelp.h"

namespace tolvane::testing {
namespace {

using C = ControlId;
constexpr wchar_t kGpedit[] = L"C:\\WINDOWS\\System32\\gpedit.msc";

TEST(Startup, RefusesAnUnsupportedVersionAndTouchesNothing) {
    Harness h;
    h.system.version = {true, 6, 1, 2};
    h.registry.SetDword(L"SYSTEM\\CurrentControlSet\\Control\\Lsa\\forceguest", 0);
    const auto before = h.registry.keys;
    EXPECT_FALSE(h.OpenWindow());
    ASSERT_EQ(h.host.messages.size(), 1u);
    EXPECT_EQ(h.host.messages[0].text,
              L"This software only works with the following operating systems : 2000 - XP Home "
              L"- XP Pro - 2000 server and 2003 server.");
    EXPECT_EQ(h.host.messages[0].title, L"Tolvane");
    EXPECT_EQ(h.host.messages[0].style, 0x30u);
    EXPECT_EQ(h.registry.keys, before);
    EXPECT_EQ(h.registry.writes + h.registry.deletions, 0);
    EXPECT_TRUE(h.system.started.empty());
    EXPECT_TRUE(h.system.reads.empty());
    EXPECT_TRUE(h.system.fileSystemQueries.empty());
    for (int i = 0; i < kControlCount; ++i) {
        EXPECT_EQ(h.Value(static_cast<C>(i)), 0);
        EXPECT_EQ(h.Verified(static_cast<C>(i)), 0);
    }
}

TEST(Startup, TheShareGroupNeedsExactlyNtfs) {
    for (const wchar_t* fileSystem : {L"NTFS", L"FAT32", L"ntfs", L""}) {
        Harness h;
        h.system.drives = {{L'C', fileSystem}};
        h.system.files[kGpedit] = "";
        h.main.ReadCommandLine(L"-noaccount");
        ASSERT_TRUE(h.main.LoadFromMachine());
        const bool ntfs = std::wstring(fileSystem) == L"NTFS";
        for (C id :
             {C::SimpleFileSharingBox, C::AdminSharesBox, C::RemoteAdminBox, C::FolderSharingBox,
              C::PrinterSharingBox, C::SelectAllSharesBox, C::ApplySharesButton}) {
            EXPECT_EQ(h.controls.Enabled(id), ntfs) << fileSystem;
        }
        // The rest of the window works either way.
        EXPECT_TRUE(h.controls.Enabled(C::ApplyAccountsButton));
        EXPECT_TRUE(h.controls.Enabled(C::Port445Box));
    }
}

TEST(Startup, SimpleShareIsOfferedOnlyOnXpProfessionalOutsideADomain) {
    struct Case {
        VersionInfo version;
        bool gpedit;
        std::optional<bool> joined;
        bool enabled;
        bool domainHelp = false;  // the help says why the box is off
    };
    const Case cases[] = {
        {{true, 5, 1, 2}, true, false, true},    // XP Professional
        {{true, 5, 1, 2}, false, false, false},  // XP Home
        {{true, 5, 0, 2}, true, false, false},   // 2000
        {{true, 5, 2, 2}, true, false, false},   // Server 2003
        // XP x64 has no Home edition; its 32-bit System32 need not hold the editor.
        {{true, 5, 2, 2, ProductWorkstation, 1}, false, false, true},
        {{true, 5, 2, 2, ProductServer, 1}, true, false, false},  // Server 2003 x64
        // A domain member has the classic model always: nothing to turn off, nor to undo.
        {{true, 5, 1, 2}, true, true, false, true},
        {{true, 5, 2, 2, ProductWorkstation, 1}, false, true, false, true},
        {{true, 5, 1, 2}, false, true, false, false},  // XP Home: never had the box
        {{true, 5, 1, 2}, true, std::nullopt, true},   // the system cannot tell
    };
    for (const Case& c : cases) {
        Harness h;
        h.system.version = c.version;
        h.system.joined = c.joined;
        if (c.gpedit) {
            h.system.files[kGpedit] = "";
        }
        h.main.ReadCommandLine(L"-noaccount");
        ASSERT_TRUE(h.main.LoadFromMachine());
        EXPECT_EQ(h.controls.Enabled(C::SimpleFileSharingBox), c.enabled)
            << c.version.minor << " gpedit " << c.gpedit << " joined " << c.joined.value_or(2);
        EXPECT_TRUE(h.controls.Enabled(C::AdminSharesBox));
        h.main.PointerOver(C::SimpleFileSharingBox);
        EXPECT_EQ(h.controls.Caption(C::HelpTextBox) == kSingleShareDomainHelp, c.domainHelp)
            << c.version.minor << " joined " << c.joined.value_or(2);
    }
}

// The window shows before the queries start; once started aside, each is asked once, and the
// boxes take their state only from their answers.
TEST(Startup, WithoutTheSwitchProbesAndOffersTheAccountBoxes) {
    Harness h;
    h.accounts.names[kGuestRid] = L"Guest";
    h.accounts.disabled = {{L"Guest", false}, {L"HelpAssistant", false}};
    h.system.startsWatched = true;
    ASSERT_TRUE(h.OpenWindow());
    EXPECT_TRUE(h.system.started.empty());
    ASSERT_TRUE(h.system.startsTold);
    h.system.TellStarted();
    EXPECT_TRUE(h.host.pleaseWaitCalls.empty());
    ASSERT_EQ(h.system.started.size(), 2u);
    EXPECT_FALSE(h.controls.Enabled(C::GuestAccountBox));
    for (const auto& watch : std::map(h.system.endWatches)) {
        h.system.TellEnded(watch.second.commandLine);
    }
    EXPECT_TRUE(h.controls.Enabled(C::GuestAccountBox));
    EXPECT_TRUE(h.controls.Enabled(C::HelpAssistantBox));
}

// Ticking a box nobody could read would switch an account never read.
TEST(Startup, AnAccountNobodyCanReadOrThatDoesNotExistKeepsItsBoxDisabledAndSaysWhy) {
    Harness h;
    h.accounts.names[kGuestRid] = L"Guest";  // known by name, its state unreadable
    ASSERT_TRUE(h.main.LoadFromMachine());
    for (const auto& [box, why] : {std::pair{C::GuestAccountBox, kUnreadableAccountHelp},
                                   {C::HelpAssistantBox, kMissingAccountHelp}}) {
        EXPECT_FALSE(h.controls.Enabled(box));
        h.main.PointerOver(box);
        EXPECT_TRUE(h.controls.Caption(C::HelpTextBox).ends_with(why));
    }
}

TEST(Startup, WithTheSwitchStartsNoQueryAndKeepsTheAccountBoxesDisabled) {
    Harness h;
    ASSERT_TRUE(h.OpenWindow(L"-noaccount"));
    EXPECT_TRUE(h.system.started.empty());
    EXPECT_TRUE(h.system.files.empty());
    EXPECT_FALSE(h.controls.Enabled(C::GuestAccountBox));
    EXPECT_FALSE(h.controls.Enabled(C::HelpAssistantBox));
    EXPECT_EQ(h.Value(C::GuestAccountBox), 0);
    EXPECT_EQ(h.Value(C::HelpAssistantBox), 0);
}

TEST(Startup, ShowsTheMachineAndLeavesNothingPending) {
    Harness h;
    h.registry.SetDword(
        L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Network\\NoPrintSharing", 1);
    h.Install(L"W32Time", 4);
    h.main.ReadCommandLine(L"-noaccount");
    ASSERT_TRUE(h.main.LoadFromMachine());
    EXPECT_EQ(h.Value(C::PrinterSharingBox), 1);
    EXPECT_EQ(h.Value(C::Port123Box), 1);
    EXPECT_FALSE(h.state.restartNeeded);
    EXPECT_EQ(h.controls.Caption(C::NetBiosPortsLabel), L"Ports 137, 138 UDP\r\net 139 TCP");
    EXPECT_EQ(h.controls.Caption(C::HelpTextBox), L"");
    for (int i = 0; i < kControlCount; ++i) {
        EXPECT_EQ(h.controls.Value(static_cast<C>(i)), h.state.verifiedValues[i]) << i;
    }
    // The window is taken back only once start-up is over.
    EXPECT_EQ(h.host.enableCalls, (std::vector<bool>{false, true}));
    EXPECT_EQ(h.state.busyDepth, 0);
}

}  // namespace
}  // namespace tolvane::testing
