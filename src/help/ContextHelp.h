// The help area of the main window: a heading and an explanation of the control under the
// pointer.
#pragma once

#include <optional>

#include "model/MainWindowState.h"

namespace tolvane {

inline constexpr wchar_t kSharesUnavailableHelp[] =
    L"The file system doesn't let the options to be validated, please modify the NTFS options in "
    L"order to proceed any further";

// Microsoft, "How to disable DCOM support in Windows" (KB 825750): Windows 2000 needs Service
// Pack 3 or later.
inline constexpr wchar_t kPort135NeedsSp3Help[] =
    L"Unavailable on this machine: Windows 2000 can switch DCOM off only from its Service Pack 3 "
    L"on, and port 135 stays open while DCOM is on. Install Service Pack 3 or later to close it.";
// "Network access: Sharing and security model for local accounts": Classic on a domain member.
inline constexpr wchar_t kSingleShareDomainHelp[] =
    L"Unavailable on this machine: on a member of a domain Windows XP always has network users "
    L"authenticate as themselves (the classic model), so this option is in force already and "
    L"cannot be turned off.";

// The pointer moved over the control (none: the window's own background). Controls without a row
// of the help table leave the help area as it is.
void ShowHelpFor(MainWindowState& state, std::optional<ControlId> id);

}  // namespace tolvane
