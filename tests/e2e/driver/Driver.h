// Drives the real Tolvane.exe from end-to-end tests running inside Wine: starts it, finds its
// windows, clicks its controls and reads them back, answers its message boxes, prepares and
// checks the registry and the net.exe stand-in, and keeps screenshots.
//
// Every wait polls every 20 ms and returns as soon as its condition holds; a wait that runs out
// returns nullptr or false, so a test fails with a message instead of hanging.
#pragma once

#include <windows.h>

#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "model/ControlId.h"
#include "system/win32/Handles.h"
#include "ui/win32/FontPropertiesForTests.h"

namespace tolvane::e2e {

// ---- Environment, set by tests/wine/run-under-wine.sh ----

// Windows path of Tolvane.exe (TOLVANE_EXE); empty when unset.
std::wstring TolvaneExePath();
// Folder for screenshots (TOLVANE_SHOTS); empty when unset.
std::wstring ShotsDir();
// True when TOLVANE_FAT32 is set: the group runs with drive C: reporting FAT32.
bool Fat32Drive();
// A folder outside the prefix that every group of the same build sees (TOLVANE_SHARED), for
// tests that play several machines in turn; empty when unset.
std::wstring SharedDir();

// Polls every 20 ms until `done` holds; false when the time ran out first.
bool WaitUntil(DWORD timeoutMs, const std::function<bool()>& done);

// Windows version that Wine reports to processes started afterwards: L"win2k", L"winxp",
// L"win2003" or L"win7".
bool SetWindowsVersion(const wchar_t* name);
// Makes Wine report Windows Server 2003 SP2 on a domain controller to processes started
// afterwards. Wine takes the product type from the registry only where no Version is set, so
// this removes the one SetWindowsVersion wrote; the next SetWindowsVersion wins again.
bool ActAsDomainController();

// ---- Registry under HKEY_LOCAL_MACHINE, by key path ("SYSTEM\\CurrentControlSet\\...") ----

struct RegValue {
    DWORD type;
    // REG_SZ and REG_EXPAND_SZ as stored; REG_DWORD in decimal; REG_MULTI_SZ with the strings
    // joined by L'\n'; anything else as lower-case hex bytes joined by commas ("01,ff").
    std::wstring text;
};

bool SetDword(const std::wstring& keyPath, const std::wstring& name, DWORD value);
bool SetString(const std::wstring& keyPath, const std::wstring& name, const std::wstring& value);
bool SetMultiString(const std::wstring& keyPath, const std::wstring& name,
                    const std::vector<std::wstring>& strings);
// True also when the value or key did not exist.
bool DeleteValue(const std::wstring& keyPath, const std::wstring& name);
// Deletes the key with everything under it; true also when it did not exist.
bool DeleteKey(const std::wstring& keyPath);
bool KeyExists(const std::wstring& keyPath);
std::optional<RegValue> ReadValue(const std::wstring& keyPath, const std::wstring& name);
// Makes the key (created if missing) read-only for everyone: opening it for writing and writing
// a value then fail with error 5. Wine keeps such a rule only until its wineserver ends, so call
// it in the test, before starting the program.
bool DenyWrites(const std::wstring& keyPath);
// Gives the key back the rules it had before DenyWrites.
bool AllowWrites(const std::wstring& keyPath);

// ---- The net.exe stand-in ----

// Where the stand-in keeps its accounts: one REG_SZ value per name, "yes" or "no".
inline constexpr wchar_t kAccountsKey[] = L"Software\\TolvaneTest\\Accounts";
// The guest account's name: Tolvane asks Windows for the name of the computer's account 501,
// which Wine calls "Guest".
inline constexpr wchar_t kGuestAccount[] = L"Guest";
inline constexpr wchar_t kHelpAccount[] = L"HelpAssistant";
// While held, the stand-in's query of the account ("net user NAME") does not answer (30 s at
// most).
bool HoldAccountQuery(const std::wstring& name, bool held);
// The same for as long as it lives, or until Release (true once let go).
struct HeldAccountQuery {
    explicit HeldAccountQuery(std::wstring account)
        : name(std::move(account)), held(HoldAccountQuery(name, true)) {}
    HeldAccountQuery(const HeldAccountQuery&) = delete;
    ~HeldAccountQuery() { Release(); }
    bool Release() { return !(held = held && !HoldAccountQuery(name, false)); }
    const std::wstring name;
    bool held;
};

bool SetAccount(const std::wstring& name, bool active);
// Makes "net user NAME" answer that the account does not exist.
bool RemoveAccount(const std::wstring& name);
// nullopt for an unknown account.
std::optional<bool> AccountActive(const std::wstring& name);
// Every command line the stand-in was started with since the last ClearNetLog, oldest first.
std::vector<std::wstring> NetLog();
// The program starts some commands without waiting for them, so a test waits for their effect:
// until a logged command line equals `line` exactly (as the stand-in got it), or until the
// account has the given state.
bool WaitForNetCommand(const std::wstring& line, DWORD timeoutMs = 10000);
bool WaitForAccount(const std::wstring& name, bool active, DWORD timeoutMs = 10000);
// Until no net.exe runs any more: the log then holds every command started so far, so a test
// can tell that one was not.
bool WaitForNetToEnd(DWORD timeoutMs = 10000);
bool ClearNetLog();
std::wstring NetLogPath();

// ---- Processes and their windows ----

// The first top-level window of the process with this class; when visibleOnly, only a visible
// one.
HWND FindProcessWindow(DWORD pid, const wchar_t* className, bool visibleOnly = true);

// One run of a program. The destructor kills the process if it still runs.
class App {
  public:
    App() = default;
    App(const App&) = delete;
    App& operator=(const App&) = delete;
    ~App();

    // Starts Tolvane (TolvaneExePath) with the given command-line words, and where given, a file
    // (an inheritable handle) as its standard output.
    bool Start(const std::wstring& args = L"", HANDLE standardOutput = nullptr);
    // Starts any program; the command line is the quoted path, a space and args.
    bool StartProgram(const std::wstring& exePath, const std::wstring& args,
                      HANDLE standardOutput = nullptr);

    // The main window (class TolvaneMain), once visible and enabled, that is once start-up ended.
    HWND WaitForMainWindow(DWORD timeoutMs = 30000);
    // A visible top-level window of the process with this class.
    HWND WaitForWindow(const wchar_t* className, DWORD timeoutMs = 10000);
    // A visible message box (class "#32770") of the process.
    HWND WaitForMessageBox(DWORD timeoutMs = 10000);
    // The main window idle again: every click and command queued before this call (PostClick,
    // Menu) has been taken up, the window is visible and enabled, and neither a message box nor
    // the please-wait window of the process is shown.
    bool WaitIdle(HWND main, DWORD timeoutMs = 30000);
    bool WaitForExit(DWORD timeoutMs = 10000);

    bool Running() const;
    // STILL_ACTIVE (259) while the process runs.
    DWORD ExitCode() const;
    DWORD pid() const { return pid_; }
    // Ends the process if it still runs; its exit code stays readable.
    void Kill();

  private:
    template <typename Found>
    HWND Poll(DWORD timeoutMs, Found found);

    win32::UniqueHandle process_;
    win32::UniqueHandle thread_;
    DWORD pid_ = 0;
};

// ---- Controls of the main window ----

HWND Control(HWND main, ControlId id);
// Sends BM_CLICK and returns when the click's handler has returned. Not for a click that opens
// a message box: it would wait for the box to close.
bool Click(HWND main, ControlId id);
// Queues BM_CLICK (SendNotifyMessage) and returns at once; for clicks that open a message box
// or run long. Follow with WaitForMessageBox or WaitIdle.
bool PostClick(HWND main, ControlId id);
// Queues the menu command like PostClick.
bool Menu(HWND main, MenuId id);
// BST_UNCHECKED (0), BST_CHECKED (1), or -1 when the control cannot be read.
int CheckState(HWND main, ControlId id);
bool Enabled(HWND main, ControlId id);
bool Visible(HWND main, ControlId id);
std::wstring Text(HWND window);
std::wstring Text(HWND main, ControlId id);
// The control's rectangle in the main window's client coordinates, in pixels.
RECT ClientRectOf(HWND main, ControlId id);
// Labels publish their font as the window properties kFontWeightProperty and
// kFontCentipointsProperty (ui/win32/FontPropertiesForTests.h).
// The published weight, else the weight of the font when the control is in this process;
// 0 when unknown.
int FontWeight(HWND control);
// The published size in hundredths of a point, else as FontWeight; 0 when unknown.
int FontCentipoints(HWND control);
// FontWeight of the control is 700 or more.
bool LabelIsBold(HWND main, ControlId id);
// The control's text, wrapped at its width in the given font as a static control wraps it, fits
// inside it: no word cut at the right, no line lost at the bottom. Which font the control has
// cannot be read from another process: the caller gives it (the layout's, with the published
// weight). Where it does not, `why` gets the size needed and the size there is, in pixels.
bool TextFits(HWND control, const wchar_t* face, int centipoints, bool bold,
              std::wstring* why = nullptr);

// ---- The keyboard, as a person uses it ----

// The window that has the keyboard focus in the thread of `window`, or null.
HWND FocusedWindow(HWND window);
// Gives the control the keyboard focus, its window first brought to the foreground.
bool FocusControl(HWND control);
// Presses the keys in order and lets them go in reverse order (VK_MENU, VK_F4 is Alt+F4), in
// the foreground window, which `window` becomes first. The program takes them up later: wait
// for their effect.
bool PressKeys(HWND window, std::initializer_list<WORD> keys);

// ---- The mouse ----

// Moves the real pointer onto the middle of the control (a little off it first, so that the
// move is seen even when the pointer was there already).
bool PointAt(HWND control);
// The same for a point of the screen.
bool PointAtScreen(POINT point);

// ---- Message boxes ----

std::wstring Title(HWND window);
std::wstring MessageBoxText(HWND box);
// IDOK 1, IDCANCEL 2, IDYES 6, IDNO 7.
bool HasButton(HWND box, int buttonId);
// The button that Enter presses; 0 when the box has none.
int DefaultButton(HWND box);
// Clicks the button and returns once the box is gone, that is once the program has the answer.
bool Answer(HWND box, int buttonId);

// ---- The standard Open and Save dialogs ----

// Puts the path into the file dialog's name field and presses its OK button (as typing the
// path and Return would); returns once the dialog is gone, that is once the program has the
// answer. Give a whole path: Wine's 64-bit Save dialog fails on a drive-relative one.
bool ChooseFile(HWND dialog, const std::wstring& path);

// ---- A list view in report style, in Tolvane's process ----
// Its messages carry pointers, which Windows does not carry from one process to another: the
// driver lends them memory inside Tolvane's process (VirtualAllocEx) and reads it back.

// The headings of its columns, in order.
std::vector<std::wstring> ListViewHeadings(HWND list);
// The cells of every row, in the list's order.
std::vector<std::vector<std::wstring>> ListViewRows(HWND list);
// Selects exactly these rows, by their place in the list.
bool SelectListViewRows(HWND list, std::initializer_list<int> rows);
// Clicks a column's heading as the mouse does (pressed and let go on it), and returns once the
// list has taken the click up.
bool ClickListViewHeading(HWND list, int column);
// The text on the clipboard; empty when it holds none.
std::wstring ClipboardText();

// ---- Screenshots ----

// Saves the window's area of the screen as ShotsDir()\name.bmp (24 bits per pixel).
// run-under-wine.sh turns the pictures into PNG files when the test program ends.
bool SaveScreenshot(HWND window, const std::wstring& name);

}  // namespace tolvane::e2e
