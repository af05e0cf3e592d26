// The right to shut Windows down, which a process must switch on before asking for a restart.
#pragma once

namespace tolvane::win32 {

// Enables SeShutdownPrivilege on the process token; false when the token lacks it.
bool EnableShutdownPrivilege();

}  // namespace tolvane::win32
