#include <gtest/gtest.h>

#include "fakes/Harness.h"
#include "help/About.h"
#include "help/ContextHelp.h"
#include "help/WebLinks.h"
#include "model/ControlLayout.h"
#include "system/SystemInfo.h"

namespace tolvane::testing {
namespace {

using C = ControlId;

constexpr wchar_t kT1[] =
    L"This options releases the Security tab in the files/folders properties.\r\n\r\nWhen you "
    L"set this option, network users have to authenticate like users (login/password)";
constexpr wchar_t kRemoteRegistryHelp[] =
    L"Forbids any remote connection to the registry in order to avoid any user to control your "
    L"PC.";

struct Help : Harness {
    Help() { main.ReadCommandLine(L"-noaccount"); }
    std::wstring Heading() const { return controls.Caption(C::HelpHeadingLabel); }
    std::wstring Text() const { return controls.Caption(C::HelpTextBox); }
};

TEST(ContextHelp, ShowsTheRowOfTheControlUnderThePointer) {
    struct Step {
        std::optional<C> control;  // none: the window's background
        const wchar_t* heading;
        const wchar_t* textStart;  // the text begins so; null: the text is empty
        int centipoints;
    };
    struct Case {
        const char* what;
        const wchar_t* fileSystem;
        std::vector<Step> steps;
    };
    const Case cases[] = {
        {"a share label on FAT32 falls back; its box and select-all do not",
         L"FAT32",
         {{C::AdminSharesLabel, L"Administrative", kSharesUnavailableHelp, 1000},
          {C::AdminSharesBox, L"Administrative", L"Closes default administrative shares", 1000},
          {C::SelectAllSharesLabel, L"Select all", L"Ticks off all the boxes", 1000}}},
        {"T1 keeps its blank line on NTFS",
         L"NTFS",
         {{C::SimpleFileSharingLabel, L"Single share (Xp Pro)", kT1, 1000}}},
        {"the two-line heading is the label's caption now",
         L"NTFS",
         {{C::NetBiosPortsBox, L"Ports 137, 138 UDP\r\net 139 TCP", L"Closes TCP or UDP NetBios",
           1000}}},
        {"port 135 in smaller type, then a frame empties both at 10 points",
         L"NTFS",
         {{C::Port135Box, L"Port 135 RPC", L"This service allows Remote Procedure Calls", 900},
          {C::ServicesFrame, L"", nullptr, 1000}}},
        {"the text box keeps the last row",
         L"NTFS",
         {{C::RemoteRegistryBox, L"Remote registry access", kRemoteRegistryHelp, 1000},
          {C::HelpTextBox, L"Remote registry access", kRemoteRegistryHelp, 1000},
          {C::LogoPicture, L"Remote registry access", kRemoteRegistryHelp, 1000},
          {C::RestartNoticeLabel, L"Remote registry access", kRemoteRegistryHelp, 1000}}},
        {"buttons have fixed headings; the background empties",
         L"NTFS",
         {{C::RestartButton, L"Restart", L"Restarts your PC", 1000},
          {C::ApplyServicesButton, L"Apply Services", L"Applies services modifications", 1000},
          {std::nullopt, L"", nullptr, 1000}}},
        {"SSDP has a text of its own",
         L"NTFS",
         {{C::Port1900Label, L"SSPD 1900", L"Stops the SSDP", 1000}}},
    };
    for (const Case& c : cases) {
        Help h;
        h.system.drives = {{L'C', c.fileSystem}};
        ASSERT_TRUE(h.main.LoadFromMachine());
        for (const Step& step : c.steps) {
            h.main.PointerOver(step.control);
            EXPECT_EQ(h.Heading(), step.heading) << c.what;
            if (step.textStart) {
                EXPECT_TRUE(h.Text().starts_with(step.textStart)) << c.what << ": " << h.Text();
            } else {
                EXPECT_EQ(h.Text(), L"") << c.what;
            }
            EXPECT_EQ(h.controls.Centipoints(C::HelpTextBox), step.centipoints) << c.what;
        }
    }
}

TEST(ContextHelp, EveryControlOfTheGroupsHasARow) {
    Help h;
    ASSERT_TRUE(h.main.LoadFromMachine());
    int rows = 0;
    for (int i = 0; i < kControlCount; ++i) {
        const C id = static_cast<C>(i);
        h.controls.SetCaption(C::HelpHeadingLabel, L"-");
        h.main.PointerOver(id);
        rows += h.Heading() != L"-";
    }
    // 56 with the window's background: every control but the help area, the logo and the
    // restart notice.
    h.controls.SetCaption(C::HelpHeadingLabel, L"-");
    h.main.PointerOver(std::nullopt);
    rows += h.Heading() != L"-";
    EXPECT_EQ(rows, 56);
}

TEST(ContextHelp, ThePointerFindsTheControlBeforeTheFrameItLiesOn) {
    const TwipRect box = WindowRectTwips(LayoutOf(C::AdminSharesBox));
    EXPECT_EQ(ControlAt(box.left + 10, box.top + 10), C::AdminSharesBox);
    const TwipRect frame = WindowRectTwips(LayoutOf(C::ServicesFrame));
    EXPECT_EQ(ControlAt(frame.left + 30, frame.top + frame.height / 2), C::ServicesFrame);
    EXPECT_FALSE(ControlAt(frame.left - 30, frame.top - 30));
}

TEST(About, VersionLeavesOutTheBuildNumber) {
    EXPECT_EQ(VersionText({1, 6, 0, 212}), L"Version 1.6.212");
    EXPECT_EQ(VersionText({10, 0, 7, 3}), L"Version 10.0.3");
}

TEST(ReadLocalMachineText, ReadsTextAndNumbersAndNoTextOfOtherTypes) {
    constexpr wchar_t kKey[] = L"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
    struct Case {
        const char* what;
        std::optional<RawValue> value;  // nothing: no such value
        std::optional<std::wstring> text;
    };
    const Case cases[] = {
        {"text", RawValue{RawSz, {'C', 0, ':', 0, 0, 0, 'x', 0}}, L"C:"},
        {"text without its terminator", RawValue{RawSz, {'a', 0, 'b', 0}}, L"ab"},
        {"number with the high bit", RawValue{RawDword, {0xFF, 0xFF, 0xFF, 0xFF}}, L"4294967295"},
        {"another type", RawValue{RawBinary, {1, 2}}, L""},
        {"missing value", std::nullopt, std::nullopt},
    };
    for (const Case& c : cases) {
        Harness h;
        if (c.value) {
            h.registry.SetRaw(std::wstring(kKey) + L"\\PATH", *c.value);
        }
        EXPECT_EQ(ReadLocalMachineText(h.reg, kKey, L"PATH"), c.text) << c.what;
    }
    Harness noKey;
    EXPECT_FALSE(ReadLocalMachineText(noKey.reg, L"SOFTWARE\\None", L"PATH"));
}

TEST(StartSystemInformation, StartsTheToolWhereWindowsSaysOrTellsItIsMissing) {
    constexpr wchar_t kPath[] = L"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO\\PATH";
    constexpr wchar_t kLocation[] = L"SOFTWARE\\Microsoft\\Shared Tools Location\\MSINFO";
    constexpr wchar_t kTool[] = L"C:\\Program Files\\MSInfo\\msinfo32.exe";
    struct Case {
        const char* what;
        const wchar_t* path;
        const wchar_t* location;
        bool toolFileThere;
        bool starts;
        const wchar_t* started;  // the command line, or null
    };
    const Case cases[] = {
        {"PATH, started unchanged and as one program", kTool, nullptr, false, true,
         L"\"C:\\Program Files\\MSInfo\\msinfo32.exe\""},
        {"PATH, but the start fails", kTool, nullptr, false, false,
         L"\"C:\\Program Files\\MSInfo\\msinfo32.exe\""},
        {"PATH quoted already", L"\"C:\\Program Files\\MSInfo\\msinfo32.exe\"", nullptr, false,
         true, L"\"C:\\Program Files\\MSInfo\\msinfo32.exe\""},
        {"PATH quoted, with an argument", L"\"C:\\Program Files\\MSInfo\\msinfo32.exe\" /nfo x",
         nullptr, false, true, L"\"C:\\Program Files\\MSInfo\\msinfo32.exe\" /nfo x"},
        {"location with the tool", nullptr, L"C:\\Program Files\\MSInfo", true, true,
         L"\"C:\\Program Files\\MSInfo\\MSINFO32.EXE\""},
        {"location without the tool", nullptr, L"C:\\Program Files\\MSInfo", false, true, nullptr},
        {"neither", nullptr, nullptr, false, true, nullptr},
    };
    for (const Case& c : cases) {
        Harness h;
        if (c.path) {
            h.registry.SetString(kPath, c.path);
        }
        if (c.location) {
            h.registry.SetString(kLocation, c.location);
        }
        if (c.toolFileThere) {
            h.system.files[L"C:\\Program Files\\MSInfo\\MSINFO32.EXE"] = "";
        }
        h.system.commandsStart = c.starts;
        StartSystemInformation(h.machine);
        EXPECT_EQ(h.system.commandLines(),
                  c.started ? std::vector<std::wstring>{c.started} : std::vector<std::wstring>{})
            << c.what;
        for (const auto& started : h.system.started) {
            EXPECT_EQ(started.style, WindowStyle::Normal) << c.what;
        }
        const bool shown = !(c.started && c.starts);
        ASSERT_EQ(h.host.messages.size(), shown ? 1u : 0u) << c.what;
        if (shown) {
            EXPECT_EQ(h.host.messages[0].text, L"System informations are not available");
            EXPECT_EQ(h.host.messages[0].style, MbOk);
        }
    }
}

TEST(HelpMenu, WritesTheManualAndStartsTheViewerEveryTimeAndOpensTheForum) {
    Harness h;
    h.system.resources[{L"CHM", 102}] = "ITSF...";
    for (int time = 0; time < 2; ++time) {
        EXPECT_TRUE(h.main.Menu(MenuId::HelpContents));
    }
    EXPECT_EQ(h.system.files.at(L"C:\\Tools\\Aide.chm"), "ITSF...");
    EXPECT_EQ(h.system.commandLines(),
              std::vector<std::wstring>(2, L"C:\\WINDOWS\\hh.exe \"C:\\Tools\\Aide.chm\""));
    EXPECT_EQ(h.system.started[0].style, WindowStyle::Normal);
    EXPECT_TRUE(h.system.held.empty());

    EXPECT_TRUE(h.main.Menu(MenuId::Forum));
    ASSERT_EQ(h.system.opened.size(), 1u);
    EXPECT_EQ(h.system.opened[0].first, h.host.WindowHandle());
    EXPECT_EQ(h.system.opened[0].second, kForumUrl);
    EXPECT_NE(std::wstring(kForumUrl), kHomePageUrl);

    // The copy a viewer still holds from the first use is the same: left to it, and opened again.
    h.system.lockedFiles.insert(L"C:\\Tools\\Aide.chm");
    EXPECT_TRUE(h.main.Menu(MenuId::HelpContents));
    EXPECT_EQ(h.system.started.size(), 3u);
    EXPECT_TRUE(h.host.messages.empty());

    // A file that cannot be replaced is reported, and no viewer starts on it.
    h.system.files[L"C:\\Tools\\Aide.chm"] = "other";
    EXPECT_TRUE(h.main.Menu(MenuId::HelpContents));
    EXPECT_EQ(h.system.started.size(), 3u);
    ASSERT_EQ(h.host.messages.size(), 1u);
    EXPECT_NE(h.host.messages[0].text.find(L"C:\\Tools\\Aide.chm"), std::wstring::npos);
}

}  // namespace
}  // namespace tolvane::testing
