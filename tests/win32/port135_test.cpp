// The registry scripts written out of the program's own file, handed to Wine's registry editor
// while held, and port 135 closed and reopened on the real registry.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ResourceFiles.h"
#include "catalogue/Port135.h"
#include "registry/win32/Win32RegistryStore.h"
#include "resources/ResourceIds.h"
#include "system/SystemInfo.h"
#include "system/win32/Handles.h"
#include "system/win32/Win32LocalAccounts.h"
#include "system/win32/Win32System.h"

namespace tolvane::win32 {
namespace {

constexpr wchar_t kProtocols[] = L"SOFTWARE\\Microsoft\\Rpc\\DCOM Protocols";
constexpr wchar_t kBind[] = L"SYSTEM\\CurrentControlSet\\Services\\Rpc\\Linkage\\Bind";
constexpr wchar_t kEnableDcom[] = L"SOFTWARE\\Microsoft\\Ole\\EnableDCOM";
constexpr wchar_t kListen[] = L"SYSTEM\\CurrentControlSet\\Services\\RpcSs\\ListenOnInternet";
const std::vector<std::wstring> kOpenList = {L"ncacn_ip_tcp", L"ncacn_spx", L"ncacn_nb_nb",
                                             L"ncacn_nb_ipx"};
const std::vector<std::wstring> kClosedList = {L"ncacn_spx", L"ncacn_nb_nb", L"ncacn_nb_ipx"};

struct RegistryScript {
    const wchar_t* name;
    std::uint16_t number;
};
constexpr RegistryScript kScripts[] = {{L"Bind.reg", IDR_BIND_REG},
                                       {L"DCOM.reg", IDR_CLOSE_DCOM_REG},
                                       {L"DCOM2.reg", IDR_OPEN_DCOM_REG}};

class RecordingHost : public Host {
  public:
    int ShowMessageBox(const std::wstring& text, const std::wstring& title, unsigned) override {
        messages.push_back(title + L": " + text);
        return IdYes;
    }
    std::vector<std::wstring> messages;
};

class Port135Platform : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = system_.ProgramFolder();
        // Windows XP's own values, and nothing of an earlier close.
        ASSERT_FALSE(reg_.WriteValue(kHklm, kEnableDcom, L"Y", ValueType::String));
        ASSERT_FALSE(reg_.WriteRaw(kHklm, kProtocols, MultiStringValue(kOpenList)));
        for (const wchar_t* path :
             {L"SYSTEM\\CurrentControlSet\\Services\\Rpc\\Linkage\\", kListen, kPort135Marker}) {
            ASSERT_FALSE(reg_.Remove(kHklm, path));
        }
    }
    std::optional<std::vector<std::wstring>> List(const wchar_t* path) {
        RawValue value;
        return reg_.ReadRaw(kHklm, path, value) == kRegOk ? MultiStrings(value) : std::nullopt;
    }
    bool Imported(const RegistryScript& script) {
        const std::wstring path = folder_ + L"\\" + script.name;
        Extraction extraction = system_.ExtractResource(path, L"REG", script.number);
        if (!extraction.file) {
            return false;
        }
        const auto editor =
            system_.StartProgram({machine_.windowsFolder + L"\\regedit.exe",
                                  L"/s \"" + path + L"\"", L"", WindowStyle::Minimized});
        const bool ended = editor && editor->WaitForExit(10000);
        extraction.file.reset();
        return system_.RemoveFile(path) && ended;
    }

    Win32RegistryStore store_;
    Win32System system_;
    RecordingHost host_;
    Reg reg_{store_};
    Win32LocalAccounts accounts_;
    Machine machine_{reg_, system_, host_, accounts_};
    MainWindowState state_;
    std::wstring folder_;
};

TEST_F(Port135Platform, WinesEditorImportsTheHeldListsButRejectsTheBindingScript) {
    ASSERT_TRUE(Imported(kScripts[1]));
    EXPECT_EQ(List(kProtocols), kClosedList);
    ASSERT_TRUE(Imported(kScripts[2]));
    EXPECT_EQ(List(kProtocols), kOpenList);
    // Wine 8 refuses a header line with a blank at its end (Windows takes it): the close has to
    // repair this value itself.
    ASSERT_TRUE(Imported(kScripts[0]));
    EXPECT_EQ(List(kBind), std::nullopt);
}

TEST_F(Port135Platform, ClosesAndReopensOnTheRealRegistry) {
    ClosePort135(state_, machine_);
    ASSERT_EQ(host_.messages.size(), 1u);  // the warning alone
    EXPECT_EQ(List(kBind), std::vector<std::wstring>{L"1"});
    EXPECT_EQ(List(kProtocols), kClosedList);
    EXPECT_EQ(reg_.ReadText(kHklm, kEnableDcom), L"N");
    EXPECT_EQ(reg_.ReadText(kHklm, kListen), L"N");
    EXPECT_TRUE(IsPort135Closed(machine_));
    for (const RegistryScript& script : kScripts) {
        EXPECT_FALSE(FileExists(system_, folder_ + L"\\" + script.name)) << script.name;
    }

    ASSERT_EQ(OpenPort135(machine_), std::nullopt);
    EXPECT_EQ(reg_.ReadText(kHklm, kEnableDcom), L"Y");
    EXPECT_EQ(List(kProtocols), kOpenList);
    EXPECT_EQ(List(kBind), std::nullopt);
    EXPECT_FALSE(reg_.ReadText(kHklm, kListen));
    EXPECT_EQ(reg_.ReadText(kHklm, kPort135Marker), L"0");
}

TEST_F(Port135Platform, AScriptHeldOpenElsewhereFailsTheCloseAndRollsBack) {
    const std::wstring dcom = folder_ + L"\\DCOM.reg";
    {
        const UniqueHandle other(CreateFileW(dcom.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                             CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(other);
        ClosePort135(state_, machine_);
    }
    ASSERT_EQ(host_.messages.size(), 2u);
    EXPECT_NE(host_.messages[1].find(L"could not be closed"), std::wstring::npos);
    EXPECT_NE(host_.messages[1].find(dcom), std::wstring::npos) << host_.messages[1];
    EXPECT_EQ(reg_.ReadText(kHklm, kEnableDcom), L"Y");
    EXPECT_EQ(reg_.ReadText(kHklm, kPort135Marker), L"0");
    EXPECT_EQ(List(kProtocols), kOpenList);
    EXPECT_EQ(List(kBind), std::nullopt);
    EXPECT_FALSE(FileExists(system_, folder_ + L"\\Bind.reg"));
    EXPECT_TRUE(system_.RemoveFile(dcom));
}

}  // namespace
}  // namespace tolvane::win32
