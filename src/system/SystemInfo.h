// Version, Windows folder and file system of the system drive, file tests and commands.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "system/System.h"

namespace tolvane {

// Set by GetSystemFileSystem at every call; read everywhere.
extern std::wstring WindowsDir;   // no trailing backslash
extern std::wstring SystemDrive;  // the drive letter alone

enum OsCode : std::int16_t {
    OsUnsupported = 0,
    OsWindows2000 = 1,
    OsWindowsXp = 2,
    OsServer2003 = 3
};

std::int16_t OsCodeFor(const VersionInfo& version);
std::int16_t GetOsVersion(System& system);

// Unknown where the system cannot tell: treated as a domain's machine, so that a caution is shown
// rather than missed.
enum class DomainRole { Workgroup, Member, Controller, Unknown };
// A domain controller by its product type, else a member when joined to a domain.
DomainRole RoleOf(const VersionInfo& version, std::optional<bool> joinedToDomain);
DomainRole DetectDomainRole(System& system);

// Name of the Windows drive's file system ("NTFS"), empty when no drive letter matches.
std::wstring GetSystemFileSystem(System& system);

// A file, not a folder, exists at the path.
bool FileExists(System& system, const std::wstring& path);

// Starts a command without waiting for it; what it does is read back later.
void StartWithoutWaiting(System& system, const std::wstring& commandLine, WindowStyle style);

enum class CommandEnd { NotStarted, Ended, StillRunning };

// Starts every command at once, then waits, keeping the windows responsive, until all have
// ended or the time given for them together is up. One outcome per command, in order.
std::vector<CommandEnd> RunCommandsToEnd(System& system,
                                         const std::vector<std::wstring>& commandLines,
                                         WindowStyle style, std::uint32_t milliseconds);

}  // namespace tolvane
