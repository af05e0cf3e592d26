// Checks the end-to-end driver itself under Wine: registry helpers, the net.exe stand-in,
// Wine's version switch and drive type, and window driving against a small window of another
// process (this program started again as DriverSmokeChild). Tolvane.exe is started only when it
// has been built.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "Driver.h"

namespace tolvane::e2e {
namespace {

// An account of a French Windows, whose name the console prints in its own code page.
constexpr wchar_t kFrenchGuest[] = L"Invit\u00e9";

constexpr wchar_t kScratchKey[] = L"Software\\TolvaneTest\\Smoke";
constexpr wchar_t kChildVariable[] = L"TOLVANE_SMOKE_CHILD";
constexpr COLORREF kBackground = RGB(209, 220, 235);
constexpr DWORD kBusyMs = 300;

std::wstring SystemFolder() {
    wchar_t folder[MAX_PATH];
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    return std::wstring(folder, length);
}

std::wstring WindowsFolder() {
    wchar_t folder[MAX_PATH];
    const UINT length = GetWindowsDirectoryW(folder, MAX_PATH);
    return std::wstring(folder, length);
}

std::string ReadBytes(const std::wstring& path) {
    std::string bytes;
    const win32::UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    char buffer[4096];
    DWORD read = 0;
    while (file && ReadFile(file.get(), buffer, sizeof(buffer), &read, nullptr) && read > 0) {
        bytes.append(buffer, read);
    }
    return bytes;
}

// Runs "cmd /C line" as the program does and gives cmd's exit code.
DWORD RunCmd(const std::wstring& line) {
    App cmd;
    if (!cmd.StartProgram(SystemFolder() + L"\\cmd.exe", L"/C " + line) || !cmd.WaitForExit()) {
        return 0xFFFFFFFF;
    }
    return cmd.ExitCode();
}

// The colour of one pixel of a 24-bit bottom-up BMP file.
COLORREF PixelOf(const std::string& bmp, int x, int y) {
    BITMAPFILEHEADER header{};
    BITMAPINFOHEADER info{};
    if (bmp.size() < sizeof(header) + sizeof(info)) {
        return CLR_INVALID;
    }
    memcpy(&header, bmp.data(), sizeof(header));
    memcpy(&info, bmp.data() + sizeof(header), sizeof(info));
    const size_t stride = (static_cast<size_t>(info.biWidth) * 3 + 3) & ~size_t{3};
    const size_t at = header.bfOffBits + (info.biHeight - 1 - y) * stride + x * 3;
    if (info.biBitCount != 24 || at + 3 > bmp.size()) {
        return CLR_INVALID;
    }
    const auto byte = [&](size_t i) { return static_cast<BYTE>(bmp[at + i]); };
    return RGB(byte(2), byte(1), byte(0));
}

TEST(DriverSmoke, EnvironmentNamesTheFolders) {
    EXPECT_FALSE(TolvaneExePath().empty());
    const std::wstring shots = ShotsDir();
    ASSERT_FALSE(shots.empty());
    const DWORD attributes = GetFileAttributesW(shots.c_str());
    EXPECT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

TEST(DriverSmoke, RegistryValuesRoundTrip) {
    ASSERT_TRUE(DeleteKey(kScratchKey));
    EXPECT_FALSE(ReadValue(kScratchKey, L"Number"));

    ASSERT_TRUE(SetDword(kScratchKey, L"Number", 4));
    ASSERT_TRUE(SetString(kScratchKey, L"Text", L"Sauve"));
    const std::optional<RegValue> number = ReadValue(kScratchKey, L"Number");
    ASSERT_TRUE(number);
    EXPECT_EQ(number->type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(number->text, L"4");
    const std::optional<RegValue> text = ReadValue(kScratchKey, L"Text");
    ASSERT_TRUE(text);
    EXPECT_EQ(text->type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(text->text, L"Sauve");

    EXPECT_TRUE(DeleteValue(kScratchKey, L"Number"));
    EXPECT_FALSE(ReadValue(kScratchKey, L"Number"));
    EXPECT_TRUE(DeleteValue(kScratchKey, L"Number"));
    ASSERT_TRUE(SetDword(kScratchKey + std::wstring(L"\\Below"), L"Deep", 1));
    EXPECT_TRUE(DeleteKey(kScratchKey));
    EXPECT_FALSE(KeyExists(kScratchKey));
}

TEST(DriverSmoke, DenyWritesRefusesWritesUntilAllowed) {
    const std::wstring keyPath = kScratchKey + std::wstring(L"\\Locked");
    ASSERT_TRUE(SetDword(keyPath, L"Before", 1));
    ASSERT_TRUE(DenyWrites(keyPath));

    win32::UniqueRegKey key;
    EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_SET_VALUE, key.put()),
              ERROR_ACCESS_DENIED);
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_READ, key.put()),
              ERROR_SUCCESS);
    const DWORD value = 4;
    EXPECT_EQ(RegSetValueExW(key.get(), L"After", 0, REG_DWORD,
                             reinterpret_cast<const BYTE*>(&value), sizeof(value)),
              ERROR_ACCESS_DENIED);
    EXPECT_FALSE(SetDword(keyPath, L"After", 4));
    ASSERT_TRUE(ReadValue(keyPath, L"Before"));

    ASSERT_TRUE(AllowWrites(keyPath));
    EXPECT_TRUE(SetDword(keyPath, L"After", 4));
    EXPECT_TRUE(DeleteKey(kScratchKey));
}

TEST(DriverSmoke, StandinPrintsTheFrenchConsoleReport) {
    ASSERT_TRUE(SetAccount(kFrenchGuest, false));
    ASSERT_TRUE(ClearNetLog());
    const std::wstring output = WindowsFolder() + L"\\Inv.cmp";
    DeleteFileW(output.c_str());

    EXPECT_EQ(RunCmd(L"net user Invit\u00e9 > " + output), 0u);

    const std::string bytes = ReadBytes(output);
    DeleteFileW(output.c_str());
    EXPECT_NE(bytes.find("Nom d'utilisateur                      Invit\x82\r\n"), std::string::npos)
        << bytes;
    EXPECT_NE(bytes.find("\r\nCompte\xff: actif                         Non\r\n"),
              std::string::npos)
        << bytes;
    EXPECT_NE(bytes.find("La commande s'est termin\x82"
                         "e correctement.\r\n"),
              std::string::npos);
    const std::vector<std::wstring> log = NetLog();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_NE(log[0].find(L"user Invit\u00e9"), std::wstring::npos) << log[0];
}

TEST(DriverSmoke, StandinSwitchesAccounts) {
    ASSERT_TRUE(SetAccount(kHelpAccount, false));
    ASSERT_TRUE(SetAccount(kFrenchGuest, false));
    ASSERT_TRUE(ClearNetLog());

    EXPECT_EQ(RunCmd(L"net user helpassistant /ACTIVE:YES > NUL"), 0u);
    EXPECT_EQ(AccountActive(kHelpAccount), std::optional<bool>(true));
    EXPECT_EQ(RunCmd(L"net user Invit\u00e9 /active:yes > NUL"), 0u);
    EXPECT_EQ(AccountActive(kFrenchGuest), std::optional<bool>(true));
    EXPECT_EQ(RunCmd(L"net user Invit\u00e9 /active:no > NUL"), 0u);
    EXPECT_EQ(AccountActive(kFrenchGuest), std::optional<bool>(false));

    const std::wstring output = WindowsFolder() + L"\\Hlp.cmp";
    EXPECT_EQ(RunCmd(L"net user HelpAssistant > " + output), 0u);
    EXPECT_NE(ReadBytes(output).find("Compte\xff: actif                         Oui\r\n"),
              std::string::npos);
    DeleteFileW(output.c_str());
    EXPECT_EQ(NetLog().size(), 4u);
}

TEST(DriverSmoke, StandinRefusesAnUnknownAccount) {
    ASSERT_TRUE(RemoveAccount(L"Personne"));
    EXPECT_FALSE(AccountActive(L"Personne"));
    const std::wstring output = WindowsFolder() + L"\\Nobody.cmp";

    EXPECT_EQ(RunCmd(L"net user Personne 2> NUL > " + output), 2u);

    EXPECT_EQ(ReadBytes(output), "");
    DeleteFileW(output.c_str());
    EXPECT_EQ(RunCmd(L"net user Personne /active:yes 2> NUL"), 2u);
    EXPECT_FALSE(AccountActive(L"Personne"));
    EXPECT_EQ(RunCmd(L"net group 2> NUL"), 1u);
}

TEST(DriverSmoke, StandinRecordsServiceStops) {
    ASSERT_TRUE(ClearNetLog());
    EXPECT_EQ(RunCmd(L"net stop remoteregistry > NUL"), 0u);
    const std::vector<std::wstring> log = NetLog();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_NE(log[0].find(L"stop remoteregistry"), std::wstring::npos) << log[0];
}

TEST(DriverSmoke, StandinLogsInstancesRunningTogether) {
    ASSERT_TRUE(ClearNetLog());
    const std::wstring net = SystemFolder() + L"\\net.exe";
    std::vector<App> commands(8);
    for (size_t i = 0; i < commands.size(); ++i) {
        ASSERT_TRUE(commands[i].StartProgram(net, L"stop service" + std::to_wstring(i)));
    }
    for (App& command : commands) {
        EXPECT_TRUE(command.WaitForExit());
    }
    std::vector<std::wstring> log = NetLog();
    std::sort(log.begin(), log.end());
    ASSERT_EQ(log.size(), commands.size());
    for (size_t i = 0; i < commands.size(); ++i) {
        EXPECT_EQ(log[i], L"\"" + net + L"\" stop service" + std::to_wstring(i));
    }
}

TEST(DriverSmoke, WaitsForCommandsStartedWithoutWaiting) {
    ASSERT_TRUE(SetAccount(kHelpAccount, true));
    ASSERT_TRUE(ClearNetLog());
    const std::wstring net = SystemFolder() + L"\\net.exe";
    App command;
    ASSERT_TRUE(command.StartProgram(net, L"user HelpAssistant /active:no"));
    EXPECT_TRUE(WaitForNetCommand(L"\"" + net + L"\" user HelpAssistant /active:no"));
    EXPECT_TRUE(WaitForAccount(kHelpAccount, false));
    EXPECT_FALSE(WaitForNetCommand(L"net stop W32Time", 100));
}

TEST(DriverSmoke, WindowsVersionReachesNewProcesses) {
    const std::optional<RegValue> before = [] {
        win32::UniqueRegKey key;
        RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Wine", 0, KEY_READ, key.put());
        wchar_t text[32] = {};
        DWORD bytes = sizeof(text) - sizeof(wchar_t);
        if (!(key) || RegQueryValueExW(key.get(), L"Version", nullptr, nullptr,
                                       reinterpret_cast<BYTE*>(text), &bytes) != ERROR_SUCCESS) {
            return std::optional<RegValue>();
        }
        return std::optional<RegValue>(RegValue{REG_SZ, text});
    }();
    const std::wstring output = WindowsFolder() + L"\\ver.txt";

    ASSERT_TRUE(SetWindowsVersion(L"win2k"));
    EXPECT_EQ(RunCmd(L"ver > " + output), 0u);
    EXPECT_NE(ReadBytes(output).find("5.0.2195"), std::string::npos) << ReadBytes(output);
    ASSERT_TRUE(SetWindowsVersion(L"win2003"));
    EXPECT_EQ(RunCmd(L"ver > " + output), 0u);
    EXPECT_NE(ReadBytes(output).find("5.2.3790"), std::string::npos) << ReadBytes(output);

    DeleteFileW(output.c_str());
    if (before) {
        SetWindowsVersion(before->text.c_str());
    } else {
        win32::UniqueRegKey key;
        RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Wine", 0, KEY_SET_VALUE, key.put());
        RegDeleteValueW(key.get(), L"Version");
    }
}

TEST(DriverSmoke, DriveTypeFollowsTheGroupOption) {
    wchar_t fileSystem[MAX_PATH] = {};
    ASSERT_TRUE(GetVolumeInformationW(L"C:\\", nullptr, 0, nullptr, nullptr, nullptr, fileSystem,
                                      MAX_PATH));
    EXPECT_STREQ(fileSystem, Fat32Drive() ? L"FAT32" : L"NTFS");
}

TEST(DriverSmoke, ReadsTheFontOfItsOwnControl) {
    const HFONT font = CreateFontW(-13, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0,
                                   0, 0, 0, L"Tahoma");
    const HWND label = CreateWindowExW(0, L"STATIC", L"Label", WS_POPUP, 0, 0, 50, 20, nullptr,
                                       nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(label, nullptr);
    SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    EXPECT_EQ(FontWeight(label), FW_BOLD);
    // 13 pixels at 96 dots an inch are 9.75 points.
    EXPECT_EQ(FontCentipoints(label), 975);
    DestroyWindow(label);
    DeleteObject(font);
}

// ---- A window of another process to drive: this program, started again ----

HFONT MakeFont(int weight) {
    return CreateFontW(-11, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0, 0,
                       L"Tahoma");
}

HWND AddChild(HWND parent, const wchar_t* className, const wchar_t* text, DWORD style, RECT at,
              ControlId id, HFONT font) {
    const HWND child =
        CreateWindowExW(0, className, text, WS_CHILD | WS_VISIBLE | style, at.left, at.top,
                        at.right - at.left, at.bottom - at.top, parent,
                        reinterpret_cast<HMENU>(DialogId(id)), GetModuleHandleW(nullptr), nullptr);
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return child;
}

LRESULT CALLBACK ChildWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND) {
        const int id = LOWORD(wParam);
        if (id == DialogId(ControlId::ApplySharesButton)) {
            const int answer =
                MessageBoxW(window, L"Apply the changes?", L"Tolvane", MB_YESNO | MB_ICONQUESTION);
            if (answer == IDYES) {
                SendMessageW(GetDlgItem(window, DialogId(ControlId::SimpleFileSharingBox)),
                             BM_SETCHECK, BST_CHECKED, 0);
            }
        } else if (id == DialogId(ControlId::RestartButton)) {
            // A command that waits while processing events, with the window disabled.
            EnableWindow(window, FALSE);
            const DWORD start = GetTickCount();
            while (GetTickCount() - start < kBusyMs) {
                MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
                MSG msg;
                while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                    TranslateMessage(&msg);
                    DispatchMessageW(&msg);
                }
            }
            EnableWindow(window, TRUE);
        } else if (id == static_cast<int>(MenuId::Quit)) {
            DestroyWindow(window);
        }
        return 0;
    }
    if (message == WM_DESTROY) {
        win32::UnpublishFont(GetDlgItem(window, DialogId(ControlId::SimpleFileSharingLabel)));
        win32::UnpublishFont(GetDlgItem(window, DialogId(ControlId::GuestAccountLabel)));
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

TEST(DriverSmokeChild, ShowsAWindowToDrive) {
    if (GetEnvironmentVariableW(kChildVariable, nullptr, 0) == 0) {
        GTEST_SKIP() << "run only when DriverSmoke.DrivesAWindowOfAnotherProcess starts it";
    }
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    const HBRUSH background = CreateSolidBrush(kBackground);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = ChildWindowProc;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = background;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kMainWindowClass;
    ASSERT_NE(RegisterClassW(&windowClass), 0);

    const HWND main =
        CreateWindowExW(0, kMainWindowClass, L"Tolvane", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU,
                        40, 40, 420, 300, nullptr, nullptr, instance, nullptr);
    ASSERT_NE(main, nullptr);
    const HFONT bold = MakeFont(FW_BOLD);
    const HFONT regular = MakeFont(FW_NORMAL);
    const HWND boldLabel = AddChild(main, L"STATIC", L"Share deletion", 0, {10, 10, 200, 30},
                                    ControlId::SimpleFileSharingLabel, bold);
    const HWND regularLabel = AddChild(main, L"STATIC", L"Guest account", 0, {10, 40, 200, 60},
                                       ControlId::GuestAccountLabel, regular);
    win32::PublishFontForTests(boldLabel, 825, true);
    win32::PublishFontForTests(regularLabel, 825, false);
    AddChild(main, L"BUTTON", L"", BS_AUTOCHECKBOX, {220, 10, 237, 27},
             ControlId::SimpleFileSharingBox, regular);
    AddChild(main, L"BUTTON", L"", BS_AUTOCHECKBOX, {220, 40, 237, 57}, ControlId::GuestAccountBox,
             regular);
    AddChild(main, L"BUTTON", L"Apply", BS_PUSHBUTTON, {10, 80, 110, 106},
             ControlId::ApplySharesButton, regular);
    AddChild(main, L"BUTTON", L"Restart", BS_PUSHBUTTON, {120, 80, 220, 106},
             ControlId::RestartButton, regular);
    EnableWindow(GetDlgItem(main, DialogId(ControlId::GuestAccountBox)), FALSE);
    ShowWindow(main, SW_SHOW);
    UpdateWindow(main);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    DeleteObject(bold);
    DeleteObject(regular);
    DeleteObject(background);
}

// Sets an environment variable for the processes started while it lives.
class ScopedVariable {
  public:
    ScopedVariable(const wchar_t* name, const wchar_t* value) : name_(name) {
        SetEnvironmentVariableW(name, value);
    }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;
    ~ScopedVariable() { SetEnvironmentVariableW(name_, nullptr); }

  private:
    const wchar_t* name_;
};

TEST(DriverSmoke, DrivesAWindowOfAnotherProcess) {
    wchar_t self[MAX_PATH];
    ASSERT_NE(GetModuleFileNameW(nullptr, self, MAX_PATH), 0u);
    App app;
    {
        const ScopedVariable child(kChildVariable, L"1");
        ASSERT_TRUE(app.StartProgram(self, L"--gtest_filter=DriverSmokeChild.*"));
    }
    const HWND main = app.WaitForMainWindow(20000);
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(Title(main), L"Tolvane");

    EXPECT_EQ(Text(main, ControlId::ApplySharesButton), L"Apply");
    const RECT box = ClientRectOf(main, ControlId::SimpleFileSharingBox);
    EXPECT_EQ(box.left, 220);
    EXPECT_EQ(box.top, 10);
    EXPECT_EQ(box.right, 237);
    EXPECT_EQ(box.bottom, 27);
    EXPECT_EQ(FontWeight(Control(main, ControlId::SimpleFileSharingLabel)), FW_BOLD);
    EXPECT_EQ(FontCentipoints(Control(main, ControlId::SimpleFileSharingLabel)), 825);
    EXPECT_TRUE(LabelIsBold(main, ControlId::SimpleFileSharingLabel));
    EXPECT_FALSE(LabelIsBold(main, ControlId::GuestAccountLabel));
    EXPECT_FALSE(Enabled(main, ControlId::GuestAccountBox));
    EXPECT_TRUE(Enabled(main, ControlId::SimpleFileSharingBox));

    ASSERT_TRUE(SaveScreenshot(main, L"smoke-window"));
    const std::string picture = ReadBytes(ShotsDir() + L"\\smoke-window.bmp");
    RECT frame{};
    GetWindowRect(main, &frame);
    POINT inside{300, 200};  // a point of the client area that no control covers
    ClientToScreen(main, &inside);
    EXPECT_EQ(PixelOf(picture, inside.x - frame.left, inside.y - frame.top), kBackground);

    EXPECT_EQ(CheckState(main, ControlId::SimpleFileSharingBox), BST_UNCHECKED);
    ASSERT_TRUE(PostClick(main, ControlId::ApplySharesButton));
    const HWND question = app.WaitForMessageBox();
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(Title(question), L"Tolvane");
    EXPECT_EQ(MessageBoxText(question), L"Apply the changes?");
    EXPECT_TRUE(HasButton(question, IDYES));
    EXPECT_FALSE(HasButton(question, IDOK));
    EXPECT_FALSE(IsWindowEnabled(main));
    ASSERT_TRUE(SaveScreenshot(main, L"smoke-window-question"));
    ASSERT_TRUE(Answer(question, IDYES));
    ASSERT_TRUE(app.WaitIdle(main));
    EXPECT_EQ(CheckState(main, ControlId::SimpleFileSharingBox), BST_CHECKED);

    ASSERT_TRUE(Click(main, ControlId::SimpleFileSharingBox));
    EXPECT_EQ(CheckState(main, ControlId::SimpleFileSharingBox), BST_UNCHECKED);

    // A posted command is seen through to its end, though it only starts after the post.
    const DWORD start = GetTickCount();
    ASSERT_TRUE(PostClick(main, ControlId::RestartButton));
    ASSERT_TRUE(app.WaitIdle(main));
    EXPECT_GE(GetTickCount() - start, kBusyMs - 20);

    ASSERT_TRUE(Menu(main, MenuId::Quit));
    ASSERT_TRUE(app.WaitForExit());
    EXPECT_EQ(app.ExitCode(), 0u);  // the child test passed
}

TEST(DriverSmoke, TolvaneShowsItsMainWindow) {
    const std::wstring exe = TolvaneExePath();
    if (exe.empty() || GetFileAttributesW(exe.c_str()) == INVALID_FILE_ATTRIBUTES) {
        GTEST_SKIP() << "Tolvane.exe is not built yet";
    }
    ASSERT_TRUE(SetWindowsVersion(L"winxp"));
    ASSERT_TRUE(SetAccount(kFrenchGuest, false));
    ASSERT_TRUE(SetAccount(kHelpAccount, false));
    App app;
    ASSERT_TRUE(app.Start());
    const HWND main = app.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(Title(main), L"Tolvane");
    EXPECT_TRUE(app.WaitIdle(main));
    EXPECT_TRUE(SaveScreenshot(main, L"smoke-tolvane-main"));
}

}  // namespace
}  // namespace tolvane::e2e
