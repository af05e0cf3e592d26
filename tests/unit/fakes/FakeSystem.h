// An in-memory machine: version, drives, files, a clock, and a log of started commands.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "system/System.h"

namespace tolvane::testing {

class FakeSystem : public System {
  public:
    VersionInfo QueryVersion() override { return version; }
    std::wstring WindowsDirectory() override { return windowsDir; }
    std::wstring SystemDirectory() override { return windowsDir + L"\\system32"; }
    std::vector<wchar_t> DriveLetters() override;
    std::wstring FileSystemOf(wchar_t driveLetter) override;
    std::optional<std::uint32_t> FileAttributes(const std::wstring& path) override;
    bool RemoveFile(const std::wstring& path) override;
    std::unique_ptr<ReadableFile> OpenToRead(const std::wstring& path,
                                             unsigned long& error) override;
    std::uint32_t Milliseconds() override { return clock; }
    void Pause(std::int32_t milliseconds) override;
    std::unique_ptr<StartedProcess> StartCommand(const std::wstring& commandLine,
                                                 WindowStyle style) override;
    std::unique_ptr<StartedProcess> StartProgram(const ProgramStart& start) override;
    // Started only when taken (or dropped): the real starts are done by then, and maybe no sooner.
    std::unique_ptr<ProgramsStarting> StartProgramsAside(std::vector<ProgramStart> starts) override;
    void WaitForAll(std::span<StartedProcess* const> processes, std::int32_t milliseconds) override;
    void OpenDocument(std::uintptr_t ownerWindow, const std::wstring& target) override {
        opened.push_back({ownerWindow, target});
    }
    std::wstring ProgramFolder() override { return programFolder; }
    Extraction ExtractResource(const std::wstring& path, const std::wstring& type,
                               std::uint16_t number) override;
    unsigned long ExtractResourceUnlessIdentical(const std::wstring& path, const std::wstring& type,
                                                 std::uint16_t number) override;
    std::optional<std::array<std::uint16_t, 4>> ProgramVersion() override { return version4; }
    // A file another program holds cannot be replaced, nor can a folder.
    unsigned long WriteFileReplacing(const std::wstring& path, const std::string& bytes) override {
        if (lockedFiles.count(path)) {
            return 32;
        }
        if (folders.count(path)) {
            return 5;
        }
        files[path] = bytes;
        return 0;
    }
    unsigned long EndSession(unsigned flags) override {
        exitRequests.push_back(flags);
        return exitError;
    }
    std::wstring ErrorText(unsigned long code) override {
        return L"system error " + std::to_wstring(code);
    }
    std::wstring ComputerName() override { return computerName; }
    UtcTime UtcNow() override { return now; }
    std::optional<std::wstring> EnvironmentVariable(const std::wstring& name) override {
        const auto found = environment.find(name);
        return found == environment.end() ? std::nullopt : std::optional(found->second);
    }
    bool WriteStandardOutput(const std::wstring& text) override {
        if (hasStandardOutput) {
            standardOutput += text;
        }
        return hasStandardOutput;
    }
    bool InteractiveSession() override { return interactive; }
    std::vector<ListeningPort> ListeningPorts() override {
        ++portReads;
        return ports;
    }
    std::optional<std::vector<RunningService>> RunningServices() override { return services; }
    std::optional<bool> JoinedToDomain() override { return joined; }
    // A mutex's ways: held by the thread that took it, which may take it again (recursion) and
    // must let go as often; taken by the next when its owner ended without letting go; and a
    // release that fails leaves it with its owner. Two runs on one fake machine exclude each other
    // as two processes would when they run on two threads.
    MachineLockResult LockMachineForChanges(std::uint32_t waitMs) override;
    std::optional<bool> RunsAsAdministrator() override { return administrator; }
    bool UnderWow64() override { return wow64; }

    void SetXp() { version = kXpSp2; }

    // Windows XP Service Pack 2 on a workstation.
    static constexpr VersionInfo kXpSp2{true, 5, 1, 2, ProductWorkstation, 2};
    VersionInfo version = kXpSp2;
    std::wstring windowsDir = L"C:\\WINDOWS";
    std::vector<std::pair<wchar_t, std::wstring>> drives{{L'A', L""}, {L'C', L"NTFS"}};
    std::map<std::wstring, std::string> files;      // path to bytes
    std::map<std::wstring, std::uint32_t> folders;  // path to attributes
    std::uint32_t clock = 0;
    std::vector<std::int32_t> pauses;
    std::vector<std::wstring> fileSystemQueries;

    // A program started directly is logged as one line: "PROGRAM ARGUMENTS", then " > OUTPUT"
    // when its output goes to a file.
    struct Started {
        std::wstring commandLine;
        WindowStyle style;
    };
    std::vector<Started> started;
    std::vector<std::wstring> commandLines() const;
    // What the programs started directly were given.
    std::vector<ProgramStart> programs;
    // What a started command does to the machine by the time it ends.
    std::function<void(const std::wstring& commandLine)> onCommandEnd;
    // A command for which this says false is still running whenever it is waited for.
    std::function<bool(const std::wstring& commandLine)> endsInTime;
    bool commandsStart = true;
    // The commands the program ended, and whether ending one works.
    std::vector<std::wstring> endedByUs;
    std::vector<int> locksWhenEnded;
    bool processesEnd = true;
    // What a command ends with, by command line; 0 for any other.
    std::map<std::wstring, unsigned long> exitCodes;
    // The calls asked of processes for when they end (StartedProcess::WhenEnded), by the command
    // line of each process still there; watching fails where this is false.
    struct EndWatch {
        std::wstring commandLine;
        std::int32_t milliseconds;
        std::function<void()> ended;
    };
    std::map<int, EndWatch> endWatches;
    int nextEndWatch = 0;
    bool processesWatched = true;
    // Whether programs started aside tell of their start; what they would call, until TellStarted.
    bool startsWatched = false;
    std::function<void()> startsTold;
    // What the windows' message loop does once the starts are done: calls what was asked, once.
    void TellStarted();
    // What the windows' message loop does once the process of this command line has ended, or its
    // time is up: calls what was asked for it, once.
    void TellEnded(const std::wstring& commandLine);
    // What the windows do while the program waits, pumping their messages.
    std::function<void()> duringWaits;
    std::vector<std::wstring> removed;
    std::vector<std::pair<std::uintptr_t, std::wstring>> opened;
    std::wstring programFolder = L"C:\\Tools";
    std::vector<std::wstring> reads;
    // A file whose reading fails once this many bytes were read (a share that drops), with this
    // code; and a size the system gives that is not the file's (one cut meanwhile).
    std::map<std::wstring, std::size_t> readFailsAt;
    unsigned long readError = 64;
    std::map<std::wstring, std::uint64_t> sizes;
    // The program's resources by type and number, files another program keeps open (they can
    // be neither deleted nor written), and the files the program holds.
    std::map<std::pair<std::wstring, std::uint16_t>, std::string> resources;
    std::set<std::wstring> lockedFiles;
    std::multiset<std::wstring> held;
    std::vector<unsigned> exitRequests;
    unsigned long exitError = 0;
    std::vector<ListeningPort> ports;
    int portReads = 0;
    std::optional<std::vector<RunningService>> services;
    std::optional<bool> joined = false;
    bool wow64 = false;
    std::wstring computerName = L"PC01";
    UtcTime now{2026, 12, 9, 3, 12, 16};
    std::map<std::wstring, std::wstring> environment;
    bool hasStandardOutput = false;
    std::wstring standardOutput;
    bool interactive = true;
    // Held by a run on another thread that never lets go.
    bool heldElsewhere = false;
    // What a lock fails with other than a holder (a refused mutex); 0 for none.
    unsigned long lockError = 0;
    // The thread the code runs on now; the lock's owner and how often it took it (locksHeld);
    // its owner ended without letting go; what the next release fails with; and whose object of
    // the lock's name every lock passes over.
    int thread = 1;
    std::optional<int> lockOwner;
    int locksHeld = 0;
    bool lockOwnerEnded = false;
    unsigned long releaseError = 0;
    std::wstring lockSquatter;
    // Each wait asked for.
    std::vector<std::uint32_t> lockWaits;
    std::optional<bool> administrator = true;
    std::optional<std::array<std::uint16_t, 4>> version4 =
        std::array<std::uint16_t, 4>{1, 6, 0, 212};
};

}  // namespace tolvane::testing
