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

struct Script {
    const wchar_t* name;
    std::uint16_t number;
};
constexpr Script kScripts[] = {
    {L"Bind.reg", IDR_BIND_REG}, {L"DCOM.reg", IDR_DCOM_REG}, {L"DCOM2.reg", IDR_DCOM2_REG}};

UniqueHandle OpenUnshared(const std::wstring& path) {
    return UniqueHandle(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
}

class RecordingHost : public Host {
  public:
    int ShowMessage(const std::wstring& text, const std::wstring& title, unsigned) override {
        messages.push_back(title + L": " + text);
        return IdYes;
    }
    void EnableMainWindow(bool) override {}
    void ShowMainWindow(bool) override {}
    void ShowPatient(bool) override {}
    void OpenOwnedWindow(OwnedWindow) override {}
    std::uintptr_t WindowHandle() override { return 0; }
    std::vector<std::wstring> messages;
};

class Port135Platform : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = system_.ProgramFolder();
        // Windows XP's own values, and nothing of an earlier close.
        ASSERT_FALSE(reg_.WriteValue(Hklm, kEnableDcom, L"Y", RegSz));
        ASSERT_FALSE(reg_.WriteRaw(Hklm, kProtocols, MultiStringValue(kOpenList)));
        for (const wchar_t* path :
             {L"SYSTEM\\CurrentControlSet\\Services\\Rpc\\Linkage\\", kListen, kPort135Marker}) {
            ASSERT_FALSE(reg_.Remove(Hklm, path));
        }
    }
    std::optional<std::vector<std::wstring>> List(const wchar_t* path) {
        RawValue value;
        return reg_.ReadRaw(Hklm, path, value) == kRegOk ? MultiStrings(value) : std::nullopt;
    }
    bool Imported(const Script& script) {
        const std::wstring path = folder_ + L"\\" + script.name;
        Extraction extraction = system_.ExtractResource(path, L"REG", script.number);
        if (!extraction.file) {
            return false;
        }
        const auto editor =
            system_.StartCommand(L"Cmd /C REGEDIT /s \"" + path + L"\"", WindowStyle::Minimized);
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
    Form form_;
    std::wstring folder_;
};

TEST(ExtractResource, ReplacesALongerFileWithExactlyTheResource) {
    Win32System system;
    for (const Script& script : kScripts) {
        const std::wstring path = system.ProgramFolder() + L"\\longer-" + script.name;
        {
            UniqueHandle longer = OpenUnshared(path);
            ASSERT_TRUE(longer);
            const std::string tail(4096, 'x');
            DWORD written = 0;
            WriteFile(longer.get(), tail.data(), static_cast<DWORD>(tail.size()), &written,
                      nullptr);
        }
        for (int time = 0; time < 2; ++time) {
            Extraction extraction = system.ExtractResource(path, L"REG", script.number);
            ASSERT_TRUE(extraction.file) << extraction.error;
        }
        EXPECT_EQ(Bytes(system, path), Bytes(system, SourceOf(script.name)));
        EXPECT_TRUE(system.RemoveFile(path));
    }
}

TEST(ExtractResource, HoldsTheFileForReadersOnly) {
    Win32System system;
    const std::wstring path = system.ProgramFolder() + L"\\held.reg";
    Extraction extraction = system.ExtractResource(path, L"REG", IDR_DCOM_REG);
    ASSERT_TRUE(extraction.file);
    UniqueHandle reader(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_TRUE(reader);
    reader.reset();
    UniqueHandle writer(
        CreateFileW(path.c_str(), GENERIC_WRITE, 7, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_FALSE(writer);
    EXPECT_FALSE(DeleteFileW(path.c_str()));
    extraction.file.reset();
    EXPECT_TRUE(system.RemoveFile(path));
}

TEST(ExtractResource, ReportsATargetItCannotReplace) {
    Win32System system;
    const std::wstring held = system.ProgramFolder() + L"\\held-elsewhere.reg";
    {
        UniqueHandle other = OpenUnshared(held);
        ASSERT_TRUE(other);
        const Extraction extraction = system.ExtractResource(held, L"REG", IDR_BIND_REG);
        EXPECT_FALSE(extraction.file);
        EXPECT_EQ(extraction.error, static_cast<unsigned long>(ERROR_SHARING_VIOLATION));
    }
    EXPECT_EQ(Bytes(system, held), "");
    EXPECT_TRUE(system.RemoveFile(held));

    const std::wstring folder = system.ProgramFolder() + L"\\a-folder.reg";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    const Extraction onFolder = system.ExtractResource(folder, L"REG", IDR_BIND_REG);
    EXPECT_FALSE(onFolder.file);
    EXPECT_NE(onFolder.error, 0u);
    EXPECT_TRUE(RemoveDirectoryW(folder.c_str()));

    const Extraction missing =
        system.ExtractResource(system.ProgramFolder() + L"\\none.reg", L"REG", 999);
    EXPECT_FALSE(missing.file);
    EXPECT_NE(missing.error, 0u);
    EXPECT_FALSE(FileExists(system, system.ProgramFolder() + L"\\none.reg"));
}

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
    ClosePort135(form_, machine_);
    ASSERT_EQ(host_.messages.size(), 1u);  // the warning alone
    EXPECT_EQ(List(kBind), std::vector<std::wstring>{L"1"});
    EXPECT_EQ(List(kProtocols), kClosedList);
    EXPECT_EQ(reg_.ReadValue(Hklm, kEnableDcom, L"-"), L"N");
    EXPECT_EQ(reg_.ReadValue(Hklm, kListen, L"-"), L"N");
    EXPECT_EQ(IsPort135Closed(machine_), 1);
    for (const Script& script : kScripts) {
        EXPECT_FALSE(FileExists(system_, folder_ + L"\\" + script.name)) << script.name;
    }

    ASSERT_TRUE(OpenPort135(form_, machine_));
    EXPECT_EQ(reg_.ReadValue(Hklm, kEnableDcom, L"-"), L"Y");
    EXPECT_EQ(List(kProtocols), kOpenList);
    EXPECT_EQ(List(kBind), std::nullopt);
    EXPECT_EQ(reg_.ReadValue(Hklm, kListen, L"-"), L"-");
    EXPECT_EQ(reg_.ReadValue(Hklm, kPort135Marker, L"-"), L"0");
}

TEST_F(Port135Platform, AScriptHeldOpenElsewhereFailsTheCloseAndRollsBack) {
    const std::wstring dcom = folder_ + L"\\DCOM.reg";
    {
        UniqueHandle other = OpenUnshared(dcom);
        ASSERT_TRUE(other);
        ClosePort135(form_, machine_);
    }
    ASSERT_EQ(host_.messages.size(), 2u);
    EXPECT_NE(host_.messages[1].find(L"could not be closed"), std::wstring::npos);
    EXPECT_NE(host_.messages[1].find(dcom), std::wstring::npos) << host_.messages[1];
    EXPECT_EQ(reg_.ReadValue(Hklm, kEnableDcom, L"-"), L"Y");
    EXPECT_EQ(reg_.ReadValue(Hklm, kPort135Marker, L"-"), L"0");
    EXPECT_EQ(List(kProtocols), kOpenList);
    EXPECT_EQ(List(kBind), std::nullopt);
    EXPECT_FALSE(FileExists(system_, folder_ + L"\\Bind.reg"));
    EXPECT_TRUE(system_.RemoveFile(dcom));
}

}  // namespace
}  // namespace tolvane::win32
