#include "fakes/FakeSystem.h"

#include <algorithm>
#include <utility>

#include "system/Deadline.h"
#include "system/SystemInfo.h"

namespace tolvane::testing {
namespace {

class FakeProcess : public StartedProcess {
  public:
    FakeProcess(FakeSystem& system, std::wstring commandLine)
        : system_(system), commandLine_(std::move(commandLine)) {}
    ~FakeProcess() override {
        if (watch_) {
            system_.endWatches.erase(*watch_);
        }
    }
    bool WhenEnded(std::int32_t milliseconds, std::function<void()> ended) override {
        if (!system_.processesWatched) {
            return false;
        }
        watch_ = system_.nextEndWatch++;
        system_.endWatches[*watch_] = {commandLine_, milliseconds, std::move(ended)};
        return true;
    }
    bool WaitForExit(std::int32_t milliseconds) override {
        if (system_.endsInTime && !system_.endsInTime(commandLine_)) {
            system_.clock += static_cast<std::uint32_t>(milliseconds);
            return false;
        }
        if (!ended_ && system_.onCommandEnd) {
            system_.onCommandEnd(commandLine_);
        }
        ended_ = true;
        return true;
    }
    std::optional<unsigned long> ExitCode() override {
        if (!ended_) {
            return std::nullopt;
        }
        const auto code = system_.exitCodes.find(commandLine_);
        return code == system_.exitCodes.end() ? 0 : code->second;
    }
    // Ended before its end: what it would have done by then is not done.
    bool End() override {
        system_.endedByUs.push_back(commandLine_);
        system_.locksWhenEnded.push_back(system_.locksHeld);
        ended_ = ended_ || system_.processesEnd;
        return ended_;
    }

  private:
    FakeSystem& system_;
    std::wstring commandLine_;
    bool ended_ = false;
    std::optional<int> watch_;
};

class FakeHeldFile : public HeldFile {
  public:
    FakeHeldFile(FakeSystem& system, std::wstring path) : system_(system), path_(std::move(path)) {
        system_.held.insert(path_);
    }
    ~FakeHeldFile() override { system_.held.erase(system_.held.find(path_)); }

  private:
    FakeSystem& system_;
    std::wstring path_;
};

class FakeLock : public MachineLock {
  public:
    explicit FakeLock(FakeSystem& system) : system_(system) {}
    ~FakeLock() override { Release(); }
    unsigned long Release() override {
        if (released_) {
            return 0;
        }
        if (system_.lockOwner != system_.thread) {
            return kNotOwner;
        }
        released_ = true;
        if (const unsigned long error = std::exchange(system_.releaseError, 0)) {
            return error;
        }
        if (--system_.locksHeld == 0) {
            system_.lockOwner.reset();
        }
        return 0;
    }

  private:
    static constexpr unsigned long kNotOwner = 288;
    FakeSystem& system_;
    bool released_ = false;
};

// A copy of the file's bytes as they were when it was opened, read as far as it may be.
class FakeReadableFile : public ReadableFile {
  public:
    FakeReadableFile(std::string bytes, std::optional<std::size_t> failsAt, unsigned long error,
                     std::uint64_t size)
        : bytes_(std::move(bytes)), failsAt_(failsAt), error_(error), size_(size) {}
    std::optional<std::uint64_t> Size() override { return size_; }
    std::optional<std::size_t> Read(char* buffer, std::size_t count,
                                    unsigned long& error) override {
        if (failsAt_ && at_ >= *failsAt_) {
            error = error_;
            return std::nullopt;
        }
        const std::size_t end = std::min(bytes_.size(), failsAt_.value_or(bytes_.size()));
        const std::size_t read = std::min(count, end - std::min(end, at_));
        bytes_.copy(buffer, read, at_);
        at_ += read;
        return read;
    }

  private:
    std::string bytes_;
    std::optional<std::size_t> failsAt_;
    unsigned long error_;
    std::uint64_t size_;
    std::size_t at_ = 0;
};

constexpr unsigned long kFileNotFound = 2;
constexpr unsigned long kAccessDenied = 5;
constexpr unsigned long kSharingViolation = 32;
constexpr unsigned long kResourceTypeNotFound = 1813;

class FakeProgramsStarting : public ProgramsStarting {
  public:
    FakeProgramsStarting(FakeSystem& system, std::vector<ProgramStart> starts)
        : system_(system), starts_(std::move(starts)) {}
    ~FakeProgramsStarting() override {
        Take();
        system_.startsTold = nullptr;
    }
    std::vector<std::unique_ptr<StartedProcess>> Take() override {
        return StartPrograms(system_, std::exchange(starts_, {}));
    }
    bool WhenStarted(std::function<void()> started) override {
        if (system_.startsWatched) {
            system_.startsTold = std::move(started);
        }
        return system_.startsWatched;
    }

  private:
    FakeSystem& system_;
    std::vector<ProgramStart> starts_;
};

}  // namespace

std::vector<wchar_t> FakeSystem::DriveLetters() {
    std::vector<wchar_t> letters;
    for (const auto& drive : drives) {
        letters.push_back(drive.first);
    }
    return letters;
}

std::wstring FakeSystem::FileSystemOf(wchar_t driveLetter) {
    fileSystemQueries.push_back(std::wstring(1, driveLetter));
    for (const auto& drive : drives) {
        if (drive.first == driveLetter) {
            return drive.second;
        }
    }
    return L"";
}

std::optional<std::uint32_t> FakeSystem::FileAttributes(const std::wstring& path) {
    if (files.count(path)) {
        return 0x20;  // archive
    }
    if (const auto folder = folders.find(path); folder != folders.end()) {
        return folder->second;
    }
    return std::nullopt;
}

bool FakeSystem::RemoveFile(const std::wstring& path) {
    removed.push_back(path);
    if (lockedFiles.count(path) || held.count(path)) {
        return false;
    }
    return files.erase(path) != 0;
}

std::unique_ptr<ReadableFile> FakeSystem::OpenToRead(const std::wstring& path,
                                                     unsigned long& error) {
    reads.push_back(path);
    const auto file = files.find(path);
    if (file == files.end()) {
        error = folders.count(path) ? kAccessDenied : kFileNotFound;
        return nullptr;
    }
    const auto failsAt = readFailsAt.find(path);
    const auto size = sizes.find(path);
    return std::make_unique<FakeReadableFile>(
        file->second, failsAt == readFailsAt.end() ? std::nullopt : std::optional(failsAt->second),
        readError, size == sizes.end() ? file->second.size() : size->second);
}

void FakeSystem::Pause(std::int32_t milliseconds) {
    pauses.push_back(milliseconds);
    clock += static_cast<std::uint32_t>(milliseconds);
}

std::unique_ptr<StartedProcess> FakeSystem::StartCommand(const std::wstring& commandLine,
                                                         WindowStyle style) {
    started.push_back({commandLine, style});
    if (!commandsStart) {
        return nullptr;
    }
    return std::make_unique<FakeProcess>(*this, commandLine);
}

std::unique_ptr<StartedProcess> FakeSystem::StartProgram(const ProgramStart& start) {
    programs.push_back(start);
    return StartCommand(start.program + L" " + start.arguments +
                            (start.outputFile.empty() ? L"" : L" > " + start.outputFile),
                        start.style);
}

std::unique_ptr<ProgramsStarting> FakeSystem::StartProgramsAside(std::vector<ProgramStart> starts) {
    return std::make_unique<FakeProgramsStarting>(*this, std::move(starts));
}

void FakeSystem::TellStarted() {
    // Out of its place first: the call ends the starting that asked for it.
    if (const std::function<void()> told = std::exchange(startsTold, nullptr)) {
        told();
    }
}

void FakeSystem::TellEnded(const std::wstring& commandLine) {
    for (auto& [id, watch] : endWatches) {
        if (watch.commandLine == commandLine && watch.ended) {
            // Once: the call may end the watch itself.
            const std::function<void()> ended = std::move(watch.ended);
            watch.ended = nullptr;
            ended();
            return;
        }
    }
}

// One after the other: the time they share is what matters here.
void FakeSystem::WaitForAll(std::span<StartedProcess* const> processes, std::int32_t milliseconds) {
    if (duringWaits) {
        duringWaits();
    }
    const std::uint32_t start = clock;
    for (StartedProcess* process : processes) {
        process->WaitForExit(static_cast<std::int32_t>(
            TimeLeft(start, clock, static_cast<std::uint32_t>(milliseconds))));
    }
}

Extraction FakeSystem::ExtractResource(const std::wstring& path, const std::wstring& type,
                                       std::uint16_t number) {
    const auto resource = resources.find({type, number});
    if (resource == resources.end()) {
        return {nullptr, kResourceTypeNotFound};
    }
    if (lockedFiles.count(path) || held.count(path)) {
        return {nullptr, kSharingViolation};
    }
    files[path] = resource->second;
    return {std::make_unique<FakeHeldFile>(*this, path), 0};
}

unsigned long FakeSystem::ExtractResourceUnlessIdentical(const std::wstring& path,
                                                         const std::wstring& type,
                                                         std::uint16_t number) {
    const auto resource = resources.find({type, number});
    if (resource == resources.end()) {
        return kResourceTypeNotFound;
    }
    // A file held by another program can still be read, and one that is the same is kept.
    if (const auto file = files.find(path);
        file != files.end() && file->second == resource->second) {
        return 0;
    }
    if (lockedFiles.count(path) || held.count(path)) {
        return kSharingViolation;
    }
    files[path] = resource->second;
    return 0;
}

std::vector<std::wstring> FakeSystem::commandLines() const {
    std::vector<std::wstring> lines;
    for (const Started& command : started) {
        lines.push_back(command.commandLine);
    }
    return lines;
}

MachineLockResult FakeSystem::LockMachineForChanges(std::uint32_t waitMs) {
    lockWaits.push_back(waitMs);
    if (lockError) {
        return {nullptr, lockError};
    }
    if (heldElsewhere || (lockOwner && *lockOwner != thread && !lockOwnerEnded)) {
        clock += waitMs;
        return {nullptr, kMachineHeldElsewhere};
    }
    const bool abandoned = lockOwner && *lockOwner != thread && lockOwnerEnded;
    if (lockOwner != thread) {
        lockOwner = thread;
        locksHeld = 0;
        lockOwnerEnded = false;
    }
    ++locksHeld;
    return {std::make_unique<FakeLock>(*this), 0, abandoned, lockSquatter};
}

}  // namespace tolvane::testing
