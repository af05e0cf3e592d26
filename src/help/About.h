// The about window's logic: the version shown, the links, and the system information tool.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "model/ControlLayout.h"
#include "model/Machine.h"

namespace tolvane {

enum class AboutControlId : std::uint8_t {
    LogoPicture,
    TitleLabel,
    VersionLabel,
    DescriptionLabel,
    FreewareLabel,
    ThanksLabel,
    BuildToolsLabel,
    TestToolsLabel,
    HomePageLink,
    SupportButton,
    SystemInfoButton,
    OkButton,
    Count
};
inline constexpr int kAboutControlCount = static_cast<int>(AboutControlId::Count);

extern const SmallWindowDesign kAboutDesign;
// The white separator, two pixels wide, from (240, 2520) to (5657, 2520).
inline constexpr TwipRect kAboutSeparator{240, 2520, 5417, 0};
inline constexpr Rgb kLinkColour{170, 192, 250};

// "1.6.212" for the program version 1.6.0.212: the build number is not shown.
std::wstring VersionNumber(const std::array<std::uint16_t, 4>& version);
// "Version 1.6.212".
std::wstring VersionText(const std::array<std::uint16_t, 4>& version);

// The version line, then the name of the Windows the program runs on.
std::wstring AboutVersionText(System& system);

// A text or number value below HKEY_LOCAL_MACHINE as text; empty for a value of another type,
// nothing when it cannot be read.
std::optional<std::wstring> ReadLocalMachineText(Reg& reg, const std::wstring& keyPath,
                                                 const std::wstring& valueName);

// Starts the system information tool from where Windows says it is, or says it is not there.
void StartSystemInformation(Machine& machine);

}  // namespace tolvane
