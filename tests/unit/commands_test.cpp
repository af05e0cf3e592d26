#include <gtest/gtest.h>

#include "catalogue/Shares.h"
#include "fakes/Harness.h"
#include "ui/Commands.h"

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
        main.Form_Initialize(L"-noaccount");
        EXPECT_TRUE(main.Form_Load());
        host.enableCalls.clear();
    }
};

TEST(Commands, ShareApplyWritesThenShowsTheMachine) {
    Started h;
    h.main.Click(C::AdminShare);
    h.main.Click(C::PartagesAppliquer);
    EXPECT_EQ(h.Read(kAutoShareWks), L"0");
    EXPECT_EQ(h.Value(C::AdminShare), 1);
    EXPECT_EQ(h.form.VerifiedState(C::AdminShare), 1);
    EXPECT_FALSE(h.controls.Bold(C::PartageLabel2));
    EXPECT_TRUE(h.form.RestartNeeded);
}

TEST(Commands, CheckAllShowsValuesChangedOutside) {
    Started h;
    EXPECT_EQ(h.Value(C::AdminShare), 0);
    h.registry.SetDword(kAutoShareWks, 0);
    h.main.Menu(MenuId::VerifyAll);
    EXPECT_EQ(h.Value(C::AdminShare), 1);
}

TEST(Commands, SelectAllTicksEnabledBoxesAndClearingShowsTheMachineAgain) {
    Started h;
    h.registry.SetDword(kAutoShareWks, 0);
    h.main.Menu(MenuId::VerifyAll);
    h.controls.SetEnabled(C::RemoteAdmin, false);
    h.main.Click(C::AdminShare);  // a change by hand, undone by clearing "Select all"
    h.main.Click(C::SelectAll1);
    for (C box : {C::SimpleShare, C::AdminShare, C::ShareFolders, C::SharePrinters}) {
        EXPECT_EQ(h.Value(box), 1);
    }
    EXPECT_EQ(h.Value(C::RemoteAdmin), 0);
    h.main.Click(C::SelectAll1);
    EXPECT_EQ(h.Value(C::AdminShare), 1);
    for (C box : {C::SimpleShare, C::RemoteAdmin, C::ShareFolders, C::SharePrinters}) {
        EXPECT_EQ(h.Value(box), 0);
    }
    EXPECT_EQ(h.registry.writes, 0);
}

TEST(Commands, SelectAllAccountsTicksOnlyEnabledBoxes) {
    Started h;  // no RemoteRegistry service: BDR is disabled; no probe: account boxes too
    EXPECT_FALSE(h.controls.Enabled(C::BDR));
    h.main.Click(C::SelectAll2);
    EXPECT_EQ(h.Value(C::Anonyme), 1);
    EXPECT_EQ(h.Value(C::EveryOne), 1);
    EXPECT_EQ(h.Value(C::BDR), 0);
    EXPECT_EQ(h.Value(C::Invit), 0);
}

TEST(Commands, UpnpBoxesAreCoupledOneWayEach) {
    Started h;
    for (const wchar_t* service : {L"SSDPSRV", L"upnphost"}) {
        h.Install(service);
    }
    h.main.Menu(MenuId::VerifyAll);
    h.main.Click(C::Port1900);  // ticking 1900 ticks 5000
    EXPECT_EQ(h.Value(C::Port5000), 1);
    h.main.Click(C::Port1900);  // clearing 1900 leaves 5000
    EXPECT_EQ(h.Value(C::Port1900), 0);
    EXPECT_EQ(h.Value(C::Port5000), 1);
    h.main.Click(C::Port1900);
    h.main.Click(C::Port5000);  // clearing 5000 clears 1900
    EXPECT_EQ(h.Value(C::Port1900), 0);
    EXPECT_EQ(h.Value(C::Port5000), 0);
    h.main.Click(C::Port5000);  // ticking 5000 leaves 1900
    EXPECT_EQ(h.Value(C::Port1900), 0);
}

TEST(Commands, ApplyAllSkipsSharesWhenTheDriveIsNotNtfs) {
    Harness h;
    h.system.drives = {{L'C', L"FAT32"}};
    h.main.Form_Initialize(L"-noaccount");
    ASSERT_TRUE(h.main.Form_Load());
    h.form.VerifiedState(C::AdminShare) = 1;  // would delete AutoshareWks if applied
    h.registry.SetDword(kAutoShareWks, 0);
    h.Set(C::Anonyme, 1);
    h.main.Menu(MenuId::Sauvegarder);
    EXPECT_EQ(h.Read(kAutoShareWks), L"0");
    // The account group is still applied.
    EXPECT_EQ(h.Read(L"SYSTEM\\CurrentControlSet\\Control\\Lsa\\restrictanonymous"), L"2");
    h.registry.SetDword(
        L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Network\\NoFileSharing", 1);
    h.main.Menu(MenuId::VerifyAll);
    EXPECT_EQ(h.Value(C::ShareFolders), 0);
}

TEST(Commands, CheckAllDisablesRemoteRegistryWhenTheServiceIsMissing) {
    Started h;
    EXPECT_FALSE(h.controls.Enabled(C::BDR));
    h.registry.SetDword(kRemoteRegistryStart, 2);
    h.main.Menu(MenuId::VerifyAll);
    EXPECT_FALSE(h.controls.Enabled(C::BDR));  // nothing enables it again
}

TEST(Commands, ARefusedWriteIsShownOnceThenTheGroupIsReadAgain) {
    Started h;
    h.registry.DenyWrites(L"SYSTEM\\CurrentControlSet\\Services\\LanmanServer\\Parameters");
    h.main.Click(C::ShareFolders);
    h.main.Click(C::AdminShare);
    h.main.Click(C::PartagesAppliquer);
    ASSERT_EQ(h.host.messages.size(), 1u);
    const FakeHost::Message& message = h.host.messages[0];
    EXPECT_NE(message.text.find(std::wstring(L"HKLM\\") + kAutoShareWks), std::wstring::npos);
    EXPECT_NE(message.text.find(L"system error 5"), std::wstring::npos);
    EXPECT_NE(message.text.find(L"administrator"), std::wstring::npos);
    EXPECT_EQ(message.title, L"Tolvane");
    EXPECT_EQ(message.style, 0x30u);
    // The write made before stays, and the boxes show what the machine holds.
    EXPECT_EQ(h.Value(C::ShareFolders), 1);
    EXPECT_EQ(h.Value(C::AdminShare), 0);
    EXPECT_EQ(h.form.VerifiedState(C::AdminShare), 0);
}

TEST(Commands, TheWindowTakesNoOtherCommandWhileOneRuns) {
    Started h;
    h.main.Click(C::AdminShare);
    h.main.Click(C::PartagesAppliquer);
    EXPECT_EQ(h.host.enableCalls, (std::vector<bool>{false, true, false, true}));

    // A click that reaches the window in the middle of a command is ignored.
    BusyScope busy(h.form, h.host);
    h.main.Click(C::ShareFolders);
    EXPECT_FALSE(h.main.Menu(MenuId::VerifyAll));
    EXPECT_EQ(h.Value(C::ShareFolders), 0);
}

TEST(Commands, ADisabledBoxCannotBeClicked) {
    Started h;
    h.controls.SetEnabled(C::AdminShare, false);
    h.main.Click(C::AdminShare);
    EXPECT_EQ(h.Value(C::AdminShare), 0);
}

}  // namespace
}  // namespace tolvane::testing
