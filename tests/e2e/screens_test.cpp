// Every window a user meets, on each Windows version: its texts whole in their controls, and a
// picture of it to look at. In a 64-bit prefix win2k and winxp show the 64-bit build their rules
// (windows, labels, options), though neither has a 64-bit edition.
#include "Tolvane.h"
#include "help/About.h"
#include "model/ControlLayout.h"
#include "options/OptionsController.h"

namespace tolvane::e2e {
namespace {

using C = ControlId;
constexpr wchar_t kMenuClass[] = L"#32768";

std::string Narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

class Screens : public TolvaneTest, public ::testing::WithParamInterface<const wchar_t*> {
  protected:
    std::wstring Named(const wchar_t* what) const { return std::wstring(what) + L"-" + GetParam(); }

    // The main window's labels, in the weight each shows now.
    void ExpectMainTextsFit() {
        for (const ControlLayout& control : MainWindowLayout()) {
            if (control.kind == ControlKind::Label) {
                const HWND label = Control(main_, control.id);
                std::wstring why;
                EXPECT_TRUE(TextFits(label, kFontFace, FontCentipoints(label),
                                     LabelIsBold(main_, control.id), &why))
                    << GetParam() << ": \"" << Narrow(Text(label)) << "\" " << Narrow(why);
            }
        }
    }

    // A small window's labels and frames, opened from the menu, pictured and closed again.
    void ExpectSmallWindowFits(MenuId entry, const SmallWindowDesign& design, const wchar_t* shot) {
        const HWND window = OpenOwned(entry, design.windowClass);
        ASSERT_NE(window, nullptr);
        for (std::size_t i = 0; i < design.controls.size(); ++i) {
            const SmallControl& control = design.controls[i];
            if (control.kind != ControlKind::Label) {
                continue;
            }
            const HWND label = GetDlgItem(window, design.firstChildId + static_cast<int>(i));
            std::wstring why;
            EXPECT_TRUE(TextFits(label, control.face ? control.face : kFontFace,
                                 control.centipoints, control.bold, &why))
                << GetParam() << ": \"" << Narrow(Text(label)) << "\" " << Narrow(why);
        }
        Sleep(300);  // painted
        EXPECT_TRUE(SaveScreenshot(window, Named(shot)));
        ASSERT_TRUE(PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0));
        EXPECT_TRUE(OwnedGone(window));
    }
};

TEST_P(Screens, EveryWindowShowsItsTextsWhole) {
    // Both accounts active and the remote registry running: their boxes cleared, their two-line
    // labels bold.
    ASSERT_TRUE(SetAccount(kGuestAccount, true));
    ASSERT_TRUE(SetAccount(kHelpAccount, true));
    ASSERT_TRUE(SetDword(L"SYSTEM\\CurrentControlSet\\Services\\RemoteRegistry", L"Start", 2));
    ASSERT_TRUE(Launch(L"", GetParam()));
    ASSERT_TRUE(AccountsRead());
    EXPECT_TRUE(LabelIsBold(main_, C::RemoteRegistryLabel));
    ExpectMainTextsFit();
    Sleep(300);
    Shoot(Named(L"main"));

    // The Tools menu, both policy entries in it.
    ASSERT_TRUE(PressKeys(main_, {VK_MENU, 'T'}));
    ASSERT_TRUE(WaitUntil(5000, [&] { return FindProcessWindow(app_.pid(), kMenuClass); }));
    Sleep(300);
    Shoot(Named(L"tools"));
    ASSERT_TRUE(PressKeys(main_, {VK_ESCAPE}));
    ASSERT_TRUE(PressKeys(main_, {VK_ESCAPE}));
    ASSERT_TRUE(WaitUntil(5000, [&] { return !FindProcessWindow(app_.pid(), kMenuClass); }));
    ASSERT_TRUE(app_.WaitIdle(main_));

    ASSERT_TRUE(Menu(main_, MenuId::SavePolicy));
    const HWND save = WaitForDialog(L"Save as policy");
    ASSERT_NE(save, nullptr);
    Sleep(300);
    EXPECT_TRUE(SaveScreenshot(save, Named(L"save-policy")));
    ASSERT_TRUE(Answer(save, IDCANCEL));
    ASSERT_TRUE(app_.WaitIdle(main_));

    ExpectSmallWindowFits(MenuId::Options, kOptionsDesign, L"options");
    ExpectSmallWindowFits(MenuId::About, kAboutDesign, L"about");
}

INSTANTIATE_TEST_SUITE_P(Versions, Screens, ::testing::Values(L"winxp", L"win2k", L"win2003"),
                         [](const auto& info) { return Narrow(info.param); });

}  // namespace
}  // namespace tolvane::e2e
