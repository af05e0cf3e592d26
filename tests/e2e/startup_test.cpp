// Start-up on each kind of machine: the window and its controls, the refusal, FAT32.
#include "Tolvane.h"
#include "model/ControlLayout.h"

namespace tolvane::e2e {
namespace {

using C = ControlId;

class Startup : public TolvaneTest {};

TEST_F(Startup, ShowsTheWholeWindowOnXp) {
    ASSERT_TRUE(Launch());
    EXPECT_EQ(Title(main_), L"Tolvane");
    RECT client;
    GetClientRect(main_, &client);
    EXPECT_EQ(client.right, TwipsToPixels(kClientWidthTwips, 96));
    // Every control where the design puts it, 15 twips to the pixel at 96 DPI.
    for (const ControlLayout& control : MainWindowLayout()) {
        SCOPED_TRACE(DialogId(control.id));
        const TwipRect twips = WindowRectTwips(control);
        const RECT rect = ClientRectOf(main_, control.id);
        EXPECT_EQ(rect.left, TwipsToPixels(twips.left, 96));
        EXPECT_EQ(rect.top, TwipsToPixels(twips.top, 96));
        if (control.kind != ControlKind::Picture) {
            EXPECT_EQ(rect.right - rect.left, TwipsToPixels(twips.width, 96));
            EXPECT_EQ(rect.bottom - rect.top, TwipsToPixels(twips.height, 96));
        }
        if (control.kind == ControlKind::Button || control.kind == ControlKind::Frame) {
            EXPECT_EQ(Text(main_, control.id), control.caption);
        }
    }
    EXPECT_FALSE(Enabled(main_, C::GuestAccountBox));
    EXPECT_FALSE(Enabled(main_, C::HelpAssistantBox));
    EXPECT_TRUE(Enabled(main_, C::AdminSharesBox));
    EXPECT_TRUE(Enabled(main_, C::ApplySharesButton));
    // Wine has no gpedit.msc: this is XP Home, where simple sharing cannot be turned off.
    EXPECT_FALSE(Enabled(main_, C::SimpleFileSharingBox));
    EXPECT_EQ(Text(main_, C::NetBiosPortsLabel), L"Ports 137, 138 UDP\r\net 139 TCP");
    Shoot(L"main-window-winxp");
}

TEST_F(Startup, TheTabKeyFollowsTheDesignedOrder) {
    ASSERT_TRUE(Launch());
    const C designed[] = {C::RestartButton,        C::ApplyServicesButton, C::ApplyAccountsButton,
                          C::ApplySharesButton,    C::SelectAllSharesBox,  C::SelectAllAccountsBox,
                          C::SelectAllServicesBox, C::EveryoneRightsBox,   C::SimpleFileSharingBox,
                          C::AdminSharesBox,       C::RemoteAdminBox,      C::FolderSharingBox,
                          C::PrinterSharingBox,    C::GuestAccountBox,     C::HelpAssistantBox,
                          C::AnonymousAccessBox,   C::RemoteRegistryBox,   C::HelpTextBox,
                          C::Port123Box,           C::Port500Box,          C::Port1023Box,
                          C::Port5000Box,          C::Port135Box,          C::NetBiosPortsBox,
                          C::Port445Box,           C::Port1024TcpBox,      C::Port1024UdpBox,
                          C::Port1027Box,          C::Port1900Box};
    // The Tab key passes over disabled controls.
    std::vector<HWND> expected;
    for (C id : designed) {
        if (Enabled(main_, id)) {
            expected.push_back(Control(main_, id));
        }
    }
    ASSERT_FALSE(expected.empty());
    std::vector<HWND> visited{expected.front()};
    for (HWND next = GetNextDlgTabItem(main_, expected.front(), FALSE);
         next && next != expected.front() && visited.size() <= expected.size();
         next = GetNextDlgTabItem(main_, next, FALSE)) {
        visited.push_back(next);
    }
    EXPECT_EQ(visited, expected);
}

TEST_F(Startup, RefusesWindows7WithItsMessageOnly) {
    const auto before = Snapshot(L"SYSTEM\\CurrentControlSet");
    const auto softwareBefore = Snapshot(L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies");
    ASSERT_TRUE(SetWindowsVersion(L"win7"));
    ASSERT_TRUE(app_.Start(L""));
    const HWND box = app_.WaitForMessageBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(Title(box), L"Tolvane");
    EXPECT_EQ(MessageBoxText(box),
              L"This software only works with the following operating systems : 2000 - XP Home - "
              L"XP Pro - 2000 server and 2003 server.");
    EXPECT_TRUE(HasButton(box, IDOK));
    EXPECT_FALSE(HasButton(box, IDCANCEL));
    EXPECT_EQ(FindProcessWindow(app_.pid(), kMainWindowClass, true), nullptr);
    EXPECT_TRUE(SaveScreenshot(box, L"refusal-win7"));
    ASSERT_TRUE(Answer(box, IDOK));
    ASSERT_TRUE(app_.WaitForExit());
    EXPECT_EQ(Snapshot(L"SYSTEM\\CurrentControlSet"), before);
    EXPECT_EQ(Snapshot(L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies"), softwareBefore);
    EXPECT_TRUE(NetLog().empty());
}

class SupportedVersion : public TolvaneTest,
                         public ::testing::WithParamInterface<const wchar_t*> {};

TEST_P(SupportedVersion, Starts) {
    ASSERT_TRUE(Launch(L"-noaccount", GetParam()));
    EXPECT_EQ(Title(main_), L"Tolvane");
}

// winxp64 and win2003 are the x64 editions; win2k, which has none, shows a 64-bit build its rules.
INSTANTIATE_TEST_SUITE_P(Startup, SupportedVersion,
                         ::testing::Values(L"win2k", L"win2003", L"winxp64"));

// Run in a prefix whose drive C: reports FAT32.
TEST_F(Startup, OnFat32TheShareGroupIsUnavailableAndTheRestWorks) {
    ASSERT_TRUE(Fat32Drive());
    ASSERT_TRUE(DeleteValue(L"SYSTEM\\CurrentControlSet\\Services\\NetBT\\Parameters",
                            L"SmbDeviceEnabled"));
    ASSERT_TRUE(Launch());
    for (C id : {C::SimpleFileSharingBox, C::AdminSharesBox, C::RemoteAdminBox, C::FolderSharingBox,
                 C::PrinterSharingBox, C::SelectAllSharesBox, C::ApplySharesButton}) {
        EXPECT_FALSE(Enabled(main_, id));
    }
    ASSERT_TRUE(Enabled(main_, C::Port445Box));
    ASSERT_TRUE(Click(main_, C::Port445Box));
    ASSERT_TRUE(Click(main_, C::ApplyServicesButton));
    ASSERT_TRUE(app_.WaitIdle(main_));
    const auto smb =
        ReadValue(L"SYSTEM\\CurrentControlSet\\Services\\NetBT\\Parameters", L"SmbDeviceEnabled");
    ASSERT_TRUE(smb);
    EXPECT_EQ(smb->type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(smb->text, L"0");
    EXPECT_EQ(CheckState(main_, C::Port445Box), BST_CHECKED);
    Shoot(L"main-window-fat32");
}

}  // namespace
}  // namespace tolvane::e2e
