#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "RecordStart.h"
#include "system/SystemInfo.h"
#include "system/win32/Handles.h"
#include "system/win32/Win32System.h"

namespace tolvane::win32 {
namespace {

std::wstring OwnPath() {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

std::wstring TempFolder() {
    wchar_t path[MAX_PATH];
    GetTempPathW(MAX_PATH, path);
    return path;
}

// A window that counts the messages it receives. A message with a number of milliseconds also
// sets a timer, whose one message then counts apart.
class CountingWindow {
  public:
    CountingWindow() {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = Proc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"TolvaneCountingWindow";
        RegisterClassW(&windowClass);
        window_.reset(CreateWindowW(L"TolvaneCountingWindow", L"", WS_OVERLAPPED, 0, 0, 10, 10,
                                    nullptr, nullptr, windowClass.hInstance, nullptr));
    }
    HWND hwnd() const { return window_.get(); }
    static int received;
    static int timed;

  private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_APP) {
            ++received;
            if (wParam != 0) {
                SetTimer(window, 1, static_cast<UINT>(wParam), nullptr);
            }
            return 0;
        }
        if (message == WM_TIMER) {
            KillTimer(window, 1);
            ++timed;
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }
    UniqueWindow window_;
};
int CountingWindow::received = 0;
int CountingWindow::timed = 0;

TEST(FileExists, TellsFilesFromFoldersAndMissingPaths) {
    Win32System system;
    const std::wstring file = TempFolder() + L"tolvane-exists.txt";
    std::ofstream(std::string(file.begin(), file.end())) << "x";
    EXPECT_TRUE(FileExists(system, file));
    EXPECT_FALSE(FileExists(system, TempFolder()));
    EXPECT_FALSE(FileExists(system, TempFolder() + L"no-such-file.txt"));
    EXPECT_FALSE(FileExists(system, L"Q:\\nowhere\\x"));
    DeleteFileW(file.c_str());
}

TEST(Pause, HandlesMessagesQueuedBeforeAndArrivingDuringTheWaitForAllTheTimeAsked) {
    Win32System system;
    CountingWindow window;
    CountingWindow::received = 0;
    CountingWindow::timed = 0;
    // Handled once the pause has begun, this message sets a timer whose message can only arrive
    // in the middle of the wait.
    PostMessageW(window.hwnd(), WM_APP, 50, 0);
    const DWORD start = GetTickCount();
    system.Pause(300);
    const DWORD elapsed = GetTickCount() - start;
    EXPECT_GE(elapsed, 300u);
    EXPECT_EQ(CountingWindow::received, 1);
    EXPECT_EQ(CountingWindow::timed, 1);
}

TEST(Pause, OfZeroHandlesNothing) {
    Win32System system;
    CountingWindow window;
    CountingWindow::received = 0;
    PostMessageW(window.hwnd(), WM_APP, 0, 0);
    system.Pause(0);
    EXPECT_EQ(CountingWindow::received, 0);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        DispatchMessageW(&msg);
    }
}

TEST(StartWithoutWaiting, ReturnsBeforeTheProgramEnds) {
    Win32System system;
    const DWORD start = GetTickCount();
    auto process = system.StartCommand(L"\"" + OwnPath() + L"\" --sleep 1500", WindowStyle::Hidden);
    const DWORD startTime = GetTickCount() - start;
    ASSERT_NE(process, nullptr);
    EXPECT_LT(startTime, 1000u);
    EXPECT_FALSE(process->WaitForExit(0));
    EXPECT_TRUE(process->WaitForExit(10000));
    EXPECT_GE(GetTickCount() - start, 1500u);
}

// A program still running when its wait is up is ended, and gone once End says so; ending one
// that has ended already is no failure.
TEST(StartedProcess, EndsAProgramStillRunning) {
    Win32System system;
    auto process =
        system.StartCommand(L"\"" + OwnPath() + L"\" --sleep 600000", WindowStyle::Hidden);
    ASSERT_NE(process, nullptr);
    EXPECT_FALSE(process->WaitForExit(200));
    const DWORD start = GetTickCount();
    EXPECT_TRUE(process->End());
    EXPECT_LT(GetTickCount() - start, 10000u);
    EXPECT_TRUE(process->WaitForExit(0));
    EXPECT_EQ(process->ExitCode(), std::optional<unsigned long>(1));
    EXPECT_TRUE(process->End());
}

// Copies of this program as net.exe and cmd.exe where the system looks for a program before its
// own folder: beside the running program and in the current folder. Started, they only record it.
class PlantedPrograms : public ::testing::Test {
  protected:
    void SetUp() override {
        wchar_t current[MAX_PATH];
        ASSERT_GT(GetCurrentDirectoryW(MAX_PATH, current), 0u);
        previousFolder_ = current;
        ASSERT_TRUE(CreateDirectoryW(currentFolder_.c_str(), nullptr) ||
                    GetLastError() == ERROR_ALREADY_EXISTS);
        ASSERT_TRUE(SetCurrentDirectoryW(currentFolder_.c_str()));
        DeleteFileW(record_.c_str());
        for (const std::wstring& folder : {Win32System().ProgramFolder(), currentFolder_}) {
            for (const wchar_t* name : {L"net.exe", L"cmd.exe"}) {
                planted_.push_back(folder + L"\\" + name);
                ASSERT_TRUE(CopyFileW(OwnPath().c_str(), planted_.back().c_str(), FALSE))
                    << GetLastError();
            }
        }
        SetEnvironmentVariableW(kRecordStartVariable, record_.c_str());
    }
    void TearDown() override {
        SetEnvironmentVariableW(kRecordStartVariable, nullptr);
        SetCurrentDirectoryW(previousFolder_.c_str());
        for (const std::wstring& file : planted_) {
            DeleteFileW(file.c_str());
        }
        RemoveDirectoryW(currentFolder_.c_str());
        DeleteFileW(record_.c_str());
    }

    const std::wstring currentFolder_ = TempFolder() + L"tolvane-planted";
    const std::wstring record_ = TempFolder() + L"tolvane-planted-starts.txt";
    std::wstring previousFolder_;
    std::vector<std::wstring> planted_;
};

TEST_F(PlantedPrograms, AreNeverStartedByBareNamesWhileTheSystemFoldersProgramsAre) {
    Win32System system;
    const std::wstring out = TempFolder() + L"tolvane-cmd-out.txt";
    DeleteFileW(out.c_str());
    for (const std::wstring& line :
         {std::wstring(L"net user"), L"Cmd /C echo ran> \"" + out + L"\""}) {
        auto process = system.StartCommand(line, WindowStyle::Hidden);
        ASSERT_NE(process, nullptr) << line;
        EXPECT_TRUE(process->WaitForExit(10000)) << line;
    }
    const auto record = ReadFileBytes(system, record_, 10000).bytes;
    EXPECT_FALSE(record.has_value()) << *record;
    const auto ran = ReadFileBytes(system, out, 100).bytes;
    DeleteFileW(out.c_str());
    EXPECT_EQ(ran.value_or("").substr(0, 3), "ran");

    // Started by their paths, the copies do record, so the missing record means none ran.
    for (const std::wstring& file : planted_) {
        auto process = system.StartCommand(L"\"" + file + L"\" user", WindowStyle::Hidden);
        ASSERT_NE(process, nullptr) << file;
        EXPECT_TRUE(process->WaitForExit(10000)) << file;
    }
    const auto records = ReadFileBytes(system, record_, 10000).bytes;
    ASSERT_TRUE(records.has_value());
    EXPECT_EQ(std::count(records->begin(), records->end(), '\n'),
              static_cast<std::ptrdiff_t>(planted_.size()))
        << *records;
}

// Both at once, each writing only its own file, which nobody holds once the program has ended;
// a file already there is never written through.
TEST(StartProgram, HandsEachProgramItsOwnNewOutputFile) {
    Win32System system;
    const std::wstring cmd = system.SystemDirectory() + L"\\cmd.exe";
    const std::wstring outs[] = {TempFolder() + L"tolvane-direct-1.txt",
                                 TempFolder() + L"tolvane-direct-2.txt"};
    std::vector<std::unique_ptr<StartedProcess>> processes;
    for (int i = 0; i < 2; ++i) {
        DeleteFileW(outs[i].c_str());
        processes.push_back(system.StartProgram(
            {cmd, L"/C echo ran " + std::to_wstring(i + 1), outs[i], WindowStyle::Hidden}));
        ASSERT_NE(processes.back(), nullptr);
    }
    const std::vector<StartedProcess*> started = {processes[0].get(), processes[1].get()};
    system.WaitForAll(started, 10000);
    for (int i = 0; i < 2; ++i) {
        EXPECT_TRUE(processes[i]->WaitForExit(0));
        EXPECT_EQ(ReadFileBytes(system, outs[i], 100).bytes.value_or(""),
                  "ran " + std::to_string(i + 1) + "\r\n");
    }
    EXPECT_EQ(system.StartProgram({cmd, L"/C echo again", outs[0], WindowStyle::Hidden}), nullptr);
    EXPECT_EQ(ReadFileBytes(system, outs[0], 100).bytes.value_or(""), "ran 1\r\n");
    for (const std::wstring& out : outs) {
        EXPECT_TRUE(DeleteFileW(out.c_str()));
    }
}

TEST(StartWithoutWaiting, StartsNothingForAnUnknownProgram) {
    Win32System system;
    EXPECT_EQ(system.StartCommand(L"tolvane-no-such-program /x", WindowStyle::Hidden), nullptr);
}

struct VersionCase {
    const wchar_t* wineName;
    int code;  // Windows version, product type, service pack; a refused version 0 alone
};

class DetectedVersion : public ::testing::TestWithParam<VersionCase> {};

// The version a program sees is fixed when it starts, so each case runs a child of this test.
TEST_P(DetectedVersion, MapsTheWindowsVersionWithItsProductTypeAndServicePack) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine", 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    UniqueRegKey wine(key);
    const std::wstring name = GetParam().wineName;
    RegSetValueExW(wine.get(), L"Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(name.c_str()),
                   static_cast<DWORD>((name.size() + 1) * sizeof(wchar_t)));
    Win32System system;
    std::wstring line = L"\"" + OwnPath() + L"\" --windows-version";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    ASSERT_TRUE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &startup, &info));
    UniqueHandle process(info.hProcess);
    UniqueHandle thread(info.hThread);
    ASSERT_EQ(WaitForSingleObject(process.get(), 30000), WAIT_OBJECT_0);
    DWORD code = 99;
    GetExitCodeProcess(process.get(), &code);
    RegDeleteValueW(wine.get(), L"Version");
    const int expected = GetParam().code;
    EXPECT_EQ(expected < 100 ? static_cast<int>(code) / 100 : static_cast<int>(code), expected);
}

INSTANTIATE_TEST_SUITE_P(Wine, DetectedVersion,
                         ::testing::Values(VersionCase{L"win2k", 114}, VersionCase{L"winxp", 213},
                                           VersionCase{L"win2003", 332}, VersionCase{L"win7", 0}));

TEST(SystemDriveFileSystem, FindsTheWindowsDriveAndItsFileSystem) {
    Win32System system;
    wchar_t windows[MAX_PATH];
    GetWindowsDirectoryW(windows, MAX_PATH);
    EXPECT_EQ(system.WindowsDirectory(), windows);
    EXPECT_EQ(SystemDriveFileSystem(system, std::wstring(1, windows[0])), L"NTFS");
}

}  // namespace
}  // namespace tolvane::win32

namespace tolvane::win32 {
namespace {

// The document runs with the program's folder as working folder: a batch file that writes a
// file by relative name shows where.
TEST(OpenDocument, OpensWithTheProgramFolderAsWorkingFolder) {
    Win32System system;
    const std::wstring script = TempFolder() + L"tolvane-open.bat";
    const std::wstring marker = system.ProgramFolder() + L"\\tolvane-opened.txt";
    DeleteFileW(marker.c_str());
    std::ofstream(std::string(script.begin(), script.end()))
        << "@echo opened> tolvane-opened.txt\r\n";
    system.OpenDocument(0, script);
    for (int i = 0; i < 500 && !FileExists(system, marker); ++i) {
        Sleep(20);
    }
    EXPECT_TRUE(FileExists(system, marker));
    DeleteFileW(marker.c_str());
    DeleteFileW(script.c_str());
}

TEST(ProgramFolder, IsTheFolderOfTheRunningProgram) {
    Win32System system;
    const std::wstring own = OwnPath();
    EXPECT_EQ(system.ProgramFolder(), own.substr(0, own.rfind(L'\\')));
}

// Wine's own services run in processes of their own, as services do.
TEST(RunningServices, NameEachServiceRunningAndItsProcess) {
    Win32System system;
    const auto services = system.RunningServices();
    ASSERT_TRUE(services);
    ASSERT_FALSE(services->empty());
    for (const RunningService& service : *services) {
        EXPECT_FALSE(service.name.empty());
        EXPECT_NE(service.processId, 0u) << std::string(service.name.begin(), service.name.end());
    }
}

// Wine's machine stands in a workgroup.
TEST(JoinedToDomain, SaysNoOutsideADomain) {
    Win32System system;
    EXPECT_EQ(system.JoinedToDomain(), std::optional<bool>(false));
}

}  // namespace
}  // namespace tolvane::win32
