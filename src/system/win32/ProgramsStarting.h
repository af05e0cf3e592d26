// Programs started on a thread of their own: under Wine, each start waits tens of milliseconds
// for the new process, which the thread of the windows spends making the window meanwhile.
#pragma once

#include <memory>
#include <vector>

#include "system/System.h"

namespace tolvane::win32 {

// Starts them with system.StartProgram, which must be safe to call from another thread.
std::unique_ptr<ProgramsStarting> StartProgramsOnAThread(System& system,
                                                         std::vector<ProgramStart> starts);

}  // namespace tolvane::win32
