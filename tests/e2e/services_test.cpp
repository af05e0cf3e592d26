// The service group: start types backed up and restored, and the port-135 gate.
#include <algorithm>

#include "Tolvane.h"

namespace tolvane::e2e {
namespace {

using C = ControlId;

const wchar_t* const kGateServices[] = {L"W32Time",  L"LmHosts",  L"PolicyAgent", L"MSDTC",
                                        L"Schedule", L"Dnscache", L"Messenger",   L"upnphost"};

class Services : public TolvaneTest {
  protected:
    static void SetStart(const wchar_t* service, DWORD start) {
        ASSERT_TRUE(SetDword(std::wstring(kServicesKey) + service, L"Start", start));
    }
    static std::optional<RegValue> Start(const wchar_t* name) {
        return ReadValue(std::wstring(kServicesKey) + L"W32Time", name);
    }
};

TEST_F(Services, TimeServiceIsDisabledThenGivenBackItsStartType) {
    SetStart(L"W32Time", 2);
    DeleteValue(std::wstring(kServicesKey) + L"W32Time", L"StartKX");
    ASSERT_TRUE(ClearNetLog());
    ASSERT_TRUE(Launch());
    ASSERT_TRUE(Enabled(main_, C::Port123));
    ASSERT_TRUE(Click(main_, C::Port123));
    ASSERT_TRUE(Click(main_, C::PortsAppliquer));
    ASSERT_TRUE(app_.WaitIdle(main_));
    ASSERT_TRUE(Start(L"Start"));
    EXPECT_EQ(Start(L"Start")->text, L"4");
    ASSERT_TRUE(Start(L"StartKX"));
    EXPECT_EQ(Start(L"StartKX")->type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(Start(L"StartKX")->text, L"2");
    EXPECT_EQ(CheckState(main_, C::Port123), BST_CHECKED);
    EXPECT_FALSE(LabelIsBold(main_, C::PortsLabel2));

    ASSERT_TRUE(Click(main_, C::Port123));
    ASSERT_TRUE(Click(main_, C::PortsAppliquer));
    ASSERT_TRUE(app_.WaitIdle(main_));
    EXPECT_EQ(Start(L"Start")->text, L"2");
    EXPECT_FALSE(Start(L"StartKX"));
    EXPECT_EQ(CheckState(main_, C::Port123), BST_UNCHECKED);
    EXPECT_TRUE(WaitForNetCommand(L"net stop W32Time"));
    const std::vector<std::wstring> log = NetLog();
    EXPECT_EQ(std::count(log.begin(), log.end(), L"net stop W32Time"), 1);
}

TEST_F(Services, Port135IsOfferedOnlyWhileTheNinePortsAreClosed) {
    for (const wchar_t* service : kGateServices) {
        SetStart(service, 4);
    }
    ASSERT_TRUE(
        SetDword(std::wstring(kServicesKey) + L"Dnscache\\Parameters", L"MaxCachedSockets", 0));
    ASSERT_TRUE(
        SetDword(std::wstring(kServicesKey) + L"NetBT\\Parameters", L"SmbDeviceEnabled", 0));
    SetStart(L"SSDPSRV", 3);
    ASSERT_TRUE(Launch());
    EXPECT_TRUE(Enabled(main_, C::Port135));
    EXPECT_EQ(CheckState(main_, C::Port135), BST_UNCHECKED);
    Shoot(L"port135-available");

    SetStart(L"Messenger", 2);
    ASSERT_TRUE(Menu(main_, MenuId::VerifyAll));
    ASSERT_TRUE(app_.WaitIdle(main_));
    EXPECT_FALSE(Enabled(main_, C::Port135));
    EXPECT_EQ(CheckState(main_, C::Port1027), BST_UNCHECKED);
}

}  // namespace
}  // namespace tolvane::e2e
