// Closing with changes not applied, the Restart button, the keyboard, and a close request that
// arrives while a command runs.
#include "Tolvane.h"
#include "model/ControlLayout.h"

namespace tolvane::e2e {
namespace {

using C = ControlId;

constexpr wchar_t kLanman[] = L"SYSTEM\\CurrentControlSet\\Services\\LanmanServer\\Parameters";

class Closing : public TolvaneTest {
  protected:
    void SetUp() override { ASSERT_TRUE(DeleteValue(kLanman, L"AutoshareWks")); }
    // Answers the next message box of the program after checking its text.
    void Expect(const wchar_t* firstLine, int answer) {
        const HWND box = app_.WaitForMessageBox();
        ASSERT_NE(box, nullptr) << "no box for: " << firstLine;
        EXPECT_TRUE(MessageBoxText(box).starts_with(firstLine)) << MessageBoxText(box);
        ASSERT_TRUE(Answer(box, answer));
    }
};

TEST_F(Closing, AppliesAChangedShareOnYesThenOffersTheRestart) {
    ASSERT_TRUE(Launch());
    ASSERT_TRUE(Click(main_, C::AdminSharesBox));
    ASSERT_TRUE(Menu(main_, MenuId::Quit));
    Expect(L"At least one Share modification wasn't applied.", IDYES);
    Expect(L"At least one modification you did require the system to be restarted.", IDNO);
    ASSERT_TRUE(app_.WaitForExit());
    EXPECT_EQ(app_.ExitCode(), 0u);
    const auto value = ReadValue(kLanman, L"AutoshareWks");
    ASSERT_TRUE(value);
    EXPECT_EQ(value->text, L"0");
}

TEST_F(Closing, TheRestartButtonAsksWithNoAsDefaultAndNoKeepsTolvaneRunning) {
    ASSERT_TRUE(Launch());
    ASSERT_TRUE(PostClick(main_, C::RestartButton));
    const HWND box = app_.WaitForMessageBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(Title(box), L"System being restarted......");
    EXPECT_EQ(MessageBoxText(box), L"Are you ok to proceed with the restart?");
    EXPECT_EQ(DefaultButton(box), IDNO);
    EXPECT_TRUE(SaveScreenshot(box, L"restart-confirmation"));
    ASSERT_TRUE(Answer(box, IDNO));
    ASSERT_TRUE(app_.WaitIdle(main_));
    EXPECT_TRUE(app_.Running());
}

TEST_F(Closing, EnterOnAFocusedApplyButtonAppliesItsGroup) {
    ASSERT_TRUE(Launch());
    // The keyboard starts on the first box of the keyboard order, not on the Restart button.
    HWND first = nullptr;
    for (const ControlLayout& control : MainWindowLayout()) {
        if (control.kind == ControlKind::CheckBox && Enabled(main_, control.id)) {
            first = Control(main_, control.id);
            break;
        }
    }
    EXPECT_TRUE(WaitUntil(5000, [&] { return FocusedWindow(main_) == first; }));
    ASSERT_TRUE(Click(main_, C::AdminSharesBox));
    ASSERT_TRUE(FocusControl(Control(main_, C::ApplySharesButton)));
    ASSERT_TRUE(PressKeys(main_, {VK_RETURN}));
    EXPECT_TRUE(WaitUntil(10000, [] {
        const auto value = ReadValue(kLanman, L"AutoshareWks");
        return value && value->text == L"0";
    }));
    ASSERT_TRUE(app_.WaitIdle(main_));
    EXPECT_EQ(CheckState(main_, C::AdminSharesBox), BST_CHECKED);
}

// Closing compares the account boxes with the machine: it waits for an answer still due, the
// window saying so, and closes once the answer is in.
TEST_F(Closing, ACloseRequestWhileAnAccountQueryIsDueWaitsForItsAnswer) {
    ASSERT_TRUE(SetAccount(kGuestAccount, false));
    ASSERT_TRUE(SetAccount(kHelpAccount, true));
    HeldAccountQuery hold(kGuestAccount);
    ASSERT_TRUE(hold.held);
    ASSERT_TRUE(Launch(L""));
    ASSERT_TRUE(PostMessageW(main_, WM_CLOSE, 0, 0));
    EXPECT_NE(app_.WaitForWindow(kPleaseWaitWindowClass), nullptr);
    Sleep(500);
    EXPECT_TRUE(IsWindow(main_));
    EXPECT_TRUE(app_.Running());
    ASSERT_TRUE(hold.Release());
    EXPECT_TRUE(WaitUntil(30000, [&] { return !app_.Running(); }));
    EXPECT_EQ(app_.ExitCode(), 0u);
}

}  // namespace
}  // namespace tolvane::e2e
