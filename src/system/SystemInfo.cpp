#include "system/SystemInfo.h"

#include <algorithm>

#include "system/Decimal.h"

namespace tolvane {

namespace {
constexpr unsigned kPlatformNt = 2;
constexpr std::uint32_t kDirectoryAttribute = 0x10;
// Attributes that do not fit a signed 16-bit number count as unreadable.
constexpr std::uint32_t kLargestAttributes = 32767;
}  // namespace

WindowsVersion WindowsVersionOf(const VersionInfo& version) {
    if (!version.ok || version.major != 5 || version.platform != kPlatformNt) {
        return WindowsVersion::Unsupported;
    }
    switch (version.minor) {
        case 0:
            return WindowsVersion::Windows2000;
        case 1:
            return WindowsVersion::WindowsXp;
        case 2:
            return version.productType == ProductWorkstation ? WindowsVersion::WindowsXp
                                                             : WindowsVersion::Server2003;
        default:
            return WindowsVersion::Unsupported;
    }
}

WindowsVersion DetectWindowsVersion(System& system) {
    return WindowsVersionOf(system.QueryVersion());
}

bool IsXpX64(const VersionInfo& version) {
    return WindowsVersionOf(version) == WindowsVersion::WindowsXp && version.minor == 2;
}

unsigned DefaultsServicePack(const VersionInfo& version) {
    constexpr unsigned kXpSp2 = 2;
    return IsXpX64(version) && version.servicePack < kXpSp2 ? kXpSp2 : version.servicePack;
}

std::wstring WindowsName(const VersionInfo& version) {
    const bool itanium = version.processor == Processor::Itanium;
    std::wstring name;
    switch (WindowsVersionOf(version)) {
        case WindowsVersion::Unsupported:
            return name;
        case WindowsVersion::Windows2000:
            name = L"Windows 2000";
            break;
        case WindowsVersion::WindowsXp:
            // Both XP versions of Itanium systems, the one of XP's and the one of 2003's code.
            name = itanium            ? L"Windows XP 64-Bit Edition"
                   : IsXpX64(version) ? L"Windows XP Professional x64 Edition"
                                      : L"Windows XP";
            break;
        case WindowsVersion::Server2003:
            name = itanium ? L"Windows Server 2003 for Itanium-based Systems"
                   : version.processor == Processor::X64 ? L"Windows Server 2003 x64"
                                                         : L"Windows Server 2003";
            break;
    }
    if (version.servicePack > 0) {
        name += L" Service Pack " + Decimal(version.servicePack);
    }
    return name;
}

bool IsDomainController(const VersionInfo& version) {
    return version.productType == ProductDomainController;
}

DomainRole RoleOf(const VersionInfo& version, std::optional<bool> joinedToDomain) {
    if (IsDomainController(version)) {
        return DomainRole::Controller;
    }
    if (!joinedToDomain) {
        return DomainRole::Unknown;
    }
    return *joinedToDomain ? DomainRole::Member : DomainRole::Workgroup;
}

DomainRole DetectDomainRole(System& system) {
    return RoleOf(system.QueryVersion(), system.JoinedToDomain());
}

std::wstring SystemDriveFileSystem(System& system, const std::wstring& systemDrive) {
    std::wstring name;
    if (systemDrive.empty()) {
        return name;
    }
    for (wchar_t letter : system.DriveLetters()) {
        if (letter == systemDrive[0]) {
            name = system.FileSystemOf(letter);
        }
    }
    return name;
}

bool FileExists(System& system, const std::wstring& path) {
    const auto attributes = system.FileAttributes(path);
    return attributes && *attributes <= kLargestAttributes &&
           (*attributes & kDirectoryAttribute) == 0;
}

FileBytes ReadFileBytes(System& system, const std::wstring& path, std::size_t maxBytes) {
    unsigned long error = 0;
    const std::unique_ptr<ReadableFile> file = system.OpenToRead(path, error);
    if (!file) {
        return {std::nullopt, error};
    }
    const std::optional<std::uint64_t> size = file->Size();
    std::string bytes;
    char chunk[4096];
    while (bytes.size() < maxBytes) {
        const std::optional<std::size_t> read =
            file->Read(chunk, std::min(sizeof(chunk), maxBytes - bytes.size()), error);
        if (!read) {
            return {std::nullopt, error};
        }
        if (*read == 0) {
            break;
        }
        bytes.append(chunk, *read);
    }
    // A file another program is writing only grows; one that shrank was cut.
    if (size && bytes.size() < std::min<std::uint64_t>(*size, maxBytes)) {
        return {std::nullopt, kFileEndedEarly};
    }
    return {std::move(bytes), 0};
}

bool HasGroupPolicyEditor(System& system, const std::wstring& windowsFolder) {
    return FileExists(system, windowsFolder + L"\\System32\\gpedit.msc");
}

bool IsXpProfessional(System& system, const std::wstring& windowsFolder) {
    const VersionInfo version = system.QueryVersion();
    return WindowsVersionOf(version) == WindowsVersion::WindowsXp &&
           (IsXpX64(version) || HasGroupPolicyEditor(system, windowsFolder));
}

void StartWithoutWaiting(System& system, const std::wstring& commandLine, WindowStyle style) {
    system.StartCommand(commandLine, style);
}

std::vector<CommandEnd> WaitToEnd(System& system, const StartedProcesses& processes,
                                  std::uint32_t milliseconds) {
    std::vector<StartedProcess*> started;
    for (const auto& process : processes) {
        if (process) {
            started.push_back(process.get());
        }
    }
    if (!started.empty()) {
        system.WaitForAll(started, static_cast<std::int32_t>(milliseconds));
    }
    std::vector<CommandEnd> ends;
    for (const auto& process : processes) {
        ends.push_back(!process                  ? CommandEnd::NotStarted
                       : process->WaitForExit(0) ? CommandEnd::Ended
                                                 : CommandEnd::StillRunning);
    }
    return ends;
}

std::vector<CommandEnd> RunCommandsToEnd(System& system,
                                         const std::vector<std::wstring>& commandLines,
                                         WindowStyle style, std::uint32_t milliseconds) {
    std::vector<std::unique_ptr<StartedProcess>> processes;
    for (const std::wstring& line : commandLines) {
        processes.push_back(system.StartCommand(line, style));
    }
    return WaitToEnd(system, processes, milliseconds);
}

StartedProcesses StartPrograms(System& system, std::span<const ProgramStart> programs) {
    StartedProcesses processes;
    for (const ProgramStart& program : programs) {
        processes.push_back(system.StartProgram(program));
    }
    return processes;
}

std::vector<CommandEnd> RunProgramsToEnd(System& system, std::span<const ProgramStart> programs,
                                         std::uint32_t milliseconds) {
    return WaitToEnd(system, StartPrograms(system, programs), milliseconds);
}

}  // namespace tolvane
