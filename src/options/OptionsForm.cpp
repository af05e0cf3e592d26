#include "options/OptionsForm.h"

#include "system/Restart.h"
#include "system/SystemInfo.h"

namespace tolvane {
namespace {

using O = OptionsControlId;
using K = ControlKind;
constexpr O kWindow = O::Count;

constexpr std::array<OptionsLayout, kOptionsControlCount> kLayout = {{
    {O::Frame1, K::Frame, L"NTFS Options", kWindow, 480, 360, 5175, 2895, true},
    {O::FileSystemLabel, K::Label, L"Your filesystem is ", O::Frame1, 240, 480, 4575, 255, true},
    {O::SecurityNotice, K::Label,
     L"For security reasons, better set your filesystem to NTFS, you could then use all the "
     L"options available in the software.",
     O::Frame1, 240, 840, 4335, 615, true},
    {O::ChangeFSLabel, K::Label,
     L"If your filesystem is FAT, switch to NTFS to improve your security.", O::Frame1, 240, 1560,
     3255, 495, true},
    {O::RestartLabel, K::Label, L"You need to restart your PC to set the Filesystem on NTFS",
     O::Frame1, 240, 2280, 3135, 495, true},
    {O::FatToNtfs, K::Button, L"Apply", kWindow, 4200, 1920, 1215, 375, true},
    {O::RestartButton, K::Button, L"Restart", kWindow, 4200, 2640, 1215, 375, false},
    {O::Frame2, K::Frame, L"XP Home Options", kWindow, 480, 3600, 5175, 1935, true},
    {O::SecurityLabel, K::Label,
     L"Install the security tab so that to set the rights on your folders/files. This options "
     L"is not installed on XP Home versions, but if you install it, you will then be able to "
     L"manage the rights on folders and files, as well as accessing shared options.",
     O::Frame2, 240, 360, 4695, 855, false},
    {O::InstallSecurity, K::Button, L"Install", kWindow, 4200, 4920, 1215, 375, false},
    {O::CmdClose, K::Button, L"&Close", kWindow, 4200, 5880, 1215, 375, true},
}};

constexpr const wchar_t* kPackFiles[] = {L"\\scesetup.inf", L"\\immc.exe",  L"\\regsvr32.exe",
                                         L"\\scefiles.inf", L"\\mssce.cab", L"\\setup.inf"};

constexpr wchar_t kInstallQuestion[] =
    L"This will install the XP Home Security Tab pack\r\n\r\nImportant : when you are prompetd "
    L"to modify Esent.dll, answer Yes to keep the English version.\r\nYou will have to restart "
    L"the system after you installed the package.\r\n\r\nAre you ready?";

}  // namespace

std::span<const OptionsLayout> OptionsWindowLayout() {
    return kLayout;
}

TwipRect WindowRectTwips(const OptionsLayout& control) {
    TwipRect rect{control.left, control.top, control.width, control.height};
    if (control.frame != kWindow) {
        rect.left += kLayout[static_cast<int>(control.frame)].left;
        rect.top += kLayout[static_cast<int>(control.frame)].top;
    }
    return rect;
}

bool SecurityPackPresent(System& system) {
    const std::wstring folder = system.ProgramFolder();
    for (const wchar_t* file : kPackFiles) {
        if (!FileExists(system, folder + file)) {
            return false;
        }
    }
    return true;
}

OptionsForm::OptionsForm(Form& main, Machine& machine) : main_(main), machine_(machine) {
    for (const OptionsLayout& control : kLayout) {
        controls_[static_cast<int>(control.id)] = {control.caption, control.enabled};
    }
}

void OptionsForm::Load() {
    System& system = machine_.system;
    SetCaption(O::FileSystemLabel,
               At(O::FileSystemLabel).caption + GetSystemFileSystem(system) + L".");
    if (GetSystemFileSystem(system) == L"NTFS") {
        SetCaption(O::SecurityNotice,
                   L"Your filesystem is already NTFS, you can access all the options available in "
                   L"the software.");
        for (O id : {O::ChangeFSLabel, O::RestartLabel, O::RestartButton, O::FatToNtfs}) {
            SetEnabled(id, false);
        }
    }
    // Windows XP Home (no gpedit.msc) without the pack installed yet, and the pack at hand.
    if (GetOsVersion(system) == OsWindowsXp &&
        !FileExists(system, WindowsDir + L"\\System32\\gpedit.msc") &&
        !FileExists(system, WindowsDir + L"\\System32\\wsecedit.dll") &&
        SecurityPackPresent(system)) {
        for (O id : {O::SecurityLabel, O::InstallSecurity, O::Frame2}) {
            SetEnabled(id, true);
        }
    }
}

bool OptionsForm::Click(OptionsControlId id) {
    if (!At(id).enabled) {
        return true;
    }
    switch (id) {
        case O::FatToNtfs:
            ConvertToNtfs();
            return true;
        case O::InstallSecurity:
            InstallSecurityPack();
            return true;
        case O::RestartButton:
            RestartSystem(main_, machine_, true);
            return false;
        case O::CmdClose:
            return false;
        default:
            return true;
    }
}

void OptionsForm::ConvertToNtfs() {
    conversion_ = machine_.system.StartCommand(L"convert " + SystemDrive + L": /FS:NTFS",
                                               WindowStyle::Minimized);
    if (!conversion_) {
        machine_.host.ShowMessage(
            L"Tolvane could not start the conversion of drive " + SystemDrive + L": to NTFS.",
            kAppTitle, MbOk | MbIconExclamation);
        return;
    }
    SetEnabled(O::FatToNtfs, false);
}

bool OptionsForm::WatchConversion() {
    if (!conversion_) {
        return false;
    }
    // A forced restart while convert asks its questions would kill it before it scheduled the
    // conversion: the restart is offered once it has ended.
    if (!conversion_->WaitForExit(0)) {
        return true;
    }
    conversion_.reset();
    SetEnabled(O::RestartButton, true);
    return false;
}

void OptionsForm::InstallSecurityPack() {
    Host& host = machine_.host;
    host.ShowMainWindow(false);
    if (host.ShowMessage(kInstallQuestion, L"Security Pack installation",
                         MbYesNo | MbIconExclamation) == IdYes) {
        RunCommand(machine_.system,
                   WindowsDir +
                       L"\\System32\\rundll32.exe setupapi,InstallHinfSection DefaultInstall 132 " +
                       machine_.system.ProgramFolder() + L"\\setup.inf",
                   WindowStyle::Minimized);
    }
    host.ShowMainWindow(true);
}

void OptionsForm::SetEnabled(OptionsControlId id, bool enabled) {
    controls_[static_cast<int>(id)].enabled = enabled;
    if (view_) {
        view_(id);
    }
}

void OptionsForm::SetCaption(OptionsControlId id, std::wstring caption) {
    controls_[static_cast<int>(id)].caption = std::move(caption);
    if (view_) {
        view_(id);
    }
}

}  // namespace tolvane
