// The machine-wide lock of the runs that change the machine: a named mutex of the global
// namespace, so that the runs of every session (a start-up script's, an administrator's over
// Remote Desktop) share it and wait on it, trusted only where the local system account or the
// administrators own it; and a file in the Windows folder that every run takes as well, which no
// user but an administrator can make.
#pragma once

#include <cstdint>
#include <optional>

#include "system/System.h"

namespace tolvane::win32 {

inline constexpr wchar_t kMachineMutexName[] = L"Global\\Tolvane.ChangingThisComputer";

MachineLockResult LockMachineMutex(std::uint32_t waitMs);
// Whether the process runs with the administrators' rights.
std::optional<bool> RunsAsAdministrator();

}  // namespace tolvane::win32
