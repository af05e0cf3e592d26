// The manual carried in the program, opened in the Windows help viewer.
#pragma once

#include "model/Machine.h"

namespace tolvane {

inline constexpr wchar_t kHelpFileName[] = L"\\Aide.chm";

// Writes the manual beside the program and starts a viewer on it; each use starts one more.
void OpenHelpFile(Machine& machine);

}  // namespace tolvane
