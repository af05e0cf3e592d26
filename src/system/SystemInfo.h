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

// Windows XP Professional x64 Edition (5.2 on a workstation) counts as Windows XP.
WindowsVersion WindowsVersionOf(const VersionInfo& version);
WindowsVersion DetectWindowsVersion(System& system);
// Windows XP Professional x64 Edition: the version of Server 2003, on a workstation.
bool IsXpX64(const VersionInfo& version);
// The service pack whose defaults the system ships. The x64 edition of XP, built from Server
// 2003 SP1, has those of XP SP2 and later whatever its own number.
unsigned DefaultsServicePack(const VersionInfo& version);
// The system's name as the about window and the report give it, with its edition, named from the
// machine's processor, and its service pack: "Windows XP Professional x64 Edition Service Pack
// 2"; empty for an unsupported one.
std::wstring WindowsName(const VersionInfo& version);

// Unknown where the system cannot tell: treated as a domain's machine, so that a caution is shown
// rather than missed.
enum class DomainRole { Workgroup, Member, Controller, Unknown };
// Told by the product type alone, without asking for the domain.
bool IsDomainController(const VersionInfo& version);
// A domain controller by its product type, else a member when joined to a domain.
DomainRole RoleOf(const VersionInfo& version, std::optional<bool> joinedToDomain);
DomainRole DetectDomainRole(System& system);

// Name of the file system of the drive with this letter ("NTFS"); empty when no drive has it.
std::wstring SystemDriveFileSystem(System& system, const std::wstring& systemDrive);

// A file, not a folder, exists at the path.
bool FileExists(System& system, const std::wstring& path);

// The whole file, or the system's code when it could not be read whole.
struct FileBytes {
    std::optional<std::string> bytes;
    unsigned long error = 0;
};
// At most maxBytes of the file. A read that fails part way (a share that drops, a lock), or a
// file that ends before the size the system gave, gives no bytes: a part must never stand for
// the whole.
FileBytes ReadFileBytes(System& system, const std::wstring& path, std::size_t maxBytes);

inline constexpr wchar_t kNtfs[] = L"NTFS";
// The group policy editor, gpedit.msc, tells Windows XP Professional from XP Home.
bool HasGroupPolicyEditor(System& system, const std::wstring& windowsFolder);
// Windows XP Professional, of either edition: the x64 one has no Home beside it.
bool IsXpProfessional(System& system, const std::wstring& windowsFolder);

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
