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
    ASSERT_TRUE(Enabled(main_, C::Port123Box));
    ASSERT_TRUE(Click(main_, C::Port123Box));
    ASSERT_TRUE(Click(main_, C::ApplyServicesButton));
    ASSERT_TRUE(app_.WaitIdle(main_));
    ASSERT_TRUE(Start(L"Start"));
    EXPECT_EQ(Start(L"Start")->text, L"4");
    ASSERT_TRUE(Start(L"StartKX"));
    EXPECT_EQ(Start(L"StartKX")->type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(Start(L"StartKX")->text, L"2");
    EXPECT_EQ(CheckState(main_, C::Port123Box), BST_CHECKED);
    EXPECT_FALSE(LabelIsBold(main_, C::Port123Label));

    ASSERT_TRUE(Click(main_, C::Port123Box));
    ASSERT_TRUE(Click(main_, C::ApplyServicesButton));
    ASSERT_TRUE(app_.WaitIdle(main_));
    EXPECT_EQ(Start(L"Start")->text, L"2");
    EXPECT_FALSE(Start(L"StartKX"));
    EXPECT_EQ(CheckState(main_, C::Port123Box), BST_UNCHECKED);
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
    EXPECT_TRUE(Enabled(main_, C::Port135Box));
    EXPECT_EQ(CheckState(main_, C::Port135Box), BST_UNCHECKED);
    Shoot(L"port135-available");

    SetStart(L"Messenger", 2);
    ASSERT_TRUE(Menu(main_, MenuId::VerifyAll));
    ASSERT_TRUE(app_.WaitIdle(main_));
    EXPECT_FALSE(Enabled(main_, C::Port135Box));
    EXPECT_EQ(CheckState(main_, C::Port1027Box), BST_UNCHECKED);
}

// Two network interfaces, one with NetBIOS from DHCP and one without the value: both switched
// off with LmHosts, and each brought back as it was.
TEST_F(Services, NetbiosIsSwitchedOffOnEveryInterfaceAndEachComesBackAsItWas) {
    const std::wstring interfaces = std::wstring(kServicesKey) + L"NetBT\\Parameters\\Interfaces\\";
    const std::wstring first = interfaces + L"Tcpip_{0C5AB6F2-1D11-4B4B-9E57-3D2B5E0A1F01}";
    const std::wstring second = interfaces + L"Tcpip_{7E1D0A44-8C3E-4F0B-A7B5-6B2C91D4E202}";
    ASSERT_TRUE(DeleteKey(std::wstring(kServicesKey) + L"NetBT"));
    ASSERT_TRUE(SetDword(first, L"NetbiosOptions", 0));
    ASSERT_TRUE(SetDword(second, L"EnableDhcp", 1));
    SetStart(L"LmHosts", 2);
    const auto netbt = Snapshot(std::wstring(kServicesKey) + L"NetBT");
    const auto lmHosts = Snapshot(std::wstring(kServicesKey) + L"LmHosts");
    ASSERT_TRUE(Launch());
    ASSERT_TRUE(Enabled(main_, C::NetBiosPortsBox));
    ASSERT_EQ(CheckState(main_, C::NetBiosPortsBox), BST_UNCHECKED);

    ASSERT_TRUE(Click(main_, C::NetBiosPortsBox));
    ASSERT_TRUE(Click(main_, C::ApplyServicesButton));
    ASSERT_TRUE(app_.WaitIdle(main_));
    for (const std::wstring& key : {first, second}) {
        const auto value = ReadValue(key, L"NetbiosOptions");
        ASSERT_TRUE(value) << std::string(key.begin(), key.end());
        EXPECT_EQ(value->type, static_cast<DWORD>(REG_DWORD));
        EXPECT_EQ(value->text, L"2");
    }
    EXPECT_EQ(ReadValue(std::wstring(kServicesKey) + L"LmHosts", L"Start")->text, L"4");
    EXPECT_EQ(CheckState(main_, C::NetBiosPortsBox), BST_CHECKED);
    EXPECT_FALSE(LabelIsBold(main_, C::NetBiosPortsLabel));
    Shoot(L"netbios-off");

    ASSERT_TRUE(Click(main_, C::NetBiosPortsBox));
    ASSERT_TRUE(Click(main_, C::ApplyServicesButton));
    ASSERT_TRUE(app_.WaitIdle(main_));
    EXPECT_EQ(CheckState(main_, C::NetBiosPortsBox), BST_UNCHECKED);
    EXPECT_EQ(Snapshot(std::wstring(kServicesKey) + L"NetBT"), netbt);
    EXPECT_EQ(Snapshot(std::wstring(kServicesKey) + L"LmHosts"), lmHosts);
}

// Wine reports a domain controller: the one question lists what Time 123 would break there, No
// by default, and No leaves the time service alone while the messenger is switched off.
TEST_F(Services, OnADomainControllerApplyingTimeAsksFirstAndNoLeavesItAlone) {
    SetStart(L"W32Time", 2);
    SetStart(L"Messenger", 2);
    ASSERT_TRUE(ActAsDomainController());
    ASSERT_TRUE(app_.Start(L"-noaccount"));
    main_ = app_.WaitForMainWindow();
    ASSERT_NE(main_, nullptr);
    ASSERT_TRUE(Click(main_, C::Port123Box));
    ASSERT_TRUE(Click(main_, C::Port1027Box));
    ASSERT_TRUE(PostClick(main_, C::ApplyServicesButton));
    const HWND box = app_.WaitForMessageBox();
    ASSERT_NE(box, nullptr);
    const std::wstring text = MessageBoxText(box);
    EXPECT_TRUE(text.starts_with(L"This computer is a domain controller."));
    EXPECT_EQ(DefaultButton(box), IDNO);
    EXPECT_TRUE(SaveScreenshot(box, L"domain-caution"));
    ASSERT_TRUE(Answer(box, IDNO));
    ASSERT_TRUE(app_.WaitIdle(main_));
    EXPECT_EQ(Start(L"Start")->text, L"2");
    EXPECT_EQ(ReadValue(std::wstring(kServicesKey) + L"Messenger", L"Start")->text, L"4");
    EXPECT_EQ(CheckState(main_, C::Port123Box), BST_UNCHECKED);
    EXPECT_EQ(CheckState(main_, C::Port1027Box), BST_CHECKED);
}

}  // namespace
}  // namespace tolvane::e2e
