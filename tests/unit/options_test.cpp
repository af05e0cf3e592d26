#include <gtest/gtest.h>

#include "fakes/Harness.h"
#include "options/OptionsController.h"
#include "system/SystemInfo.h"

namespace tolvane::testing {
namespace {

using O = OptionsControlId;

constexpr const wchar_t* kPack[] = {L"scesetup.inf", L"immc.exe",  L"regsvr32.exe",
                                    L"scefiles.inf", L"mssce.cab", L"setup.inf"};
constexpr wchar_t kDesignedNotice[] =
    L"For security reasons, better set your filesystem to NTFS, you could then use all the "
    L"options available in the software.";
constexpr wchar_t kNtfsNotice[] =
    L"Your filesystem is already NTFS, you can access all the options available in the "
    L"software.";

struct Options : Harness {
    OptionsController options{state, machine};
    explicit Options(const wchar_t* fileSystem = L"NTFS") {
        system.drives = {{L'C', fileSystem}};
        for (const wchar_t* file : kPack) {
            system.files[std::wstring(L"C:\\Tools\\") + file] = "";
        }
    }
    bool Enabled(O id) const { return options.At(id).enabled; }
};

TEST(OptionsWindow, LoadShowsTheFileSystemAndOffersWhatThisMachineCanUse) {
    struct Case {
        const char* what;
        const wchar_t* fileSystem;
        VersionInfo version;
        const wchar_t* presentInSystem32;  // gpedit.msc or wsecedit.dll, or none
        const wchar_t* missingPackFile;
        bool ntfs;
        bool install;
    };
    const VersionInfo xp{true, 5, 1, 2};
    const Case cases[] = {
        {"XP Home on NTFS with the pack", L"NTFS", xp, nullptr, nullptr, true, true},
        {"FAT32", L"FAT32", xp, nullptr, nullptr, false, true},
        {"the name in lower case is not NTFS", L"ntfs", xp, nullptr, nullptr, false, true},
        {"one pack file missing", L"NTFS", xp, nullptr, L"mssce.cab", true, false},
        {"pack already installed", L"NTFS", xp, L"wsecedit.dll", nullptr, true, false},
        {"XP Professional", L"NTFS", xp, L"gpedit.msc", nullptr, true, false},
        {"Windows 2000", L"NTFS", {true, 5, 0, 2}, nullptr, nullptr, true, false},
    };
    for (const Case& c : cases) {
        Options h(c.fileSystem);
        h.system.version = c.version;
        if (c.presentInSystem32) {
            h.system.files[std::wstring(L"C:\\WINDOWS\\System32\\") + c.presentInSystem32] = "";
        }
        if (c.missingPackFile) {
            h.system.files.erase(std::wstring(L"C:\\Tools\\") + c.missingPackFile);
        }
        h.options.Load();
        EXPECT_EQ(h.options.At(O::FileSystemLabel).caption,
                  std::wstring(L"Your filesystem is ") + c.fileSystem + L".")
            << c.what;
        EXPECT_EQ(h.options.At(O::SecurityNoticeLabel).caption,
                  c.ntfs ? kNtfsNotice : kDesignedNotice)
            << c.what;
        for (O id : {O::ConvertAdviceLabel, O::RestartLabel, O::ConvertButton}) {
            EXPECT_EQ(h.Enabled(id), !c.ntfs) << c.what;
        }
        EXPECT_FALSE(h.Enabled(O::RestartButton)) << c.what;
        for (O id : {O::SecurityTabLabel, O::InstallSecurityTabButton}) {
            EXPECT_EQ(h.Enabled(id), c.install) << c.what;
        }
        EXPECT_TRUE(h.Enabled(O::CloseButton)) << c.what;
    }
}

TEST(OptionsWindow, ConversionOffersTheRestartOnceConvertHasEndedHoweverItEnded) {
    struct Case {
        unsigned long exitCode;
        const wchar_t* message;  // null: none
    };
    const Case cases[] = {
        {0, nullptr},
        // Declined, failed, or scheduled for the next start: the restart stays offered.
        {1,
         L"convert ended with the exit code 1: drive C: may not be converted to NTFS. If "
         L"convert scheduled the conversion for the next start, the restart carries it out."},
        {3221225786,
         L"convert ended with the exit code 3221225786: drive C: may not be "
         L"converted to NTFS. If convert scheduled the conversion for the next "
         L"start, the restart carries it out."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.exitCode);
        Options h(L"FAT32");
        h.options.Load();
        bool ended = false;
        h.system.endsInTime = [&](const std::wstring&) { return ended; };
        h.system.exitCodes[L"convert C: /FS:NTFS"] = c.exitCode;
        EXPECT_TRUE(h.options.Click(O::ConvertButton));
        ASSERT_EQ(h.system.started.size(), 1u);
        EXPECT_EQ(h.system.started[0].commandLine, L"convert C: /FS:NTFS");
        EXPECT_EQ(h.system.started[0].style, WindowStyle::Minimized);
        EXPECT_FALSE(h.Enabled(O::ConvertButton));
        EXPECT_TRUE(h.options.WatchConversion());
        EXPECT_FALSE(h.Enabled(O::RestartButton));
        ended = true;
        EXPECT_FALSE(h.options.WatchConversion());
        EXPECT_TRUE(h.Enabled(O::RestartButton));
        EXPECT_FALSE(h.options.WatchConversion());  // told once
        if (c.message) {
            ASSERT_EQ(h.host.messages.size(), 1u);
            EXPECT_EQ(h.host.messages[0].text, c.message);
            EXPECT_EQ(h.host.messages[0].style, MbOk | MbIconExclamation);
        } else {
            EXPECT_TRUE(h.host.messages.empty());
        }
        EXPECT_TRUE(h.system.exitRequests.empty());
    }

    Options failing(L"FAT32");
    failing.options.Load();
    failing.system.commandsStart = false;
    EXPECT_TRUE(failing.options.Click(O::ConvertButton));
    EXPECT_TRUE(failing.Enabled(O::ConvertButton));
    EXPECT_EQ(failing.host.messages.size(), 1u);
}

TEST(OptionsWindow, InstallAsksWithTheMainWindowHiddenAndStartsThePackSetupOnYes) {
    for (const int answer : {IdNo, IdYes}) {
        Options h;
        h.options.Load();
        h.host.answers = {answer};
        EXPECT_TRUE(h.options.Click(O::InstallSecurityTabButton));
        ASSERT_EQ(h.host.messages.size(), 1u);
        EXPECT_EQ(h.host.messages[0].title, L"Security Pack installation");
        EXPECT_EQ(h.host.messages[0].style, MbYesNo | MbIconExclamation);
        EXPECT_EQ(h.host.messages[0].text,
                  L"This will install the XP Home Security Tab pack\r\n\r\nImportant : when you "
                  L"are prompetd to modify Esent.dll, answer Yes to keep the English "
                  L"version.\r\nYou will have to restart the system after you installed the "
                  L"package.\r\n\r\nAre you ready?");
        EXPECT_EQ(h.host.showCalls, (std::vector<bool>{false, true}));
        EXPECT_EQ(h.system.commandLines(),
                  answer == IdYes
                      ? std::vector<std::wstring>{L"C:\\WINDOWS\\System32\\rundll32.exe "
                                                  L"setupapi,InstallHinfSection DefaultInstall "
                                                  L"132 C:\\Tools\\setup.inf"}
                      : std::vector<std::wstring>{});
        EXPECT_TRUE(h.Enabled(O::InstallSecurityTabButton));
    }
}

// The options, about and listening-ports windows alike.
TEST(OwnedWindows, KeepTheMainWindowDisabledUntilTheyClose) {
    for (const auto& [entry, window] : {std::pair{MenuId::Options, OwnedWindow::Options},
                                        {MenuId::About, OwnedWindow::About},
                                        {MenuId::ListeningPorts, OwnedWindow::Ports}}) {
        Harness h;
        EXPECT_TRUE(h.main.Menu(entry));
        EXPECT_EQ(h.host.opened, std::vector<OwnedWindow>{window});
        EXPECT_FALSE(h.host.enableCalls.back());
        EXPECT_TRUE(h.main.CloseMustWait());
        h.main.OwnedWindowClosed();
        EXPECT_TRUE(h.host.enableCalls.back());
        EXPECT_FALSE(h.main.CloseMustWait());
    }
}

}  // namespace
}  // namespace tolvane::testing
