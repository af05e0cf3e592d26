#include <gtest/gtest.h>

#include <functional>

#include "app/Commands.h"
#include "catalogue/Shares.h"
#include "fakes/Harness.h"

namespace tolvane::testing {
namespace {

using C = ControlId;
constexpr wchar_t kAutoShareWks[] =
    L"SYSTEM\\CurrentControlSet\\Services\\LanmanServer\\Parameters\\AutoshareWks";
constexpr wchar_t kRemoteRegistryStart[] =
    L"SYSTEM\\CurrentControlSet\\Services\\RemoteRegistry\\Start";

// A started window on an NTFS XP Professional machine, without the account probe.
struct Started : Harness {
    Started() {
        system.files[L"C:\\WINDOWS\\System32\\gpedit.msc"] = "";
        main.ReadCommandLine(L"-noaccount");
        EXPECT_TRUE(main.LoadFromMachine());
        host.enableCalls.clear();
    }
};

TEST(Commands, ShareApplyWritesThenShowsTheMachine) {
    Started h;
    h.main.Click(C::AdminSharesBox);
    h.main.Click(C::ApplySharesButton);
    EXPECT_EQ(h.Read(kAutoShareWks), L"0");
    EXPECT_EQ(h.Value(C::AdminSharesBox), 1);
    EXPECT_EQ(h.Verified(C::AdminSharesBox), 1);
    EXPECT_FALSE(h.controls.Bold(C::AdminSharesLabel));
    EXPECT_TRUE(h.state.restartNeeded);
}

TEST(Commands, CheckAllShowsValuesChangedOutside) {
    Started h;
    EXPECT_EQ(h.Value(C::AdminSharesBox), 0);
    h.registry.SetDword(kAutoShareWks, 0);
    h.main.Menu(MenuId::VerifyAll);
    EXPECT_EQ(h.Value(C::AdminSharesBox), 1);
}

TEST(Commands, SelectAllTicksEnabledBoxesAndClearingShowsTheMachineAgain) {
    Started h;
    h.registry.SetDword(kAutoShareWks, 0);
    h.main.Menu(MenuId::VerifyAll);
    h.controls.SetEnabled(C::RemoteAdminBox, false);
    h.main.Click(C::AdminSharesBox);  // a change by hand, undone by clearing "Select all"
    h.main.Click(C::SelectAllSharesBox);
    for (C box :
         {C::SimpleFileSharingBox, C::AdminSharesBox, C::FolderSharingBox, C::PrinterSharingBox}) {
        EXPECT_EQ(h.Value(box), 1);
    }
    EXPECT_EQ(h.Value(C::RemoteAdminBox), 0);
    h.main.Click(C::SelectAllSharesBox);
    EXPECT_EQ(h.Value(C::AdminSharesBox), 1);
    for (C box :
         {C::SimpleFileSharingBox, C::RemoteAdminBox, C::FolderSharingBox, C::PrinterSharingBox}) {
        EXPECT_EQ(h.Value(box), 0);
    }
    EXPECT_EQ(h.registry.writes, 0);
}

TEST(Commands, SelectAllAccountsTicksOnlyEnabledBoxes) {
    Started h;  // no RemoteRegistry service: its box is disabled; no probe: account boxes too
    EXPECT_FALSE(h.controls.Enabled(C::RemoteRegistryBox));
    h.main.Click(C::SelectAllAccountsBox);
    EXPECT_EQ(h.Value(C::AnonymousAccessBox), 1);
    EXPECT_EQ(h.Value(C::EveryoneRightsBox), 1);
    EXPECT_EQ(h.Value(C::RemoteRegistryBox), 0);
    EXPECT_EQ(h.Value(C::GuestAccountBox), 0);
}

TEST(Commands, UpnpBoxesAreCoupledOneWayEach) {
    Started h;
    for (const wchar_t* service : {L"SSDPSRV", L"upnphost"}) {
        h.Install(service);
    }
    h.main.Menu(MenuId::VerifyAll);
    h.main.Click(C::Port1900Box);  // ticking 1900 ticks 5000
    EXPECT_EQ(h.Value(C::Port5000Box), 1);
    h.main.Click(C::Port1900Box);  // clearing 1900 leaves 5000
    EXPECT_EQ(h.Value(C::Port1900Box), 0);
    EXPECT_EQ(h.Value(C::Port5000Box), 1);
    h.main.Click(C::Port1900Box);
    h.main.Click(C::Port5000Box);  // clearing 5000 clears 1900
    EXPECT_EQ(h.Value(C::Port1900Box), 0);
    EXPECT_EQ(h.Value(C::Port5000Box), 0);
    h.main.Click(C::Port5000Box);  // ticking 5000 leaves 1900
    EXPECT_EQ(h.Value(C::Port1900Box), 0);
}

TEST(Commands, ApplyAllSkipsSharesWhenTheDriveIsNotNtfs) {
    Harness h;
    h.system.drives = {{L'C', L"FAT32"}};
    h.main.ReadCommandLine(L"-noaccount");
    ASSERT_TRUE(h.main.LoadFromMachine());
    // Would delete AutoshareWks if applied.
    h.state.VerifiedValue(C::AdminSharesBox) = BoxValue::Ticked;
    h.registry.SetDword(kAutoShareWks, 0);
    h.Set(C::AnonymousAccessBox, 1);
    h.main.Menu(MenuId::ApplyAll);
    EXPECT_EQ(h.Read(kAutoShareWks), L"0");
    // The account group is still applied.
    EXPECT_EQ(h.Read(L"SYSTEM\\CurrentControlSet\\Control\\Lsa\\restrictanonymous"), L"2");
    h.registry.SetDword(
        L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Network\\NoFileSharing", 1);
    h.main.Menu(MenuId::VerifyAll);
    EXPECT_EQ(h.Value(C::FolderSharingBox), 0);
}

TEST(Commands, CheckAllDisablesRemoteRegistryWhenTheServiceIsMissing) {
    Started h;
    EXPECT_FALSE(h.controls.Enabled(C::RemoteRegistryBox));
    h.registry.SetDword(kRemoteRegistryStart, 2);
    h.main.Menu(MenuId::VerifyAll);
    EXPECT_FALSE(h.controls.Enabled(C::RemoteRegistryBox));  // nothing enables it again
}

TEST(Commands, ARefusedWriteIsShownOnceThenTheGroupIsReadAgain) {
    Started h;
    h.registry.DenyWrites(L"SYSTEM\\CurrentControlSet\\Services\\LanmanServer\\Parameters");
    h.main.Click(C::FolderSharingBox);
    h.main.Click(C::AdminSharesBox);
    h.main.Click(C::ApplySharesButton);
    ASSERT_EQ(h.host.messages.size(), 1u);
    const FakeHost::Message& message = h.host.messages[0];
    EXPECT_NE(message.text.find(std::wstring(L"HKLM\\") + kAutoShareWks), std::wstring::npos);
    EXPECT_NE(message.text.find(L"system error 5"), std::wstring::npos);
    EXPECT_NE(message.text.find(L"administrator"), std::wstring::npos);
    EXPECT_EQ(message.title, L"Tolvane");
    EXPECT_EQ(message.style, 0x30u);
    // The write made before stays, and the boxes show what the machine holds.
    EXPECT_EQ(h.Value(C::FolderSharingBox), 1);
    EXPECT_EQ(h.Value(C::AdminSharesBox), 0);
    EXPECT_EQ(h.Verified(C::AdminSharesBox), 0);
}

TEST(Commands, TheWindowTakesNoOtherCommandWhileOneRuns) {
    Started h;
    h.main.Click(C::AdminSharesBox);
    h.main.Click(C::ApplySharesButton);
    EXPECT_EQ(h.host.enableCalls, (std::vector<bool>{false, true, false, true}));

    // A click that reaches the window in the middle of a command is ignored.
    BusyScope busy(h.state, h.host);
    h.main.Click(C::FolderSharingBox);
    EXPECT_FALSE(h.main.Menu(MenuId::VerifyAll));
    EXPECT_EQ(h.Value(C::FolderSharingBox), 0);
}

TEST(Commands, ADisabledBoxCannotBeClicked) {
    Started h;
    h.controls.SetEnabled(C::AdminSharesBox, false);
    h.main.Click(C::AdminSharesBox);
    EXPECT_EQ(h.Value(C::AdminSharesBox), 0);
}

// Today's failures of a box's apply, one message each, and what the registry holds after.
TEST(Commands, ABoxIsLeftWholeAndTheUserToldWhy) {
    constexpr wchar_t kDns[] = L"SYSTEM\\CurrentControlSet\\Services\\Dnscache";
    constexpr wchar_t kParameters[] = L"SYSTEM\\CurrentControlSet\\Services\\Dnscache\\Parameters";
    const std::wstring sockets = std::wstring(kParameters) + L"\\MaxCachedSockets";
    const std::wstring start = std::wstring(kDns) + L"\\Start";
    // No count of missing keys a start type's path can have.
    const RawValue foreignMark{RawNone, {9}};
    struct Case {
        const char* what;
        C box;
        C apply;
        int from;
        std::function<void(FakeRegistry&)> prepare;
        std::vector<std::wstring> said;  // in the one message, in this order
        std::function<void(Started&)> check;
    };
    const Case cases[] = {
        {"a refused MaxCachedSockets keeps the DNS client enabled",
         C::Port1024UdpBox,
         C::ApplyServicesButton,
         0,
         [&](FakeRegistry& r) {
             r.SetDword(start, 2);
             r.SetDword(sockets, 20);
             r.DenyWrites(kParameters);
         },
         {L"could not write the registry value", L"HKLM\\" + sockets + L"KX", L"system error 5",
          L"administrator", L"\"DNS client 1024 UDP\" was left as it was",
          L"the boxes after it in this group were not applied"},
         [&](Started& h) {
             EXPECT_EQ(h.Read(start), L"2");
             EXPECT_EQ(h.Read(start + L"KX"), L"(missing)");
             EXPECT_EQ(h.Value(C::Port1024UdpBox), 0);
             // Port 1027 comes after it: not applied.
             EXPECT_EQ(h.Read(kServices + std::wstring(L"Messenger\\Start")), L"3");
         }},
        {"a refused deletion",
         C::AdminSharesBox,
         C::ApplySharesButton,
         1,
         [&](FakeRegistry& r) {
             r.SetDword(kAutoShareWks, 0);
             r.DenyWrites(L"SYSTEM\\CurrentControlSet\\Services\\LanmanServer\\Parameters");
         },
         {L"could not delete the registry value", std::wstring(L"HKLM\\") + kAutoShareWks,
          L"\"Administrative\" was left as it was"},
         [&](Started& h) {
             EXPECT_EQ(h.Read(kAutoShareWks), L"0");
             EXPECT_EQ(h.Value(C::AdminSharesBox), 1);
         }},
        {"an unusable backup, then Windows' own start type",
         C::Port123Box,
         C::ApplyServicesButton,
         1,
         [&](FakeRegistry& r) {
             r.SetDword(std::wstring(kServices) + L"W32Time\\Start", 4);
             r.SetRaw(std::wstring(kServices) + L"W32Time\\StartKX", foreignMark);
         },
         {L"could not use the backup",
          L"HKLM\\SYSTEM\\CurrentControlSet\\Services\\W32Time\\StartKX",
          L"REG_NONE mark that Tolvane does not write", L"start automatically instead",
          L"left as it is"},
         [&](Started& h) {
             EXPECT_EQ(h.Read(std::wstring(kServices) + L"W32Time\\Start"), L"2");
             EXPECT_EQ(h.registry.Get(std::wstring(kServices) + L"W32Time\\StartKX"), foreignMark);
             EXPECT_EQ(h.Value(C::Port123Box), 0);
         }},
    };
    for (const Case& c : cases) {
        Started h;
        c.prepare(h.registry);
        h.Install(L"Messenger");
        h.main.Menu(MenuId::VerifyAll);
        ASSERT_EQ(h.Value(c.box), c.from) << c.what;
        h.main.Click(c.box);
        if (c.box == C::Port1024UdpBox) {
            h.main.Click(C::Port1027Box);
        }
        h.main.Click(c.apply);
        ASSERT_EQ(h.host.messages.size(), 1u) << c.what;
        std::size_t at = 0;
        for (const std::wstring& part : c.said) {
            at = h.host.messages[0].text.find(part, at);
            EXPECT_NE(at, std::wstring::npos) << c.what << ": " << part.c_str();
        }
        c.check(h);
    }
}

}  // namespace
}  // namespace tolvane::testing
