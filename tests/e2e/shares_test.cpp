// The share group through the real window and registry.
#include "Tolvane.h"

namespace tolvane::e2e {
namespace {

using C = ControlId;
constexpr wchar_t kParameters[] = L"SYSTEM\\CurrentControlSet\\Services\\LanmanServer\\Parameters";

class Shares : public TolvaneTest {
  protected:
    void SetUp() override {
        DeleteValue(kParameters, L"AutoshareWks");
        DeleteValue(kParameters, L"AutoShareServer");
    }
};

TEST_F(Shares, AdministrativeSharesAppliedShowRegular) {
    ASSERT_TRUE(Launch());
    EXPECT_TRUE(LabelIsBold(main_, C::AdminSharesLabel));
    ASSERT_TRUE(Click(main_, C::AdminSharesBox));
    ASSERT_TRUE(Click(main_, C::ApplySharesButton));
    ASSERT_TRUE(app_.WaitIdle(main_));
    const auto value = ReadValue(kParameters, L"AutoshareWks");
    ASSERT_TRUE(value);
    EXPECT_EQ(value->type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(value->text, L"0");
    EXPECT_EQ(CheckState(main_, C::AdminSharesBox), BST_CHECKED);
    EXPECT_FALSE(LabelIsBold(main_, C::AdminSharesLabel));
    Shoot(L"shares-applied");
}

TEST_F(Shares, CheckAllAndSelectAllShowTheMachine) {
    ASSERT_TRUE(Launch());
    EXPECT_EQ(CheckState(main_, C::RemoteAdminBox), BST_UNCHECKED);
    ASSERT_TRUE(SetDword(kParameters, L"AutoShareServer", 0));
    ASSERT_TRUE(Menu(main_, MenuId::VerifyAll));
    ASSERT_TRUE(app_.WaitIdle(main_));
    EXPECT_EQ(CheckState(main_, C::RemoteAdminBox), BST_CHECKED);

    ASSERT_TRUE(Click(main_, C::SelectAllSharesBox));
    for (C box :
         {C::AdminSharesBox, C::RemoteAdminBox, C::FolderSharingBox, C::PrinterSharingBox}) {
        EXPECT_EQ(CheckState(main_, box), BST_CHECKED);
    }
    ASSERT_TRUE(Click(main_, C::SelectAllSharesBox));
    EXPECT_EQ(CheckState(main_, C::RemoteAdminBox), BST_CHECKED);
    for (C box : {C::AdminSharesBox, C::FolderSharingBox, C::PrinterSharingBox}) {
        EXPECT_EQ(CheckState(main_, box), BST_UNCHECKED);
    }
    EXPECT_FALSE(ReadValue(kParameters, L"AutoshareWks"));
}

TEST_F(Shares, ARefusedWriteIsReportedAndTheProgramGoesOn) {
    ASSERT_TRUE(DenyWrites(kParameters));
    ASSERT_TRUE(Launch());
    ASSERT_TRUE(Click(main_, C::AdminSharesBox));
    ASSERT_TRUE(PostClick(main_, C::ApplySharesButton));
    const HWND box = app_.WaitForMessageBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(Title(box), L"Tolvane");
    const std::wstring text = MessageBoxText(box);
    EXPECT_NE(text.find(std::wstring(L"HKLM\\") + kParameters + L"\\AutoshareWks"),
              std::wstring::npos)
        << text;
    EXPECT_NE(text.find(L"administrator"), std::wstring::npos) << text;
    EXPECT_TRUE(SaveScreenshot(box, L"refused-write"));
    ASSERT_TRUE(Answer(box, IDOK));
    ASSERT_TRUE(app_.WaitIdle(main_));
    EXPECT_TRUE(app_.Running());
    EXPECT_EQ(CheckState(main_, C::AdminSharesBox), BST_UNCHECKED);
    EXPECT_TRUE(AllowWrites(kParameters));
}

}  // namespace
}  // namespace tolvane::e2e
