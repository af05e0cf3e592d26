// The account probe and group with the net.exe stand-in.
#include <algorithm>

#include "Tolvane.h"

namespace tolvane::e2e {
namespace {

using C = ControlId;

class Accounts : public TolvaneTest {
  protected:
    void SetUp() override {
        ASSERT_TRUE(SetAccount(kGuestAccount, false));
        ASSERT_TRUE(SetAccount(kHelpAccount, true));
        ASSERT_TRUE(ClearNetLog());
    }
    static std::wstring WindowsFile(const wchar_t* name) {
        wchar_t folder[MAX_PATH];
        const UINT length = GetWindowsDirectoryW(folder, MAX_PATH);
        return std::wstring(folder, length) + name;
    }
};

TEST_F(Accounts, TheProbeShowsWhichAccountsAreActive) {
    ASSERT_TRUE(Launch(L""));
    ASSERT_TRUE(AccountsRead());
    EXPECT_EQ(CheckState(main_, C::GuestAccountBox), BST_CHECKED);
    EXPECT_FALSE(LabelIsBold(main_, C::GuestAccountLabel));
    EXPECT_EQ(CheckState(main_, C::HelpAssistantBox), BST_UNCHECKED);
    EXPECT_TRUE(LabelIsBold(main_, C::HelpAssistantLabel));
    EXPECT_EQ(GetFileAttributesW(WindowsFile(L"\\Inv.cmp").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesW(WindowsFile(L"\\Hlp.cmp").c_str()), INVALID_FILE_ATTRIBUTES);
    Shoot(L"accounts-probed");
}

// A query that does not answer holds up nothing but its own box, which takes its state, and the
// help under the pointer, once the answer comes.
TEST_F(Accounts, TheWindowAnswersWhileAQueryIsDue) {
    HeldAccountQuery hold(kGuestAccount);
    ASSERT_TRUE(hold.held);
    ASSERT_TRUE(Launch(L""));
    ASSERT_TRUE(WaitUntil(10000, [&] { return Enabled(main_, C::HelpAssistantBox); }));
    EXPECT_EQ(CheckState(main_, C::HelpAssistantBox), BST_UNCHECKED);
    EXPECT_FALSE(Enabled(main_, C::GuestAccountBox));
    ASSERT_TRUE(Click(main_, C::AnonymousAccessBox));
    EXPECT_EQ(CheckState(main_, C::AnonymousAccessBox), BST_CHECKED);
    ASSERT_TRUE(PointAt(Control(main_, C::GuestAccountBox)));
    EXPECT_TRUE(WaitUntil(5000, [&] {
        return Text(main_, C::HelpTextBox).starts_with(L"Tolvane is still reading");
    }));
    Shoot(L"accounts-guest-being-read");

    ASSERT_TRUE(hold.Release());
    ASSERT_TRUE(AccountsRead());
    EXPECT_EQ(CheckState(main_, C::GuestAccountBox), BST_CHECKED);
    EXPECT_TRUE(WaitUntil(5000, [&] {
        return Text(main_, C::HelpTextBox).starts_with(L"Impedes any user to get a connection");
    }));
}

TEST_F(Accounts, TheSwitchSkipsTheProbe) {
    ASSERT_TRUE(Launch(L"-noaccount"));
    EXPECT_TRUE(NetLog().empty());
    EXPECT_EQ(GetFileAttributesW(WindowsFile(L"\\Inv.cmp").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(Enabled(main_, C::GuestAccountBox));
    EXPECT_FALSE(Enabled(main_, C::HelpAssistantBox));
}

TEST_F(Accounts, TickingTheGuestAccountDeactivatesIt) {
    ASSERT_TRUE(SetAccount(kGuestAccount, true));
    ASSERT_TRUE(Launch(L""));
    ASSERT_TRUE(AccountsRead());
    ASSERT_EQ(CheckState(main_, C::GuestAccountBox), BST_UNCHECKED);
    ASSERT_TRUE(ClearNetLog());
    ASSERT_TRUE(Click(main_, C::GuestAccountBox));
    ASSERT_TRUE(Click(main_, C::ApplyAccountsButton));
    ASSERT_TRUE(app_.WaitIdle(main_));
    // The switch ended before the probe read the account back, so the box shows its effect.
    EXPECT_EQ(AccountActive(kGuestAccount), std::optional<bool>(false));
    EXPECT_EQ(CheckState(main_, C::GuestAccountBox), BST_CHECKED);
    // Only the changed account is switched, by the name Windows gives the guest.
    const std::vector<std::wstring> log = NetLog();
    EXPECT_EQ(std::count(log.begin(), log.end(), L"net user Guest /active:no"), 1);
    EXPECT_EQ(
        std::count_if(log.begin(), log.end(),
                      [](const std::wstring& line) { return line.find(L"/active") != line.npos; }),
        1);
}

TEST_F(Accounts, WithTheSwitchApplyingTheGroupSwitchesNoAccount) {
    ASSERT_TRUE(Launch(L"-noaccount"));
    ASSERT_TRUE(Click(main_, C::AnonymousAccessBox));
    ASSERT_TRUE(Click(main_, C::ApplyAccountsButton));
    ASSERT_TRUE(app_.WaitIdle(main_));
    ASSERT_TRUE(WaitForNetToEnd());
    EXPECT_EQ(NetLog(), std::vector<std::wstring>{});
}

// A restore without the probe finds the guest by the name Windows gives it, and switches back on
// the account its apply switched off.
TEST_F(Accounts, UnattendedRestoreWithoutTheProbeSwitchesTheGuestBackByItsName) {
    ASSERT_TRUE(SetAccount(kGuestAccount, true));
    ASSERT_TRUE(SetWindowsVersion(L"winxp"));
    const auto run = [](const std::wstring& words) {
        App app;
        return app.Start(words + L" /report:C:\\Tolvane\\accounts.txt") && app.WaitForExit(60000)
                   ? static_cast<long>(app.ExitCode())
                   : -1L;
    };
    EXPECT_EQ(run(L"/apply:accounts.guest"), 0);
    ASSERT_TRUE(WaitForAccount(kGuestAccount, false));
    const long restored = run(L"/restore:accounts -noaccount");
    EXPECT_TRUE(restored == 0 || restored == 3010) << restored;
    EXPECT_TRUE(WaitForAccount(kGuestAccount, true));
    const std::vector<std::wstring> log = NetLog();
    EXPECT_EQ(std::count(log.begin(), log.end(), L"net user Guest /active:no"), 1);
    EXPECT_EQ(std::count(log.begin(), log.end(), L"net user Guest /active:yes"), 1);
}

}  // namespace
}  // namespace tolvane::e2e
