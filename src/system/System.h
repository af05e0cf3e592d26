// What the program needs from Windows apart from the registry. One Win32 implementation;
// the unit tests use an in-memory fake.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tolvane {

enum class WindowStyle : std::uint8_t { Hidden, Normal, Minimized };

// Product types as the system gives them.
enum ProductType : unsigned {
    ProductUnknown = 0,
    ProductWorkstation = 1,
    ProductDomainController = 2,
    ProductServer = 3,
};

// The machine's processor, whatever this program's own: a 32-bit Tolvane on an x64 edition
// runs on x64.
enum class Processor : std::uint8_t { X86, X64, Itanium };

struct VersionInfo {
    bool ok = false;
    unsigned major = 0;
    unsigned minor = 0;
    unsigned platform = 0;
    unsigned productType = ProductUnknown;
    unsigned servicePack = 0;  // the major number: 2 for Service Pack 2
    Processor processor = Processor::X86;
};

// A process the program started. Destroying it closes the handle, never the process.
class StartedProcess {
  public:
    virtual ~StartedProcess() = default;
    // Waits, keeping the windows responsive, until the process ends or the time is up.
    virtual bool WaitForExit(std::int32_t milliseconds) = 0;
    // Its exit code once it has ended; nothing while it runs or when the system cannot tell.
    virtual std::optional<unsigned long> ExitCode() = 0;
    // Ends it and waits until it is gone; false when it could not be ended.
    virtual bool End() = 0;
    // Calls `ended` once, on the thread of the windows and from whatever message loop runs there
    // then, when the process has ended or the time is up, whichever comes first; never once this
    // object is gone. False, and never called, where the system cannot wait for it.
    virtual bool WhenEnded(std::int32_t milliseconds, std::function<void()> ended) = 0;
};

// A program started by its full path, with no shell between: nothing on the way to read the
// arguments twice, and no console host to start as well.
struct ProgramStart {
    std::wstring program;     // the full path
    std::wstring arguments;   // as the command line has them after the program
    std::wstring outputFile;  // a new file that takes the standard output; empty for none
    WindowStyle style = WindowStyle::Hidden;
    // On a 64-bit edition, the 64-bit program at that path rather than the 32-bit copy that
    // Windows would start in its place.
    bool nativeProgram = false;
};

// Programs being started on a thread of their own (System::StartProgramsAside).
class ProgramsStarting {
  public:
    virtual ~ProgramsStarting() = default;
    // Waits until every start is done, and gives each program's process, null where it did not
    // start, in the order given; once.
    virtual std::vector<std::unique_ptr<StartedProcess>> Take() = 0;
    // Calls `started` once, on the thread of the windows and from whatever message loop runs
    // there then, when every start is done; never once this object is gone. False, and never
    // called, where the system cannot tell.
    virtual bool WhenStarted(std::function<void()> started) = 0;
};

// A file the program wrote and holds open: other processes may read it, but cannot change or
// delete it until it is released (destroyed).
class HeldFile {
  public:
    virtual ~HeldFile() = default;
};

enum class PortProtocol : std::uint8_t { Tcp, Udp };

// A TCP port in the listening state or a bound UDP port (IPv4).
struct ListeningPort {
    PortProtocol protocol = PortProtocol::Tcp;
    std::array<std::uint8_t, 4> address{};  // in written order: 127.0.0.1 is {127, 0, 0, 1}
    std::uint16_t port = 0;
    std::optional<std::uint32_t> processId;  // only where the system tells (XP and later)
    std::wstring processName;                // empty when not known
};

// A service that runs now, and the process it runs in.
struct RunningService {
    std::wstring name;  // the service's key name, "Dnscache"
    std::uint32_t processId = 0;
};

// A moment in Coordinated Universal Time.
struct UtcTime {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// The machine-wide lock that one run at a time holds while it changes the machine: two runs that
// both read "not in force" would otherwise both record what they read, the second over the
// first's record of the former value. It behaves as a mutex: held by the thread that took it,
// which may take it again and must then let go as often.
class MachineLock {
  public:
    // Lets go, where Release has not.
    virtual ~MachineLock() = default;
    // Lets the next run in: 0, or the system's code when it could not (the lock then stays with
    // this thread, and other runs wait until this one ends).
    virtual unsigned long Release() = 0;
};

// What LockMachineForChanges gives when it cannot lock.
inline constexpr unsigned long kMachineHeldElsewhere = 258;  // WAIT_TIMEOUT

struct MachineLockResult {
    std::unique_ptr<MachineLock> lock;  // null when the lock could not be had
    // kMachineHeldElsewhere while another run holds it, else the system's error code then.
    unsigned long error = 0;
    // The run before ended without letting go (killed): what it left half done, its records tell.
    bool abandoned = false;
    // Whose object of the lock's name was passed over, being neither the local system account's
    // nor the administrators' (a user who made it first to keep every run out); empty for none.
    std::wstring passedOver = {};
};

// A file opened for reading. Destroying it closes it.
class ReadableFile {
  public:
    virtual ~ReadableFile() = default;
    // Its size as the system gave it when the file was opened; nothing when it cannot tell.
    virtual std::optional<std::uint64_t> Size() = 0;
    // Reads at most `count` bytes into `buffer`: how many, 0 at the file's end; nothing when the
    // read failed, `error` then holding the system's code.
    virtual std::optional<std::size_t> Read(char* buffer, std::size_t count,
                                            unsigned long& error) = 0;
};

// A file that ended before the size the system gave for it, with the customer bit set so that no
// system code can mean it.
inline constexpr unsigned long kFileEndedEarly = 0x20000003;

struct Extraction {
    std::unique_ptr<HeldFile> file;  // null when the file could not be written
    unsigned long error = 0;         // the system's error code then
};

class System {
  public:
    virtual ~System() = default;

    virtual VersionInfo QueryVersion() = 0;
    virtual std::wstring WindowsDirectory() = 0;
    // The system folder (System32), without a trailing backslash.
    virtual std::wstring SystemDirectory() = 0;
    virtual std::vector<wchar_t> DriveLetters() = 0;
    virtual std::wstring FileSystemOf(wchar_t driveLetter) = 0;
    virtual std::optional<std::uint32_t> FileAttributes(const std::wstring& path) = 0;
    virtual bool RemoveFile(const std::wstring& path) = 0;
    // Opens the file for reading, other programs still free to read, write or delete it; null
    // when it cannot be opened, `error` then holding the system's code.
    virtual std::unique_ptr<ReadableFile> OpenToRead(const std::wstring& path,
                                                     unsigned long& error) = 0;
    // A millisecond counter that wraps every 2^32 ms.
    virtual std::uint32_t Milliseconds() = 0;
    // Waits about the given time while the windows keep handling their messages.
    virtual void Pause(std::int32_t milliseconds) = 0;
    // Starts a command line without waiting; null when it could not be started.
    virtual std::unique_ptr<StartedProcess> StartCommand(const std::wstring& commandLine,
                                                         WindowStyle style) = 0;
    // Starts the program without waiting; null when it could not be started or its output file
    // could not be created. No other file that this program holds open reaches it.
    virtual std::unique_ptr<StartedProcess> StartProgram(const ProgramStart& start) = 0;
    // Starts the programs one after the other on a thread of their own, so that the caller goes
    // on meanwhile: a start can take tens of milliseconds. Gone before they are started, it waits
    // for them.
    virtual std::unique_ptr<ProgramsStarting> StartProgramsAside(
        std::vector<ProgramStart> starts) = 0;
    // Waits, keeping the windows responsive, until every process given has ended or the time is
    // up; each then tells by WaitForExit(0).
    virtual void WaitForAll(std::span<StartedProcess* const> processes,
                            std::int32_t milliseconds) = 0;
    // Asks the shell to open a document or web address, with the given window as owner
    // (its handle as a number, 0 for none) and the program's folder as working folder.
    virtual void OpenDocument(std::uintptr_t ownerWindow, const std::wstring& target) = 0;
    // The folder of the running program, without a trailing backslash.
    virtual std::wstring ProgramFolder() = 0;
    // Writes a resource of the program's own file to a new file at the path, then holds it open
    // for reading only and hands it on once it reads back as exactly the resource's bytes (a file
    // that differs fails). A file already there is deleted first, never written through; when it
    // cannot be deleted, nothing is written.
    virtual Extraction ExtractResource(const std::wstring& path, const std::wstring& type,
                                       std::uint16_t number) = 0;
    // The same for a file that another program opens after the call and may still hold open
    // from an earlier one (the help file in its viewer): a file already there that holds exactly
    // the resource's bytes is left as it is. The file is not held afterwards. 0 when the file
    // holds the resource's bytes, else the system's error code (a differing file that cannot be
    // replaced fails).
    virtual unsigned long ExtractResourceUnlessIdentical(const std::wstring& path,
                                                         const std::wstring& type,
                                                         std::uint16_t number) = 0;
    // The program's version from its version block: major, minor, build, revision.
    virtual std::optional<std::array<std::uint16_t, 4>> ProgramVersion() = 0;
    // Enables the shutdown privilege of the process and asks Windows to end the session with
    // these ExitWindowsEx flags. 0 when Windows took the request, else the system's error code.
    virtual unsigned long EndSession(unsigned flags) = 0;
    // Writes the bytes to a new file beside the path, then moves it over the path, so that a file
    // already there stays whole when anything fails (and is never written through). 0, or the
    // system's error code.
    virtual unsigned long WriteFileReplacing(const std::wstring& path,
                                             const std::string& bytes) = 0;
    // The system's own words for an error code.
    virtual std::wstring ErrorText(unsigned long code) = 0;
    virtual std::wstring ComputerName() = 0;
    virtual UtcTime UtcNow() = 0;
    // Nothing for a variable that is not set.
    virtual std::optional<std::wstring> EnvironmentVariable(const std::wstring& name) = 0;
    // Writes the text to the program's standard output: a file or pipe it was handed, or the
    // console of the program that started it. False when there is none.
    virtual bool WriteStandardOutput(const std::wstring& text) = 0;
    // A person can see this program's windows (not a service's or a scheduled task's session).
    virtual bool InteractiveSession() = 0;
    // TCP ports in the listening state and bound UDP ports, in no particular order; empty when
    // the system's tables cannot be read.
    virtual std::vector<ListeningPort> ListeningPorts() = 0;
    // The services running now with their processes; nothing when the system does not tell.
    virtual std::optional<std::vector<RunningService>> RunningServices() = 0;
    // Whether the machine is joined to a domain; nothing when the system does not tell.
    virtual std::optional<bool> JoinedToDomain() = 0;
    // Takes the machine-wide lock of the runs that change the machine, waiting at most the time
    // given for another run to let go of it. Any run of any user on the machine shares it, but
    // only an object that a non-administrator cannot have made is trusted as the lock. A run that
    // ended without letting go (killed) leaves it to the next.
    virtual MachineLockResult LockMachineForChanges(std::uint32_t waitMs) = 0;
    // The program runs with the administrators' rights; nothing when the system does not tell.
    virtual std::optional<bool> RunsAsAdministrator() = 0;
    // This 32-bit program runs on a 64-bit edition of Windows (under WOW64).
    virtual bool UnderWow64() = 0;
};

}  // namespace tolvane
