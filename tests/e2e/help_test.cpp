// The help area under the real pointer, the about window, and the manual in the help viewer.
#include "Tolvane.h"
#include "help/About.h"

namespace tolvane::e2e {
namespace {

using C = ControlId;
using A = AboutControlId;

class Help : public TolvaneTest {
  protected:
    bool Shows(const std::wstring& heading, const std::wstring& textStart) {
        return WaitUntil(5000, [&] {
            return Text(main_, C::HelpHeadingLabel) == heading &&
                   Text(main_, C::HelpTextBox).starts_with(textStart);
        });
    }
    HWND OpenAbout() { return OpenOwned(MenuId::About, kAboutDesign.windowClass); }
};

TEST_F(Help, ThePointerShowsTheHelpOfWhatItIsOver) {
    ASSERT_TRUE(Launch());
    struct Case {
        C control;
        const wchar_t* heading;
        const wchar_t* textStart;
    };
    const Case cases[] = {
        {C::AdminSharesLabel, L"Administrative", L"Closes default administrative shares"},
        {C::AdminSharesBox, L"Administrative", L"Closes default administrative shares"},
        // Without the probe the guest box is disabled: it still explains itself.
        {C::GuestAccountBox, L"Guest account", L"Impedes any user to get a connection"},
        {C::RestartButton, L"Restart", L"Restarts your PC"},
        {C::Port135Box, L"Port 135 RPC", L"This service allows Remote Procedure Calls"},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(PointAt(Control(main_, c.control))) << static_cast<int>(c.control);
        EXPECT_TRUE(Shows(c.heading, c.textStart))
            << static_cast<int>(c.control) << ": " << Text(main_, C::HelpHeadingLabel);
    }
    EXPECT_FALSE(Enabled(main_, C::GuestAccountBox));
    EXPECT_EQ(FontCentipoints(Control(main_, C::HelpTextBox)), 900);
    Shoot(L"help-port135");
    // The frame itself, beside its controls, empties the help area.
    RECT frame = ClientRectOf(main_, C::ServicesFrame);
    POINT inside{frame.left + 4, (frame.top + frame.bottom) / 2};
    ClientToScreen(main_, &inside);
    ASSERT_TRUE(PointAtScreen(inside));
    EXPECT_TRUE(Shows(L"", L""));
    EXPECT_EQ(Text(main_, C::HelpTextBox), L"");
}

TEST_F(Help, TheAboutWindowShowsTheVersionStartsTheToolAndGivesTheMainWindowBack) {
    // The tool's path as Windows may keep it: quoted already, with an argument after it (the
    // stand-in viewer records its command line).
    wchar_t windows[MAX_PATH];
    const UINT length = GetWindowsDirectoryW(windows, MAX_PATH);
    const std::wstring tool = L"\"" + std::wstring(windows, length) + L"\\hh.exe\" /nfo";
    ASSERT_TRUE(SetString(L"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", L"PATH", tool));
    ASSERT_TRUE(ClearNetLog());
    ASSERT_TRUE(Launch());
    HWND about = OpenAbout();
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(Title(about), L"About Tolvane...");
    // The version, then the Windows it runs on.
    EXPECT_EQ(Text(GetDlgItem(about, ChildIdOf(kAboutDesign, A::VersionLabel))),
              L"Version 1.6.212\r\nWindows XP Service Pack 3");
    EXPECT_EQ(Text(GetDlgItem(about, ChildIdOf(kAboutDesign, A::TitleLabel))), L"Tolvane");
    EXPECT_TRUE(SaveScreenshot(about, L"about"));
    ASSERT_TRUE(PostMessageW(GetDlgItem(about, ChildIdOf(kAboutDesign, A::SystemInfoButton)),
                             BM_CLICK, 0, 0));
    EXPECT_TRUE(WaitForNetCommand(tool)) << "the tool was not started as written";
    ASSERT_TRUE(
        PostMessageW(GetDlgItem(about, ChildIdOf(kAboutDesign, A::OkButton)), BM_CLICK, 0, 0));
    EXPECT_TRUE(OwnedGone(about));
    about = OpenAbout();
    ASSERT_TRUE(PostMessageW(about, WM_SYSCOMMAND, SC_CLOSE, 0));
    EXPECT_TRUE(OwnedGone(about));
    EXPECT_TRUE(IsWindowEnabled(main_));
}

TEST_F(Help, TheManualIsWrittenBesideTheProgramForTheViewerAndGoesAtClosing) {
    constexpr wchar_t kManual[] = L"C:\\Tolvane\\Aide.chm";
    wchar_t windows[MAX_PATH];
    const UINT length = GetWindowsDirectoryW(windows, MAX_PATH);
    const std::wstring viewer = std::wstring(windows, length) + L"\\hh.exe \"" + kManual + L"\"";
    ASSERT_TRUE(ClearNetLog());
    ASSERT_TRUE(Launch());
    ASSERT_TRUE(Menu(main_, MenuId::HelpContents));
    ASSERT_TRUE(app_.WaitIdle(main_));
    EXPECT_TRUE(WaitForNetCommand(viewer)) << "the stand-in viewer got no such command line";
    EXPECT_NE(GetFileAttributesW(kManual), INVALID_FILE_ATTRIBUTES);
    ASSERT_TRUE(Menu(main_, MenuId::Quit));
    ASSERT_TRUE(app_.WaitForExit());
    EXPECT_EQ(GetFileAttributesW(kManual), INVALID_FILE_ATTRIBUTES);

    // A viewer that still holds the manual at closing keeps it, and nobody is asked anything.
    ASSERT_TRUE(Launch());
    ASSERT_TRUE(Menu(main_, MenuId::HelpContents));
    ASSERT_TRUE(app_.WaitIdle(main_));
    {
        win32::UniqueHandle reader(CreateFileW(kManual, GENERIC_READ, FILE_SHARE_READ, nullptr,
                                               OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(reader);
        ASSERT_TRUE(Menu(main_, MenuId::Quit));
        EXPECT_TRUE(app_.WaitForExit());
        EXPECT_NE(GetFileAttributesW(kManual), INVALID_FILE_ATTRIBUTES);
    }
    EXPECT_TRUE(DeleteFileW(kManual));
}

}  // namespace
}  // namespace tolvane::e2e
