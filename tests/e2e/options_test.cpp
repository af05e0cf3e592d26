// The options window on an NTFS and on a FAT32 system drive, and each way of closing it.
#include "Tolvane.h"
#include "options/OptionsController.h"

namespace tolvane::e2e {
namespace {

using O = OptionsControlId;

class Options : public TolvaneTest {
  protected:
    HWND Open() { return OpenOwned(MenuId::Options, kOptionsDesign.windowClass); }
    static HWND Item(HWND options, O id) {
        return GetDlgItem(options, ChildIdOf(kOptionsDesign, id));
    }
    static bool On(HWND options, O id) { return IsWindowEnabled(Item(options, id)) != FALSE; }
};

TEST_F(Options, OnNtfsTheConversionIsGreyedAndEveryWayOfClosingGivesTheMainWindowBack) {
    ASSERT_TRUE(Launch());
    HWND options = Open();
    ASSERT_NE(options, nullptr);
    EXPECT_EQ(Title(options), L"File System options...");
    // The frames carry their captions themselves, for accessibility tools as for the eye.
    EXPECT_EQ(Text(Item(options, O::NtfsFrame)), L"NTFS Options");
    EXPECT_EQ(Text(Item(options, O::XpHomeFrame)), L"XP Home Options");
    EXPECT_EQ(Text(Item(options, O::FileSystemLabel)), L"Your filesystem is NTFS.");
    EXPECT_EQ(Text(Item(options, O::SecurityNoticeLabel)),
              L"Your filesystem is already NTFS, you can access all the options available in "
              L"the software.");
    for (O id : {O::ConvertAdviceLabel, O::RestartLabel, O::ConvertButton, O::RestartButton,
                 O::SecurityTabLabel, O::InstallSecurityTabButton}) {
        EXPECT_FALSE(On(options, id)) << static_cast<int>(id);
    }
    EXPECT_TRUE(On(options, O::CloseButton));
    EXPECT_TRUE(SaveScreenshot(options, L"options-ntfs"));

    ASSERT_TRUE(PostMessageW(Item(options, O::CloseButton), BM_CLICK, 0, 0));
    EXPECT_TRUE(OwnedGone(options));
    options = Open();
    ASSERT_TRUE(PostMessageW(options, WM_SYSCOMMAND, SC_CLOSE, 0));
    EXPECT_TRUE(OwnedGone(options));
    EXPECT_TRUE(IsWindowEnabled(main_));
}

TEST_F(Options, AltF4ClosesItAndGivesTheMainWindowBack) {
    ASSERT_TRUE(Launch());
    const HWND options = Open();
    ASSERT_NE(options, nullptr);
    ASSERT_TRUE(PressKeys(options, {VK_MENU, VK_F4}));
    EXPECT_TRUE(OwnedGone(options));
    EXPECT_TRUE(IsWindowEnabled(main_));
}

TEST_F(Options, OnFat32TheConversionStartsAndTheRestartIsOfferedOnceItEndedHoweverItEnded) {
    ASSERT_TRUE(Fat32Drive()) << "run this group with --fat32";
    ASSERT_TRUE(ClearNetLog());
    ASSERT_TRUE(Launch());
    const HWND options = Open();
    ASSERT_NE(options, nullptr);
    EXPECT_EQ(Text(Item(options, O::FileSystemLabel)), L"Your filesystem is FAT32.");
    EXPECT_TRUE(On(options, O::ConvertButton));
    EXPECT_FALSE(On(options, O::RestartButton));
    EXPECT_TRUE(SaveScreenshot(options, L"options-fat32"));

    ASSERT_TRUE(PostMessageW(Item(options, O::ConvertButton), BM_CLICK, 0, 0));
    EXPECT_TRUE(WaitForNetCommand(L"convert C: /FS:NTFS"));
    // The stand-in ends as a refused convert does, with exit code 1: the user is told, and the
    // restart is offered all the same.
    const HWND box = app_.WaitForMessageBox();
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(MessageBoxText(box).starts_with(L"convert ended with the exit code 1: drive C: "))
        << MessageBoxText(box);
    EXPECT_TRUE(Answer(box, IDOK));
    EXPECT_TRUE(On(options, O::RestartButton));
    EXPECT_FALSE(On(options, O::ConvertButton));
    EXPECT_TRUE(SaveScreenshot(options, L"options-fat32-converted"));
    ASSERT_TRUE(PostMessageW(Item(options, O::CloseButton), BM_CLICK, 0, 0));
    EXPECT_TRUE(OwnedGone(options));
}

}  // namespace
}  // namespace tolvane::e2e
