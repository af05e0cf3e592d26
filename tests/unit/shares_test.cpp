#include <gtest/gtest.h>

#include "catalogue/Shares.h"
#include "fakes/Harness.h"

namespace tolvane::testing {
namespace {

using C = ControlId;
constexpr wchar_t kNoFileSharing[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Network\\NoFileSharing";
constexpr wchar_t kForceGuest[] = L"SYSTEM\\CurrentControlSet\\Control\\Lsa\\forceguest";
constexpr wchar_t kAutoShareWks[] =
    L"SYSTEM\\CurrentControlSet\\Services\\LanmanServer\\Parameters\\AutoshareWks";
constexpr wchar_t kAutoShareServer[] =
    L"SYSTEM\\CurrentControlSet\\Services\\LanmanServer\\Parameters\\AutoShareServer";

TEST(VerifyShares, TicksSettingsInForceAndDrawsTheOthersBold) {
    Harness h;
    h.registry.SetDword(kNoFileSharing, 1);
    h.registry.SetDword(kForceGuest, 1);
    h.registry.SetDword(kAutoShareWks, 0);
    VerifyShares(h.state, h.machine);

    EXPECT_EQ(h.Value(C::FolderSharingBox), 1);
    EXPECT_FALSE(h.controls.Bold(C::FolderSharingLabel));
    EXPECT_EQ(h.Value(C::PrinterSharingBox), 0);
    EXPECT_TRUE(h.controls.Bold(C::PrinterSharingLabel));
    EXPECT_EQ(h.controls.Centipoints(C::PrinterSharingLabel), 825);  // rows 1 and 2 keep their size
    EXPECT_EQ(h.Value(C::SimpleFileSharingBox), 0);
    EXPECT_TRUE(h.controls.Bold(C::SimpleFileSharingLabel));
    EXPECT_EQ(h.controls.Centipoints(C::SimpleFileSharingLabel), 700);
    EXPECT_EQ(h.Value(C::AdminSharesBox), 1);
    EXPECT_FALSE(h.controls.Bold(C::AdminSharesLabel));
    EXPECT_EQ(h.controls.Centipoints(C::AdminSharesLabel), 800);
    for (C box : {C::SimpleFileSharingBox, C::AdminSharesBox, C::RemoteAdminBox,
                  C::FolderSharingBox, C::PrinterSharingBox}) {
        EXPECT_EQ(h.Verified(box), h.Value(box));
    }
}

TEST(VerifyShares, LeavesADisabledBoxClearedAndItsLabelAlone) {
    Harness h;
    h.registry.SetDword(kForceGuest, 0);
    h.Set(C::SimpleFileSharingBox, 1);
    h.controls.SetEnabled(C::SimpleFileSharingBox, false);
    VerifyShares(h.state, h.machine);
    EXPECT_EQ(h.Value(C::SimpleFileSharingBox), 0);
    EXPECT_FALSE(h.controls.Bold(C::SimpleFileSharingLabel));
    EXPECT_EQ(h.controls.Centipoints(C::SimpleFileSharingLabel), 825);
    EXPECT_EQ(h.Verified(C::SimpleFileSharingBox), 0);
}

TEST(ApplyShares, WritesOnlyChangedBoxes) {
    Harness h;
    h.registry.SetDword(kAutoShareServer, 0);
    VerifyShares(h.state, h.machine);
    h.Set(C::AdminSharesBox, 1);    // tick: writes 0
    h.Set(C::RemoteAdminBox, 0);    // clear: deletes the value
    h.Set(C::FolderSharingBox, 1);  // tick: writes 1
    EXPECT_FALSE(ApplyShares(h.state, h.machine));
    EXPECT_EQ(h.Read(kAutoShareWks), L"0");
    EXPECT_EQ(h.Read(kAutoShareServer), L"(missing)");
    EXPECT_EQ(h.Read(kNoFileSharing), L"1");
    EXPECT_EQ(h.Read(kForceGuest), L"(missing)");
}

TEST(ApplyShares, ClearingSimpleShareWritesOne) {
    Harness h;
    h.registry.SetDword(kForceGuest, 0);
    VerifyShares(h.state, h.machine);
    h.Set(C::SimpleFileSharingBox, 0);
    EXPECT_FALSE(ApplyShares(h.state, h.machine));
    EXPECT_EQ(h.Read(kForceGuest), L"1");
}

TEST(ApplyShares, RestartFlagFollowsTheSimpleShareRow) {
    struct Case {
        std::vector<C> ticked;
        bool restart;
    };
    const Case cases[] = {{{}, true},
                          {{C::FolderSharingBox}, true},
                          {{C::FolderSharingBox, C::SimpleFileSharingBox}, false},
                          {{C::SimpleFileSharingBox, C::RemoteAdminBox}, false}};
    for (const Case& c : cases) {
        Harness h;
        VerifyShares(h.state, h.machine);
        h.Set(C::SelectAllSharesBox, 1);
        h.state.restartNeeded = false;
        for (C box : {C::SimpleFileSharingBox, C::AdminSharesBox, C::RemoteAdminBox,
                      C::FolderSharingBox, C::PrinterSharingBox}) {
            h.Set(box, 0);
        }
        for (C box : c.ticked) {
            h.Set(box, 1);
        }
        const int writesBefore = h.registry.writes;
        EXPECT_FALSE(ApplyShares(h.state, h.machine));
        EXPECT_EQ(h.state.restartNeeded, c.restart) << c.ticked.size() << " boxes";
        // Each ticked box: its former state kept, then its target written.
        EXPECT_EQ(h.registry.writes - writesBefore, 2 * static_cast<int>(c.ticked.size()));
        EXPECT_EQ(h.Value(C::SelectAllSharesBox), 0);
    }
}

TEST(ApplyShares, StopsAtARefusedWriteKeepingEarlierRows) {
    Harness h;
    VerifyShares(h.state, h.machine);
    h.registry.DenyWrites(L"SYSTEM\\CurrentControlSet\\Control\\Lsa");
    h.Set(C::FolderSharingBox, 1);
    h.Set(C::SimpleFileSharingBox, 1);
    h.Set(C::AdminSharesBox, 1);
    h.Set(C::SelectAllSharesBox, 1);
    const GroupResult refusal = ApplyShares(h.state, h.machine);
    ASSERT_TRUE(refusal);
    EXPECT_EQ(refusal->box, C::SimpleFileSharingBox);
    EXPECT_EQ(refusal->notTried, (std::vector<ControlId>{C::AdminSharesBox, C::RemoteAdminBox}));
    const WriteResult failure = refusal->failure;
    // The former value is kept before anything is written: that is the write refused.
    EXPECT_EQ(failure->fullPath, std::wstring(L"HKLM\\") + kForceGuest + L"KX");
    EXPECT_NE(failure->outcome.find(L"\"Single share (Xp Pro)\" was left as it was"),
              std::wstring::npos);
    EXPECT_EQ(h.Read(kNoFileSharing), L"1");
    EXPECT_EQ(h.Read(kAutoShareWks), L"(missing)");
    EXPECT_EQ(h.Value(C::SelectAllSharesBox), 1);
}

}  // namespace
}  // namespace tolvane::testing
