// Port 135 closed with the registry scripts Tolvane carries, and reopened to what was there.
#include "Tolvane.h"

namespace tolvane::e2e {
namespace {

using C = ControlId;

constexpr wchar_t kOle[] = L"SOFTWARE\\Microsoft\\Ole";
constexpr wchar_t kRpc[] = L"SOFTWARE\\Microsoft\\Rpc";
constexpr wchar_t kRpcSs[] = L"SYSTEM\\CurrentControlSet\\Services\\RpcSs";
constexpr wchar_t kLinkage[] = L"SYSTEM\\CurrentControlSet\\Services\\Rpc\\Linkage";
// An administrator's own protocol list, which no script of Tolvane's holds.
constexpr wchar_t kAdminList[] = L"ncacn_ip_tcp\nncacn_http";

class Port135 : public TolvaneTest {
  protected:
    void SetUp() override {
        for (const wchar_t* service : {L"W32Time", L"LmHosts", L"PolicyAgent", L"MSDTC",
                                       L"Schedule", L"Dnscache", L"Messenger", L"upnphost"}) {
            ASSERT_TRUE(SetDword(std::wstring(kServicesKey) + service, L"Start", 4));
        }
        ASSERT_TRUE(
            SetDword(std::wstring(kServicesKey) + L"Dnscache\\Parameters", L"MaxCachedSockets", 0));
        ASSERT_TRUE(
            SetDword(std::wstring(kServicesKey) + L"NetBT\\Parameters", L"SmbDeviceEnabled", 0));
        ASSERT_TRUE(SetString(kOle, L"EnableDCOM", L"Y"));
        ASSERT_TRUE(SetMultiString(kRpc, L"DCOM Protocols", {L"ncacn_ip_tcp", L"ncacn_http"}));
        ASSERT_TRUE(DeleteValue(kRpc, L"DCOM ProtocolsKX"));
        ASSERT_TRUE(DeleteValue(kRpcSs, L"ListenOnInternet"));
        ASSERT_TRUE(DeleteKey(kLinkage));
    }
    static std::wstring Text(const wchar_t* key, const wchar_t* name) {
        const auto value = ReadValue(key, name);
        return value ? value->text : L"(absent)";
    }
    static bool ScriptsGone() {
        for (const wchar_t* name : {L"Bind.reg", L"DCOM.reg", L"DCOM2.reg"}) {
            if (GetFileAttributesW((std::wstring(L"C:\\Tolvane\\") + name).c_str()) !=
                INVALID_FILE_ATTRIBUTES) {
                return false;
            }
        }
        return true;
    }
    // Toggles the box, applies the group and answers the warning when one comes.
    void ApplyPort135(int answer) {
        ASSERT_TRUE(Click(main_, C::Port135Box));
        ASSERT_TRUE(PostClick(main_, C::ApplyServicesButton));
        if (answer) {
            const HWND warning = app_.WaitForMessageBox();
            ASSERT_NE(warning, nullptr);
            EXPECT_EQ(Title(warning), L"Warning.....");
            EXPECT_EQ(DefaultButton(warning), IDNO);
            EXPECT_TRUE(HasButton(warning, IDYES));
            EXPECT_TRUE(SaveScreenshot(warning, L"port135-warning"));
            ASSERT_TRUE(Answer(warning, answer));
        }
        ASSERT_TRUE(app_.WaitIdle(main_));
    }
};

TEST_F(Port135, ClosedOnYesAndReopenedToWhatWasThere) {
    ASSERT_TRUE(Launch());
    ASSERT_TRUE(Enabled(main_, C::Port135Box));
    ApplyPort135(IDYES);
    EXPECT_EQ(Text(kLinkage, L"Bind"), L"1");
    EXPECT_EQ(Text(kRpc, L"DCOM Protocols"), L"ncacn_spx\nncacn_nb_nb\nncacn_nb_ipx");
    EXPECT_EQ(Text(kOle, L"EnableDCOM"), L"N");
    EXPECT_EQ(Text(kRpcSs, L"ListenOnInternet"), L"N");
    EXPECT_EQ(Text(kRpc, L"DCOM ProtocolsKX"), L"1");
    EXPECT_TRUE(ScriptsGone());
    ASSERT_TRUE(Menu(main_, MenuId::VerifyAll));
    ASSERT_TRUE(app_.WaitIdle(main_));
    EXPECT_EQ(CheckState(main_, C::Port135Box), BST_CHECKED);
    EXPECT_FALSE(Enabled(main_, C::Port123Box));
    Shoot(L"port135-closed");

    ApplyPort135(0);
    EXPECT_EQ(Text(kOle, L"EnableDCOM"), L"Y");
    EXPECT_EQ(Text(kRpc, L"DCOM Protocols"), kAdminList);
    EXPECT_EQ(Text(kRpcSs, L"ListenOnInternet"), L"(absent)");
    EXPECT_FALSE(KeyExists(kLinkage));
    EXPECT_EQ(Text(kRpc, L"DCOM ProtocolsKX"), L"0");
    EXPECT_TRUE(ScriptsGone());
    EXPECT_EQ(CheckState(main_, C::Port135Box), BST_UNCHECKED);
    EXPECT_TRUE(Enabled(main_, C::Port123Box));
}

// An administrator's protocol list set while the port was closed stays; the rest comes back.
TEST_F(Port135, AReopeningLeavesAValueChangedSinceTheCloseAndBringsTheOthersBack) {
    ASSERT_TRUE(Launch());
    ASSERT_TRUE(Enabled(main_, C::Port135Box));
    ApplyPort135(IDYES);
    ASSERT_EQ(Text(kOle, L"EnableDCOM"), L"N");
    ASSERT_TRUE(SetMultiString(kRpc, L"DCOM Protocols", {L"ncacn_ip_tcp", L"ncacn_spx"}));

    ApplyPort135(0);
    EXPECT_EQ(Text(kRpc, L"DCOM Protocols"), L"ncacn_ip_tcp\nncacn_spx");
    EXPECT_EQ(Text(kOle, L"EnableDCOM"), L"Y");
    EXPECT_EQ(Text(kRpcSs, L"ListenOnInternet"), L"(absent)");
    EXPECT_FALSE(KeyExists(kLinkage));
    EXPECT_EQ(CheckState(main_, C::Port135Box), BST_UNCHECKED);
}

TEST_F(Port135, NoLeavesTheMachineAsItWas) {
    ASSERT_TRUE(Launch());
    ApplyPort135(IDNO);
    EXPECT_EQ(Text(kRpc, L"DCOM ProtocolsKX"), L"0");
    EXPECT_EQ(CheckState(main_, C::Port135Box), BST_UNCHECKED);
    EXPECT_TRUE(Enabled(main_, C::Port123Box));
    EXPECT_TRUE(Enabled(main_, C::Port445Box));
    EXPECT_EQ(Text(kOle, L"EnableDCOM"), L"Y");
    EXPECT_EQ(Text(kRpc, L"DCOM Protocols"), kAdminList);
    EXPECT_FALSE(KeyExists(kLinkage));
}

TEST_F(Port135, AMachineNeverClosedKeepsItsDcomValues) {
    ASSERT_TRUE(SetDword(std::wstring(kServicesKey) + L"Messenger", L"Start", 2));
    const auto ole = Snapshot(kOle);
    const auto rpc = Snapshot(kRpc);
    ASSERT_TRUE(Launch());
    EXPECT_FALSE(Enabled(main_, C::Port135Box));
    ASSERT_TRUE(Menu(main_, MenuId::VerifyAll));
    ASSERT_TRUE(app_.WaitIdle(main_));
    EXPECT_EQ(Snapshot(kOle), ole);
    EXPECT_EQ(Snapshot(kRpc), rpc);
}

}  // namespace
}  // namespace tolvane::e2e
