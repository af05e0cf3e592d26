#include "options/OptionsController.h"

#include "model/Restart.h"
#include "system/Decimal.h"
#include "system/SystemInfo.h"

namespace tolvane {
namespace {

using O = OptionsControlId;
using K = ControlKind;
constexpr int kNtfsFrame = Index(O::NtfsFrame);
constexpr int kXpHomeFrame = Index(O::XpHomeFrame);

constexpr std::array<SmallControl, kOptionsControlCount> kLayout = {{
    {Index(O::NtfsFrame), K::Frame, L"NTFS Options", 480, 360, 5175, 2895},
    {Index(O::FileSystemLabel), K::Label, L"Your filesystem is ", 240, 480, 4575, 255, kNtfsFrame},
    {Index(O::SecurityNoticeLabel), K::Label,
     L"For security reasons, better set your filesystem to NTFS, you could then use all the "
     L"options available in the software.",
     240, 840, 4335, 615, kNtfsFrame},
    {Index(O::ConvertAdviceLabel), K::Label,
     L"If your filesystem is FAT, switch to NTFS to improve your security.", 240, 1560, 3255, 495,
     kNtfsFrame},
    {Index(O::RestartLabel), K::Label, L"You need to restart your PC to set the Filesystem on NTFS",
     240, 2280, 3135, 495, kNtfsFrame},
    {Index(O::ConvertButton), K::Button, L"Apply", 4200, 1920, 1215, 375},
    {Index(O::RestartButton), K::Button, L"Restart", 4200, 2640, 1215, 375, kOnWindow, false},
    {Index(O::XpHomeFrame), K::Frame, L"XP Home Options", 480, 3600, 5175, 2175},
    {Index(O::SecurityTabLabel), K::Label,
     L"Install the security tab so that to set the rights on your folders/files. This options "
     L"is not installed on XP Home versions, but if you install it, you will then be able to "
     L"manage the rights on folders and files, as well as accessing shared options.",
     240, 360, 4695, 1095, kXpHomeFrame, false},
    {Index(O::InstallSecurityTabButton), K::Button, L"Install", 4200, 5160, 1215, 375, kOnWindow,
     false},
    {Index(O::CloseButton), K::Button, L"&Close", 4200, 5880, 1215, 375},
}};

constexpr const wchar_t* kPackFiles[] = {L"\\scesetup.inf", L"\\immc.exe",  L"\\regsvr32.exe",
                                         L"\\scefiles.inf", L"\\mssce.cab", L"\\setup.inf"};

constexpr wchar_t kInstallQuestion[] =
    L"This will install the XP Home Security Tab pack\r\n\r\nImportant : when you are prompetd "
    L"to modify Esent.dll, answer Yes to keep the English version.\r\nYou will have to restart "
    L"the system after you installed the package.\r\n\r\nAre you ready?";

// All six files of the pack lie beside the program.
bool SecurityPackPresent(System& system) {
    const std::wstring folder = system.ProgramFolder();
    for (const wchar_t* file : kPackFiles) {
        if (!FileExists(system, folder + file)) {
            return false;
        }
    }
    return true;
}

}  // namespace

const SmallWindowDesign kOptionsDesign{
    L"TolvaneOptions", L"File System options...", 6195, 6600, 3000, kLayout};

OptionsController::OptionsController(MainWindowState& mainWindow, Machine& machine)
    : mainWindow_(mainWindow), machine_(machine) {
    for (const SmallControl& control : kLayout) {
        controls_[control.id] = {control.caption, control.enabled};
    }
}

void OptionsController::Load() {
    System& system = machine_.system;
    const std::wstring fileSystem = SystemDriveFileSystem(system, machine_.systemDrive);
    SetCaption(O::FileSystemLabel, At(O::FileSystemLabel).caption + fileSystem + L".");
    if (fileSystem == kNtfs) {
        SetCaption(O::SecurityNoticeLabel,
                   L"Your filesystem is already NTFS, you can access all the options available in "
                   L"the software.");
        for (O id : {O::ConvertAdviceLabel, O::RestartLabel, O::RestartButton, O::ConvertButton}) {
            SetEnabled(id, false);
        }
    }
    // Windows XP Home (no gpedit.msc) without the pack installed yet, and the pack at hand.
    if (DetectWindowsVersion(system) == WindowsVersion::WindowsXp &&
        !IsXpProfessional(system, machine_.windowsFolder) &&
        !FileExists(system, machine_.windowsFolder + L"\\System32\\wsecedit.dll") &&
        SecurityPackPresent(system)) {
        for (O id : {O::SecurityTabLabel, O::InstallSecurityTabButton, O::XpHomeFrame}) {
            SetEnabled(id, true);
        }
    }
}

bool OptionsController::Click(OptionsControlId id) {
    if (!At(id).enabled) {
        return true;
    }
    switch (id) {
        case O::ConvertButton:
            ConvertToNtfs();
            return true;
        case O::InstallSecurityTabButton:
            InstallSecurityPack();
            return true;
        case O::RestartButton:
            RestartSystem(mainWindow_, machine_);
            return false;
        case O::CloseButton:
            return false;
        default:
            return true;
    }
}

void OptionsController::ConvertToNtfs() {
    conversion_ = machine_.system.StartCommand(L"convert " + machine_.systemDrive + L": /FS:NTFS",
                                               WindowStyle::Minimized);
    if (!conversion_) {
        machine_.host.ShowMessage(L"Tolvane could not start the conversion of drive " +
                                      machine_.systemDrive + L": to NTFS.",
                                  kAppTitle, MbOk | MbIconExclamation);
        return;
    }
    SetEnabled(O::ConvertButton, false);
}

bool OptionsController::WatchConversion() {
    if (!conversion_) {
        return false;
    }
    // A restart while convert asks its questions would end it before it scheduled the
    // conversion: the restart is offered once it has ended, however it ended (a conversion
    // scheduled for the next start may end with a failure code too).
    if (!conversion_->WaitForExit(0)) {
        return true;
    }
    const std::optional<unsigned long> exitCode = conversion_->ExitCode();
    conversion_.reset();
    SetEnabled(O::RestartButton, true);
    if (exitCode.value_or(0) != 0) {
        machine_.host.ShowMessage(
            L"convert ended with the exit code " + Decimal(static_cast<std::uint32_t>(*exitCode)) +
                L": drive " + machine_.systemDrive +
                L": may not be converted to NTFS. If convert scheduled the conversion for the next "
                L"start, the restart carries it out.",
            kAppTitle, MbOk | MbIconExclamation);
    }
    return false;
}

void OptionsController::InstallSecurityPack() {
    Host& host = machine_.host;
    host.ShowMainWindow(false);
    if (host.ShowMessage(kInstallQuestion, L"Security Pack installation",
                         MbYesNo | MbIconExclamation) == IdYes) {
        StartWithoutWaiting(
            machine_.system,
            machine_.windowsFolder +
                L"\\System32\\rundll32.exe setupapi,InstallHinfSection DefaultInstall 132 " +
                machine_.system.ProgramFolder() + L"\\setup.inf",
            WindowStyle::Minimized);
    }
    host.ShowMainWindow(true);
}

void OptionsController::SetEnabled(OptionsControlId id, bool enabled) {
    controls_[static_cast<int>(id)].enabled = enabled;
    if (view_) {
        view_(id);
    }
}

void OptionsController::SetCaption(OptionsControlId id, std::wstring caption) {
    controls_[static_cast<int>(id)].caption = std::move(caption);
    if (view_) {
        view_(id);
    }
}

}  // namespace tolvane
