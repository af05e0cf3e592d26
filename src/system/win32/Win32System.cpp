#include "system/win32/Win32System.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

#include "system/AsciiCase.h"
#include "system/CommandPath.h"
#include "system/Decimal.h"
#include "system/LongPath.h"
#include "system/SystemInfo.h"
#include "system/win32/DomainJoin.h"
#include "system/win32/EndNotice.h"
#include "system/win32/Handles.h"
#include "system/win32/MachineMutex.h"
#include "system/win32/MessagePump.h"
#include "system/win32/OnDemand.h"
#include "system/win32/PortTable.h"
#include "system/win32/ProgramsStarting.h"
#include "system/win32/ServiceTable.h"
#include "system/win32/Shutdown.h"
#include "system/win32/SystemLibrary.h"

namespace tolvane::win32 {
namespace {

class Win32Process : public StartedProcess {
  public:
    explicit Win32Process(HANDLE process) : process_(process) {}
    HANDLE handle() const { return process_.get(); }
    bool WaitForExit(std::int32_t milliseconds) override {
        return WaitPumping(process_.get(), milliseconds);
    }
    std::optional<unsigned long> ExitCode() override {
        // Asked of the process itself: a program may end with the code that means "still active".
        DWORD code = 0;
        if (WaitForSingleObject(process_.get(), 0) != WAIT_OBJECT_0 ||
            !GetExitCodeProcess(process_.get(), &code)) {
            return std::nullopt;
        }
        return code;
    }
    bool End() override {
        // Ending is asynchronous: gone only once the handle is signalled.
        return (TerminateProcess(process_.get(), kEndedByTolvane) ||
                WaitForSingleObject(process_.get(), 0) == WAIT_OBJECT_0) &&
               WaitForSingleObject(process_.get(), kEndWaitMs) == WAIT_OBJECT_0;
    }
    bool WhenEnded(std::int32_t milliseconds, std::function<void()> ended) override {
        notice_ = std::make_unique<EndNotice>(
            process_.get(), static_cast<DWORD>(std::max(milliseconds, 0)), std::move(ended));
        return notice_->Watching();
    }

  private:
    // The exit code it is given, and how long it may take to go.
    static constexpr UINT kEndedByTolvane = 1;
    static constexpr DWORD kEndWaitMs = 10000;
    UniqueHandle process_;
    // Gone before the handle it waits on.
    std::unique_ptr<EndNotice> notice_;
};

class Win32HeldFile : public HeldFile {
  public:
    explicit Win32HeldFile(UniqueHandle file) : file_(std::move(file)) {}

  private:
    UniqueHandle file_;
};

class Win32ReadableFile : public ReadableFile {
  public:
    explicit Win32ReadableFile(UniqueHandle file) : file_(std::move(file)) {}
    std::optional<std::uint64_t> Size() override {
        DWORD high = 0;
        SetLastError(ERROR_SUCCESS);
        const DWORD low = GetFileSize(file_.get(), &high);
        if (low == INVALID_FILE_SIZE && GetLastError() != ERROR_SUCCESS) {
            return std::nullopt;
        }
        return (std::uint64_t{high} << 32) | low;
    }
    std::optional<std::size_t> Read(char* buffer, std::size_t count,
                                    unsigned long& error) override {
        DWORD read = 0;
        if (!ReadFile(file_.get(), buffer, static_cast<DWORD>(count), &read, nullptr)) {
            error = GetLastError();
            return std::nullopt;
        }
        return read;
    }

  private:
    UniqueHandle file_;
};

// Error codes of our own, with the customer bit set so that no system code can mean them; ErrorText
// has our words for them.
constexpr DWORD kOwnResourceUnreadable = 0x20000001;
constexpr DWORD kExtractedFileChanged = 0x20000002;

struct OwnError {
    DWORD code;
    const wchar_t* words;
};
constexpr OwnError kOwnErrors[] = {
    {kOwnResourceUnreadable,
     L"Tolvane could not read its own copy of this file; Tolvane.exe may be damaged."},
    {kExtractedFileChanged,
     L"Another program changed the file between its writing and its use; it was not used."},
    {kFileEndedEarly,
     L"The file ended before the size Windows gave for it: it changed while it was read, and was "
     L"not used."},
};

struct ResourceBytes {
    const void* data = nullptr;  // null when the resource cannot be had
    DWORD size = 0;
    DWORD error = ERROR_SUCCESS;
};

// Every extraction reads its resource here. Loading and locking a resource may fail without a
// last error, which would read "The operation completed successfully.".
ResourceBytes FindOwnResource(const std::wstring& type, std::uint16_t number) {
    const HRSRC info = FindResourceExW(nullptr, type.c_str(), MAKEINTRESOURCEW(number),
                                       MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
    // A resource of the running program stays mapped as long as the program runs.
    const HGLOBAL loaded = info ? LoadResource(nullptr, info) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) {
        const DWORD error = GetLastError();
        return {nullptr, 0, error != ERROR_SUCCESS ? error : kOwnResourceUnreadable};
    }
    return {data, SizeofResource(nullptr, info), ERROR_SUCCESS};
}

// A new file holding exactly the bytes, closed again. Writing through a file that is already there
// could follow a planted hard link and overwrite its target with the administrator's rights.
DWORD MakeNewFile(const std::wstring& path, const void* data, DWORD size) {
    if (!DeleteFileW(path.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND) {
        return GetLastError();
    }
    UniqueHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return GetLastError();
    }
    DWORD written = 0;
    const BOOL ok = WriteFile(file.get(), data, size, &written, nullptr);
    if (!ok || written != size) {
        // A write that succeeds short has run out of room.
        const DWORD error = ok ? ERROR_HANDLE_DISK_FULL : GetLastError();
        file.reset();
        DeleteFileW(path.c_str());
        return error;
    }
    return ERROR_SUCCESS;
}

// The open file, read from its start, holds exactly the resource's bytes.
bool SameBytes(HANDLE file, const ResourceBytes& resource) {
    const auto* expected = static_cast<const char*>(resource.data);
    DWORD compared = 0;
    char chunk[16384];
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(file, chunk, sizeof(chunk), &read, nullptr)) {
            return false;
        }
        if (read == 0) {
            return compared == resource.size;
        }
        if (read > resource.size - compared || std::memcmp(chunk, expected + compared, read) != 0) {
            return false;
        }
        compared += read;
    }
}

// Every sharing mode is offered, so that a reader holding the file does not stop the comparison.
bool HoldsExactly(const std::wstring& path, const ResourceBytes& resource) {
    UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file && SameBytes(file.get(), resource);
}

std::string ToUtf8(const std::wstring& text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string bytes(size > 0 ? static_cast<std::size_t>(size) : 0, '\0');
    if (size > 0) {
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(),
                            size, nullptr, nullptr);
    }
    return bytes;
}

WORD ShowCommand(WindowStyle style) {
    switch (style) {
        case WindowStyle::Hidden:
            return SW_HIDE;
        case WindowStyle::Minimized:
            return SW_SHOWMINIMIZED;
        default:
            return SW_SHOWNORMAL;
    }
}

}  // namespace

VersionInfo Win32System::QueryVersion() {
    OSVERSIONINFOEXW info{};
    info.dwOSVersionInfoSize = sizeof(info);
    if (GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&info))) {
        Processor processor = Processor::X86;
        switch (ondemand::NativeProcessorArchitecture()) {
            case PROCESSOR_ARCHITECTURE_AMD64:
                processor = Processor::X64;
                break;
            case PROCESSOR_ARCHITECTURE_IA64:
                processor = Processor::Itanium;
                break;
        }
        return {true,
                info.dwMajorVersion,
                info.dwMinorVersion,
                info.dwPlatformId,
                info.wProductType,
                info.wServicePackMajor,
                processor};
    }
    // Systems before Windows NT 4.0 SP6 know only the short form: refused later all the same.
    info.dwOSVersionInfoSize = sizeof(OSVERSIONINFOW);
    if (!GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&info))) {
        return {};
    }
    return {true, info.dwMajorVersion, info.dwMinorVersion, info.dwPlatformId};
}

std::wstring Win32System::SystemDirectory() {
    return SystemFolder();
}

std::wstring Win32System::WindowsDirectory() {
    std::wstring buffer(4096, L'\0');
    const UINT length = GetWindowsDirectoryW(buffer.data(), 4095);
    buffer.resize(length < 4096 ? length : 0);
    return buffer;
}

std::vector<wchar_t> Win32System::DriveLetters() {
    std::vector<wchar_t> letters;
    const DWORD mask = GetLogicalDrives();
    for (int i = 0; i < 26; ++i) {
        if (mask & (1u << i)) {
            letters.push_back(static_cast<wchar_t>(L'A' + i));
        }
    }
    return letters;
}

std::wstring Win32System::FileSystemOf(wchar_t driveLetter) {
    const wchar_t root[] = {driveLetter, L':', L'\\', L'\0'};
    wchar_t name[MAX_PATH + 1] = {};
    // A drive without a disk must not put up a system dialog.
    const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS);
    const BOOL ok =
        GetVolumeInformationW(root, nullptr, 0, nullptr, nullptr, nullptr, name, MAX_PATH + 1);
    SetErrorMode(oldMode);
    return ok ? name : L"";
}

std::optional<std::uint32_t> Win32System::FileAttributes(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return std::nullopt;
    }
    return attributes;
}

bool Win32System::RemoveFile(const std::wstring& path) {
    return DeleteFileW(path.c_str()) != 0;
}

std::unique_ptr<ReadableFile> Win32System::OpenToRead(const std::wstring& path,
                                                      unsigned long& error) {
    UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        error = GetLastError();
        return nullptr;
    }
    return std::make_unique<Win32ReadableFile>(std::move(file));
}

std::uint32_t Win32System::Milliseconds() {
    return GetTickCount();
}

void Win32System::Pause(std::int32_t milliseconds) {
    WaitPumping(nullptr, milliseconds);
}

std::unique_ptr<StartedProcess> Win32System::StartCommand(const std::wstring& commandLine,
                                                          WindowStyle style) {
    const std::wstring systemFolder = SystemFolder();
    const std::optional<std::wstring> program =
        FindProgram(commandLine, {systemFolder, WindowsDirectory()},
                    [this](const std::wstring& path) { return FileExists(*this, path); });
    if (!program) {
        return nullptr;
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = ShowCommand(style);
    PROCESS_INFORMATION info{};
    std::wstring mutableLine = commandLine;
    // The program found, never one the system would guess from an unquoted path with blanks; the
    // system folder as current folder, so that a command resolving another program by name cannot
    // pick one planted where Tolvane was started from.
    if (!CreateProcessW(program->c_str(), mutableLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        systemFolder.empty() ? nullptr : systemFolder.c_str(), &startup, &info)) {
        return nullptr;
    }
    CloseHandle(info.hThread);
    return std::make_unique<Win32Process>(info.hProcess);
}

std::unique_ptr<StartedProcess> Win32System::StartProgram(const ProgramStart& start) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = ShowCommand(start.style);
    UniqueHandle output;
    if (!start.outputFile.empty()) {
        // A new file, never one written through; readers may look while the program writes.
        output.reset(CreateFileW(start.outputFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                 CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        // Inheritable only for this start, so that no other program started meanwhile holds it.
        if (!output ||
            !SetHandleInformation(output.get(), HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT)) {
            return nullptr;
        }
        startup.dwFlags |= STARTF_USESTDHANDLES;
        startup.hStdOutput = output.get();
    }
    std::wstring line = L"\"" + start.program + L"\" " + start.arguments;
    const std::wstring systemFolder = SystemFolder();
    PROCESS_INFORMATION info{};
    BOOL started = FALSE;
    {
        // Around this one call only: the thread's other paths, and the DLLs it loads, stay
        // 32-bit.
        std::optional<ondemand::NativeFileSystemScope> native;
        if (start.nativeProgram && UnderWow64()) {
            native.emplace();
        }
        // A console program gets no console at all: none to see, and no console host to start.
        started =
            CreateProcessW(start.program.c_str(), line.data(), nullptr, nullptr,
                           output ? TRUE : FALSE, DETACHED_PROCESS, nullptr,
                           systemFolder.empty() ? nullptr : systemFolder.c_str(), &startup, &info);
    }
    if (!started) {
        return nullptr;
    }
    CloseHandle(info.hThread);
    return std::make_unique<Win32Process>(info.hProcess);
}

std::unique_ptr<ProgramsStarting> Win32System::StartProgramsAside(
    std::vector<ProgramStart> starts) {
    // StartProgram keeps nothing of its own between calls: another thread may call it.
    return StartProgramsOnAThread(*this, std::move(starts));
}

void Win32System::WaitForAll(std::span<StartedProcess* const> processes,
                             std::int32_t milliseconds) {
    std::vector<HANDLE> handles;
    for (StartedProcess* process : processes) {
        // This system starts no other kind.
        handles.push_back(static_cast<Win32Process*>(process)->handle());
    }
    WaitPumpingForAll(std::move(handles), milliseconds);
}

void Win32System::OpenDocument(std::uintptr_t ownerWindow, const std::wstring& target) {
    const std::wstring folder = ProgramFolder();
    ondemand::ShellExecuteW(reinterpret_cast<HWND>(ownerWindow), L"open", target.c_str(), L"",
                            folder.c_str(), SW_SHOWNORMAL);
}

std::wstring Win32System::ProgramFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            return {};
        }
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    return path.substr(0, path.find_last_of(L'\\'));
}

Extraction Win32System::ExtractResource(const std::wstring& path, const std::wstring& type,
                                        std::uint16_t number) {
    const ResourceBytes resource = FindOwnResource(type, number);
    if (!resource.data) {
        return {nullptr, resource.error};
    }
    if (const DWORD error = MakeNewFile(path, resource.data, resource.size)) {
        return {nullptr, error};
    }
    // Held for reading only: readers that share reading (the registry editor) get in, writers
    // and deleters stay out. The bytes are compared through this handle, so that a file swapped
    // in between the writing and this moment is never handed on.
    UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return {nullptr, GetLastError()};
    }
    if (!SameBytes(file.get(), resource)) {
        file.reset();
        DeleteFileW(path.c_str());
        return {nullptr, kExtractedFileChanged};
    }
    return {std::make_unique<Win32HeldFile>(std::move(file)), ERROR_SUCCESS};
}

namespace {

// The full path of a file, "." and ".." resolved; the path as given where the system cannot.
std::wstring FullPath(const std::wstring& path) {
    const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) {
        return path;
    }
    std::wstring full(needed, L'\0');
    const DWORD written = GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
    if (written == 0 || written >= needed) {
        return path;
    }
    full.resize(written);
    return full;
}

}  // namespace

unsigned long Win32System::WriteFileReplacing(const std::wstring& target,
                                              const std::string& bytes) {
    // A name of this process's own beside the target, so that the move stays on one volume. Both
    // names past the classic limit take their long form, the temporary one being a few
    // characters longer than a target Windows accepts.
    const std::wstring asked = target + L"." + Decimal(GetCurrentProcessId()) + L".tmp";
    const bool longForm = asked.size() > kMostPathCharacters;
    const std::wstring path = longForm ? LongPathForm(FullPath(target)) : target;
    const std::wstring fresh = longForm ? LongPathForm(FullPath(asked)) : asked;
    if (const DWORD error = MakeNewFile(fresh, bytes.data(), static_cast<DWORD>(bytes.size()))) {
        return error;
    }
    if (!MoveFileExW(fresh.c_str(), path.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD error = GetLastError();
        DeleteFileW(fresh.c_str());
        return error;
    }
    return ERROR_SUCCESS;
}

unsigned long Win32System::ExtractResourceUnlessIdentical(const std::wstring& path,
                                                          const std::wstring& type,
                                                          std::uint16_t number) {
    const ResourceBytes resource = FindOwnResource(type, number);
    if (!resource.data) {
        return resource.error;
    }
    // Nothing is written over a file kept this way, so no planted link can be followed either.
    if (HoldsExactly(path, resource)) {
        return ERROR_SUCCESS;
    }
    return MakeNewFile(path, resource.data, resource.size);
}

std::optional<std::array<std::uint16_t, 4>> Win32System::ProgramVersion() {
    const HRSRC info = FindResourceW(nullptr, MAKEINTRESOURCEW(VS_VERSION_INFO), RT_VERSION);
    const HGLOBAL loaded = info ? LoadResource(nullptr, info) : nullptr;
    const auto* bytes = static_cast<const BYTE*>(loaded ? LockResource(loaded) : nullptr);
    if (!bytes) {
        return std::nullopt;
    }
    // The fixed part of the block starts with its signature on a 32-bit boundary.
    const DWORD size = SizeofResource(nullptr, info);
    for (DWORD offset = 0; offset + sizeof(VS_FIXEDFILEINFO) <= size; offset += 4) {
        VS_FIXEDFILEINFO fixed;
        CopyMemory(&fixed, bytes + offset, sizeof(fixed));
        if (fixed.dwSignature == VS_FFI_SIGNATURE) {
            return std::array<std::uint16_t, 4>{
                HIWORD(fixed.dwFileVersionMS), LOWORD(fixed.dwFileVersionMS),
                HIWORD(fixed.dwFileVersionLS), LOWORD(fixed.dwFileVersionLS)};
        }
    }
    return std::nullopt;
}

unsigned long Win32System::EndSession(unsigned flags) {
    // Without the privilege Windows refuses the request, and says so below.
    EnableShutdownPrivilege();
    return ExitWindowsEx(flags, 0) ? ERROR_SUCCESS : GetLastError();
}

std::wstring Win32System::ErrorText(unsigned long code) {
    for (const OwnError& own : kOwnErrors) {
        if (own.code == code) {
            return own.words;
        }
    }
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text = length ? std::wstring(buffer, length) : L"";
    if (buffer) {
        LocalFree(buffer);
    }
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ')) {
        text.pop_back();
    }
    if (text.empty()) {
        text = L"Error " + Decimal(code) + L".";
    }
    return text;
}

std::wstring Win32System::ComputerName() {
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1];
    DWORD length = MAX_COMPUTERNAME_LENGTH + 1;
    return GetComputerNameW(name, &length) ? std::wstring(name, length) : std::wstring();
}

UtcTime Win32System::UtcNow() {
    SYSTEMTIME now;
    GetSystemTime(&now);
    return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

std::optional<std::wstring> Win32System::EnvironmentVariable(const std::wstring& name) {
    std::wstring value(64, L'\0');
    for (;;) {
        SetLastError(ERROR_SUCCESS);
        const DWORD length =
            GetEnvironmentVariableW(name.c_str(), value.data(), static_cast<DWORD>(value.size()));
        if (length == 0 && GetLastError() == ERROR_ENVVAR_NOT_FOUND) {
            return std::nullopt;
        }
        if (length < value.size()) {
            value.resize(length);
            return value;
        }
        value.resize(length);
    }
}

bool Win32System::WriteStandardOutput(const std::wstring& text) {
    const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    const DWORD type = out && out != INVALID_HANDLE_VALUE ? GetFileType(out) : FILE_TYPE_UNKNOWN;
    if (type == FILE_TYPE_DISK || type == FILE_TYPE_PIPE) {
        const std::string bytes = ToUtf8(text);
        DWORD written = 0;
        return WriteFile(out, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
               written == bytes.size();
    }
    // Started from a console window: write there. Windows 2000 cannot attach to one.
    constexpr DWORD kParentProcess = static_cast<DWORD>(-1);
    if (!ondemand::AttachConsole(kParentProcess)) {
        return false;
    }
    const UniqueHandle console(CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                           OPEN_EXISTING, 0, nullptr));
    DWORD written = 0;
    const bool ok = console && WriteConsoleW(console.get(), text.c_str(),
                                             static_cast<DWORD>(text.size()), &written, nullptr);
    FreeConsole();
    return ok;
}

bool Win32System::InteractiveSession() {
    const HWINSTA station = GetProcessWindowStation();
    USEROBJECTFLAGS flags{};
    DWORD needed = 0;
    if (!station ||
        !GetUserObjectInformationW(station, UOI_FLAGS, &flags, sizeof(flags), &needed) ||
        (flags.dwFlags & WSF_VISIBLE) == 0) {
        return false;
    }
    // Only the user's own desktop is looked at: not Winlogon's, nor one a program made.
    wchar_t desktop[64] = {};
    if (!GetUserObjectInformationW(GetThreadDesktop(GetCurrentThreadId()), UOI_NAME, desktop,
                                   sizeof(desktop) - sizeof(wchar_t), &needed) ||
        AsciiLowered(desktop) != L"default") {
        return false;
    }
    // Started hidden, its windows would be too.
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    GetStartupInfoW(&startup);
    return !(startup.dwFlags & STARTF_USESHOWWINDOW) || startup.wShowWindow != SW_HIDE;
}

std::vector<ListeningPort> Win32System::ListeningPorts() {
    return ReadListeningPorts();
}

std::optional<std::vector<RunningService>> Win32System::RunningServices() {
    return ReadRunningServices();
}

std::optional<bool> Win32System::JoinedToDomain() {
    return ReadDomainJoin();
}

MachineLockResult Win32System::LockMachineForChanges(std::uint32_t waitMs) {
    return LockMachineMutex(waitMs);
}

std::optional<bool> Win32System::RunsAsAdministrator() {
    return win32::RunsAsAdministrator();
}

bool Win32System::UnderWow64() {
    return ondemand::UnderWow64();
}

}  // namespace tolvane::win32
