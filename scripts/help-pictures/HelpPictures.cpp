// Takes the pictures of the help file: the real Tolvane.exe on a Windows XP machine, its windows
// saved as BMP files in TOLVANE_SHOTS. Run by scripts/make-help-pictures through
// tests/wine/run-under-wine.sh, which makes them PNG files.
//
//   tolvane_help_pictures.exe [NAME...]   NAME: main tools ntfs xphome about (default: all)
#include <cstdio>
#include <string>
#include <vector>

#include "Driver.h"
#include "help/About.h"
#include "options/OptionsController.h"

namespace tolvane::e2e {
namespace {

constexpr wchar_t kMenuClass[] = L"#32768";
// The files of the XP Home security-tab pack that the options window looks for beside the
// program; empty files will do.
constexpr const wchar_t* kPackFiles[] = {L"scesetup.inf", L"immc.exe",  L"regsvr32.exe",
                                         L"scefiles.inf", L"mssce.cab", L"setup.inf"};

// A plausible Windows XP: its services installed and started as on a new machine, Messenger
// already disabled (as Service Pack 2 leaves it), both accounts inactive.
struct ServiceStart {
    const wchar_t* service;
    DWORD start;
};
constexpr ServiceStart kServices[] = {
    {L"W32Time", 2},  {L"LmHosts", 2},        {L"PolicyAgent", 2}, {L"MSDTC", 3},
    {L"Schedule", 2}, {L"Dnscache", 2},       {L"Messenger", 4},   {L"SSDPSRV", 3},
    {L"upnphost", 3}, {L"RemoteRegistry", 2},
};

void Say(const std::wstring& text) {
    std::fwprintf(stderr, L"help pictures: %ls\n", text.c_str());
}

std::wstring SystemFile(const wchar_t* name) {
    wchar_t folder[MAX_PATH] = {};
    GetSystemDirectoryW(folder, MAX_PATH);
    return std::wstring(folder) + L"\\" + name;
}

std::wstring ProgramFile(const wchar_t* name) {
    const std::wstring exe = TolvaneExePath();
    return exe.substr(0, exe.find_last_of(L'\\') + 1) + name;
}

bool MakeEmptyFile(const std::wstring& path) {
    return static_cast<bool>(win32::UniqueHandle(CreateFileW(
        path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr)));
}

// The screen shows a window only once it has painted itself.
void LetItPaint() {
    Sleep(500);
}

bool Shoot(HWND window, const wchar_t* name) {
    if (!window) {
        return false;
    }
    LetItPaint();
    return SaveScreenshot(window, name);
}

class Pictures {
  public:
    bool Start() {
        for (const ServiceStart& service : kServices) {
            if (!SetDword(std::wstring(L"SYSTEM\\CurrentControlSet\\Services\\") + service.service,
                          L"Start", service.start)) {
                return false;
            }
        }
        // gpedit.msc marks Windows XP Professional, where simple sharing can be turned off.
        return SetWindowsVersion(L"winxp") && SetAccount(kGuestAccount, false) &&
               SetAccount(kHelpAccount, false) && MakeEmptyFile(SystemFile(L"gpedit.msc")) &&
               app_.Start() && (main_ = app_.WaitForMainWindow()) != nullptr;
    }

    // With the help area showing what the pointer is over, as a user sees it.
    bool Main() {
        return PointAt(Control(main_, ControlId::AdminSharesLabel)) &&
               WaitUntil(5000, [&] { return !Text(main_, ControlId::HelpTextBox).empty(); }) &&
               Shoot(main_, L"main");
    }

    bool Tools() {
        if (!PressKeys(main_, {VK_MENU, 'T'}) ||
            !WaitUntil(5000, [&] { return FindProcessWindow(app_.pid(), kMenuClass); })) {
            return false;
        }
        const bool shot = Shoot(main_, L"tools");
        PressKeys(main_, {VK_ESCAPE});
        PressKeys(main_, {VK_ESCAPE});
        return WaitUntil(5000, [&] { return !FindProcessWindow(app_.pid(), kMenuClass); }) && shot;
    }

    bool Ntfs() { return ShootOwned(MenuId::Options, kOptionsDesign.windowClass, L"ntfs"); }

    // Windows XP Home: no gpedit.msc, the pack not installed yet, and its files at hand.
    bool XpHome() {
        DeleteFileW(SystemFile(L"gpedit.msc").c_str());
        DeleteFileW(SystemFile(L"wsecedit.dll").c_str());
        for (const wchar_t* file : kPackFiles) {
            if (!MakeEmptyFile(ProgramFile(file))) {
                return false;
            }
        }
        return ShootOwned(MenuId::Options, kOptionsDesign.windowClass, L"xphome");
    }

    bool About() { return ShootOwned(MenuId::About, kAboutDesign.windowClass, L"about"); }

  private:
    // Opens the window from the menu, takes its picture and closes it again.
    bool ShootOwned(MenuId entry, const wchar_t* windowClass, const wchar_t* name) {
        if (!Menu(main_, entry)) {
            return false;
        }
        const HWND window = app_.WaitForWindow(windowClass);
        const bool shot = Shoot(window, name);
        if (window) {
            PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        }
        return WaitUntil(10000, [&] { return !IsWindow(window); }) && app_.WaitIdle(main_) && shot;
    }

    App app_;
    HWND main_ = nullptr;
};

struct Picture {
    const wchar_t* name;
    bool (Pictures::*take)();
};
// In this order: the XP Home picture changes the machine.
constexpr Picture kPictures[] = {{L"main", &Pictures::Main},
                                 {L"tools", &Pictures::Tools},
                                 {L"ntfs", &Pictures::Ntfs},
                                 {L"about", &Pictures::About},
                                 {L"xphome", &Pictures::XpHome}};

bool Wanted(const Picture& picture, const std::vector<std::wstring>& names) {
    if (names.empty()) {
        return true;
    }
    for (const std::wstring& name : names) {
        if (name == picture.name) {
            return true;
        }
    }
    return false;
}

int Run(const std::vector<std::wstring>& names) {
    for (const std::wstring& name : names) {
        bool known = false;
        for (const Picture& picture : kPictures) {
            known = known || name == picture.name;
        }
        if (!known) {
            Say(L"no picture is called " + name);
            return 2;
        }
    }
    Pictures pictures;
    if (!pictures.Start()) {
        Say(L"Tolvane did not start");
        return 1;
    }
    int failed = 0;
    for (const Picture& picture : kPictures) {
        if (!Wanted(picture, names)) {
            continue;
        }
        if ((pictures.*picture.take)()) {
            Say(std::wstring(L"took ") + picture.name);
        } else {
            Say(std::wstring(L"could not take ") + picture.name);
            ++failed;
        }
    }
    return failed == 0 ? 0 : 1;
}

}  // namespace
}  // namespace tolvane::e2e

int wmain(int argc, wchar_t** argv) {
    return tolvane::e2e::Run(std::vector<std::wstring>(argv + 1, argv + argc));
}
