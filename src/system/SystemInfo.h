// Version, Windows folder and file system of the system drive, file tests and commands.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "system/System.h"

namespace tolvane {

enum class WindowsVersion : std::uint8_t { Unsupported, Windows2000, WindowsXp, Server2003 };

WindowsVersion WindowsVersionOf(const VersionInfo& version);
WindowsVersion DetectWindowsVersion(System& system);

// Unknown where the system cannot tell: treated as a domain's machine, so that a caution is shown
// rather than missed.
enum class DomainRole { Workgroup, Member, Controller, Unknown };
// A domain controller by its product type, else a member when joined to a domain.
DomainRole RoleOf(const VersionInfo& version, std::optional<bool> joinedToDomain);
DomainRole DetectDomainRole(System& system);

// Name of the file system of the drive with this letter ("NTFS"); empty when no drive has it.
std::wstring SystemDriveFileSystem(System& system, const std::wstring& systemDrive);

// A file, not a folder, exists at the path.
bool FileExists(System& system, const std::wstring& path);

inline constexpr wchar_t kNtfs[] = L"NTFS";
// The group policy editor, gpedit.msc, tells Windows XP Professional from XP Home.
bool HasGroupPolicyEditor(System& system, const std::wstring& windowsFolder);

// Starts a command without waiting for it; what it does is read back later.
void StartWithoutWaiting(System& system, const std::wstring& commandLine, WindowStyle style);

enum class CommandEnd { NotStarted, Ended, StillRunning };

// Starts every command at once, then waits, keeping the windows responsive, until all have
// ended or the time given for them together is up. One outcome per command, in order.
std::vector<CommandEnd> RunCommandsToEnd(System& system,
                                         const std::vector<std::wstring>& commandLines,
                                         WindowStyle style, std::uint32_t milliseconds);
// The same for programs started directly, in two steps, so that other work can go on while they
// run: a null process for a program that could not start.
using StartedProcesses = std::vector<std::unique_ptr<StartedProcess>>;
StartedProcesses StartPrograms(System& system, std::span<const ProgramStart> programs);
std::vector<CommandEnd> WaitToEnd(System& system, const StartedProcesses& processes,
                                  std::uint32_t milliseconds);
std::vector<CommandEnd> RunProgramsToEnd(System& system, std::span<const ProgramStart> programs,
                                         std::uint32_t milliseconds);

}  // namespace tolvane
