// The help area of the main window: a heading and an explanation of the control under the
// pointer.
#pragma once

#include <optional>

#include "model/MainWindowState.h"

namespace tolvane {

inline constexpr wchar_t kSharesUnavailableHelp[] =
    L"The file system doesn't let the options to be validated, please modify the NTFS options in "
    L"order to proceed any further";

// The pointer moved over the control (none: the window's own background). Controls without a row
// of the help table leave the help area as it is.
void ShowHelpFor(MainWindowState& state, std::optional<ControlId> id);

}  // namespace tolvane
