// The system interface on Windows.
#pragma once

#include "system/System.h"

namespace tolvane::win32 {

class Win32System : public System {
  public:
    VersionInfo QueryVersion() override;
    std::wstring WindowsDirectory() override;
    std::wstring SystemDirectory() override;
    std::vector<wchar_t> DriveLetters() override;
    std::wstring FileSystemOf(wchar_t driveLetter) override;
    std::optional<std::uint32_t> FileAttributes(const std::wstring& path) override;
    bool RemoveFile(const std::wstring& path) override;
    std::unique_ptr<ReadableFile> OpenToRead(const std::wstring& path,
                                             unsigned long& error) override;
    std::uint32_t Milliseconds() override;
    void Pause(std::int32_t milliseconds) override;
    std::unique_ptr<StartedProcess> StartCommand(const std::wstring& commandLine,
                                                 WindowStyle style) override;
    std::unique_ptr<StartedProcess> StartProgram(const ProgramStart& start) override;
    std::unique_ptr<ProgramsStarting> StartProgramsAside(std::vector<ProgramStart> starts) override;
    void WaitForAll(std::span<StartedProcess* const> processes, std::int32_t milliseconds) override;
    void OpenDocument(std::uintptr_t ownerWindow, const std::wstring& target) override;
    std::wstring ProgramFolder() override;
    Extraction ExtractResource(const std::wstring& path, const std::wstring& type,
                               std::uint16_t number) override;
    unsigned long ExtractResourceUnlessIdentical(const std::wstring& path, const std::wstring& type,
                                                 std::uint16_t number) override;
    std::optional<std::array<std::uint16_t, 4>> ProgramVersion() override;
    unsigned long EndSession(unsigned flags) override;
    unsigned long WriteFileReplacing(const std::wstring& path, const std::string& bytes) override;
    std::wstring ErrorText(unsigned long code) override;
    std::wstring ComputerName() override;
    UtcTime UtcNow() override;
    std::optional<std::wstring> EnvironmentVariable(const std::wstring& name) override;
    bool WriteStandardOutput(const std::wstring& text) override;
    bool InteractiveSession() override;
    std::vector<ListeningPort> ListeningPorts() override;
    std::optional<std::vector<RunningService>> RunningServices() override;
    std::optional<bool> JoinedToDomain() override;
    MachineLockResult LockMachineForChanges(std::uint32_t waitMs) override;
    std::optional<bool> RunsAsAdministrator() override;
    bool UnderWow64() override;
};

}  // namespace tolvane::win32
