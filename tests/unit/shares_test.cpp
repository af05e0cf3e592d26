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
    VerifyShares(h.form, h.machine);

    EXPECT_EQ(h.Value(C::ShareFolders), 1);
    EXPECT_FALSE(h.controls.Bold(C::PartageLabel4));
    EXPECT_EQ(h.Value(C::SharePrinters), 0);
    EXPECT_TRUE(h.controls.Bold(C::PartageLabel5));
    EXPECT_EQ(h.controls.Centipoints(C::PartageLabel5), 825);  // rows 1 and 2 keep their size
    EXPECT_EQ(h.Value(C::SimpleShare), 0);
    EXPECT_TRUE(h.controls.Bold(C::PartageLabel1));
    EXPECT_EQ(h.controls.Centipoints(C::PartageLabel1), 700);
    EXPECT_EQ(h.Value(C::AdminShare), 1);
    EXPECT_FALSE(h.controls.Bold(C::PartageLabel2));
    EXPECT_EQ(h.controls.Centipoints(C::PartageLabel2), 800);
    for (C box :
         {C::SimpleShare, C::AdminShare, C::RemoteAdmin, C::ShareFolders, C::SharePrinters}) {
        EXPECT_EQ(h.form.VerifiedState(box), h.Value(box));
    }
}

TEST(VerifyShares, LeavesADisabledBoxClearedAndItsLabelAlone) {
    Harness h;
    h.registry.SetDword(kForceGuest, 0);
    h.Set(C::SimpleShare, 1);
    h.controls.SetEnabled(C::SimpleShare, false);
    VerifyShares(h.form, h.machine);
    EXPECT_EQ(h.Value(C::SimpleShare), 0);
    EXPECT_FALSE(h.controls.Bold(C::PartageLabel1));
    EXPECT_EQ(h.controls.Centipoints(C::PartageLabel1), 825);
    EXPECT_EQ(h.form.VerifiedState(C::SimpleShare), 0);
}

TEST(ApplyShares, WritesOnlyChangedBoxes) {
    Harness h;
    h.registry.SetDword(kAutoShareServer, 0);
    VerifyShares(h.form, h.machine);
    h.Set(C::AdminShare, 1);    // tick: writes 0
    h.Set(C::RemoteAdmin, 0);   // clear: deletes the value
    h.Set(C::ShareFolders, 1);  // tick: writes 1
    EXPECT_FALSE(ApplyShares(h.form, h.machine));
    EXPECT_EQ(h.Read(kAutoShareWks), L"0");
    EXPECT_EQ(h.Read(kAutoShareServer), L"(missing)");
    EXPECT_EQ(h.Read(kNoFileSharing), L"1");
    EXPECT_EQ(h.Read(kForceGuest), L"(missing)");
}

TEST(ApplyShares, ClearingSimpleShareWritesOne) {
    Harness h;
    h.registry.SetDword(kForceGuest, 0);
    VerifyShares(h.form, h.machine);
    h.Set(C::SimpleShare, 0);
    EXPECT_FALSE(ApplyShares(h.form, h.machine));
    EXPECT_EQ(h.Read(kForceGuest), L"1");
}

TEST(ApplyShares, RestartFlagFollowsTheSimpleShareRow) {
    struct Case {
        std::vector<C> ticked;
        bool restart;
    };
    const Case cases[] = {{{}, true},
                          {{C::ShareFolders}, true},
                          {{C::ShareFolders, C::SimpleShare}, false},
                          {{C::SimpleShare, C::RemoteAdmin}, false}};
    for (const Case& c : cases) {
        Harness h;
        VerifyShares(h.form, h.machine);
        h.Set(C::SelectAll1, 1);
        h.form.RestartNeeded = false;
        for (C box :
             {C::SimpleShare, C::AdminShare, C::RemoteAdmin, C::ShareFolders, C::SharePrinters}) {
            h.Set(box, 0);
        }
        for (C box : c.ticked) {
            h.Set(box, 1);
        }
        const int writesBefore = h.registry.writes;
        EXPECT_FALSE(ApplyShares(h.form, h.machine));
        EXPECT_EQ(h.form.RestartNeeded, c.restart) << c.ticked.size() << " boxes";
        // Each ticked box: its former state kept, then its target written.
        EXPECT_EQ(h.registry.writes - writesBefore, 2 * static_cast<int>(c.ticked.size()));
        EXPECT_EQ(h.Value(C::SelectAll1), 0);
    }
}

TEST(ApplyShares, StopsAtARefusedWriteKeepingEarlierRows) {
    Harness h;
    VerifyShares(h.form, h.machine);
    h.registry.DenyWrites(L"SYSTEM\\CurrentControlSet\\Control\\Lsa");
    h.Set(C::ShareFolders, 1);
    h.Set(C::SimpleShare, 1);
    h.Set(C::AdminShare, 1);
    h.Set(C::SelectAll1, 1);
    const GroupResult refusal = ApplyShares(h.form, h.machine);
    ASSERT_TRUE(refusal);
    EXPECT_EQ(refusal->box, C::SimpleShare);
    EXPECT_EQ(refusal->notTried, (std::vector<ControlId>{C::AdminShare, C::RemoteAdmin}));
    const WriteResult failure = refusal->failure;
    // The former value is kept before anything is written: that is the write refused.
    EXPECT_EQ(failure->fullPath, std::wstring(L"HKLM\\") + kForceGuest + L"KX");
    EXPECT_NE(failure->outcome.find(L"\"Single share (Xp Pro)\" was left as it was"),
              std::wstring::npos);
    EXPECT_EQ(h.Read(kNoFileSharing), L"1");
    EXPECT_EQ(h.Read(kAutoShareWks), L"(missing)");
    EXPECT_EQ(h.Value(C::SelectAll1), 1);
}

}  // namespace
}  // namespace tolvane::testing
