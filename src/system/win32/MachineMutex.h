// The machine-wide lock of the runs that change the machine, as a named mutex of the global
// namespace, so that the runs of every session (a start-up script's, an administrator's over
// Remote Desktop) share it.
#pragma once

#include <cstdint>

#include "system/System.h"

namespace tolvane::win32 {

inline constexpr wchar_t kMachineMutexName[] = L"Global\\Tolvane.ChangingThisComputer";

MachineLockResult LockMachineMutex(std::uint32_t waitMs);

}  // namespace tolvane::win32
