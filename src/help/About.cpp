#include "help/About.h"

#include "system/Decimal.h"
#include "system/SystemInfo.h"

namespace tolvane {
namespace {

using A = AboutControlId;
using K = ControlKind;

constexpr std::array<SmallControl, kAboutControlCount> kLayout = {{
    {Index(A::LogoPicture), K::Picture, L"", 240, 120, 1095, 2100},
    {Index(A::TitleLabel), K::Label, L"", 1680, 240, 4095, 360, kOnWindow, true, 1200, true},
    // Two lines: the program's version, and the Windows it runs on.
    {Index(A::VersionLabel), K::Label, L"", 1680, 630, 4095, 480, kOnWindow, true, 975},
    {Index(A::DescriptionLabel), K::Label,
     L"Tolvane is a freeware which lets you secure your PC running under Windows, by closing "
     L"some critical ports sensitive to Web attacks. You could also find some interesting "
     L"features like deletion of the shares, or deactivation of the default accounts.",
     1680, 1140, 4095, 990},
    {Index(A::FreewareLabel), K::Label, L"this software is freeware.", 1680, 2160, 4095, 255},
    {Index(A::ThanksLabel), K::Label,
     L"Thanks to the following members who helped the project to come out :", 255, 2625, 3870, 420},
    // The free projects Tolvane is built and tested with.
    {Index(A::BuildToolsLabel), K::Label, L"mingw-w64 - GCC - CMake - ImageMagick", 240, 3120, 3975,
     255, kOnWindow, true, kDefaultCentipoints, true, L"MS Sans Serif"},
    {Index(A::TestToolsLabel), K::Label, L"Wine - GoogleTest - Xvfb", 240, 3360, 3855, 255,
     kOnWindow, true, kDefaultCentipoints, true},
    {Index(A::HomePageLink), K::Label, L"tolvane.example.org", 240, 3600, 1935, 255, kOnWindow,
     true, kDefaultCentipoints, true},
    {Index(A::SupportButton), K::Button, L"Support ...", 4260, 2640, 1467, 345},
    {Index(A::SystemInfoButton), K::Button, L"&System info", 4260, 3120, 1452, 345},
    {Index(A::OkButton), K::Button, L"OK", 4245, 3585, 1467, 345},
}};

constexpr wchar_t kNotAvailable[] = L"System informations are not available";

// Starts the program at exactly this path: quoted, a blank in it cannot make another program run.
// A path quoted already is taken as written, with whatever arguments follow its closing quote.
bool StartProgramAt(System& system, const std::wstring& path) {
    const std::wstring commandLine = path.starts_with(L'"') ? path : L"\"" + path + L"\"";
    return system.StartCommand(commandLine, WindowStyle::Normal) != nullptr;
}

}  // namespace

const SmallWindowDesign kAboutDesign{L"TolvaneAbout", L"About Tolvane...", 5865, 4080, 4000,
                                     kLayout};

std::wstring VersionNumber(const std::array<std::uint16_t, 4>& version) {
    return Decimal(version[0]) + L"." + Decimal(version[1]) + L"." + Decimal(version[3]);
}

std::wstring VersionText(const std::array<std::uint16_t, 4>& version) {
    return L"Version " + VersionNumber(version);
}

std::wstring AboutVersionText(System& system) {
    const auto version = system.ProgramVersion();
    return (version ? VersionText(*version) : L"") + L"\r\n" + WindowsName(system.QueryVersion());
}

std::optional<std::wstring> ReadLocalMachineText(Reg& reg, const std::wstring& keyPath,
                                                 const std::wstring& valueName) {
    RawValue value;
    if (reg.ReadRaw(kHklm, keyPath + L"\\" + valueName, value) != kRegOk) {
        return std::nullopt;
    }
    // A text ends at its first zero, or with the data when it was stored without one.
    const bool hasText = value.type == RawSz || value.type == RawDword;
    return hasText ? ValueText(value).value_or(L"") : L"";
}

void StartSystemInformation(Machine& machine) {
    System& system = machine.system;
    if (const auto path = ReadLocalMachineText(
            machine.reg, L"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", L"PATH")) {
        if (StartProgramAt(system, *path)) {
            return;
        }
    } else if (const auto folder = ReadLocalMachineText(
                   machine.reg, L"SOFTWARE\\Microsoft\\Shared Tools Location", L"MSINFO")) {
        const std::wstring program = *folder + L"\\MSINFO32.EXE";
        if (system.FileAttributes(program) && StartProgramAt(system, program)) {
            return;
        }
    }
    machine.host.ShowMessage(kNotAvailable, kAppTitle, MbOk);
}

}  // namespace tolvane
