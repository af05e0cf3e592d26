#include <gtest/gtest.h>

#include <cwctype>
#include <set>

#include "fakes/FakeHost.h"
#include "fakes/FakeLocalAccounts.h"
#include "fakes/FakeRegistry.h"
#include "fakes/FakeSystem.h"
#include "model/Machine.h"
#include "system/CommandPath.h"
#include "system/Deadline.h"
#include "system/LongPath.h"
#include "system/SystemInfo.h"

namespace tolvane::testing {
namespace {

TEST(WindowsVersionOf, MapsNtFiveToTheSupportedSystems) {
    using W = WindowsVersion;
    struct Case {
        VersionInfo version;
        WindowsVersion windows;
    };
    const Case cases[] = {
        {{true, 5, 0, 2}, W::Windows2000},
        {{true, 5, 1, 2}, W::WindowsXp},
        {{true, 5, 2, 2}, W::Server2003},
        {{true, 5, 3, 2}, W::Unsupported},
        {{true, 5, 2, 2, ProductWorkstation}, W::WindowsXp},
        {{true, 5, 2, 2, ProductServer}, W::Server2003},
        {{true, 5, 2, 2, ProductDomainController}, W::Server2003},
        {{true, 6, 0, 2}, W::Unsupported},
        {{true, 6, 1, 2}, W::Unsupported},
        {{true, 4, 0, 2}, W::Unsupported},
        {{true, 5, 1, 1}, W::Unsupported},
        {{false, 5, 1, 2}, W::Unsupported},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WindowsVersionOf(c.version), c.windows)
            << c.version.major << "." << c.version.minor << " platform " << c.version.platform;
    }
}

// The edition comes from the machine's processor, the same for the 32-bit build under WOW64 and
// for the 64-bit build, which WOW64 never sees.
TEST(WindowsName, NamesTheEditionFromTheMachinesProcessorAndItsServicePack) {
    using P = Processor;
    struct Case {
        VersionInfo version;
        const wchar_t* name;
    };
    const Case cases[] = {
        {{true, 5, 0, 2, ProductWorkstation, 4, P::X86}, L"Windows 2000 Service Pack 4"},
        {{true, 5, 1, 2, ProductWorkstation, 0, P::X86}, L"Windows XP"},
        {{true, 5, 1, 2, ProductWorkstation, 1, P::Itanium},
         L"Windows XP 64-Bit Edition Service Pack 1"},
        {{true, 5, 2, 2, ProductWorkstation, 1, P::X64},
         L"Windows XP Professional x64 Edition Service Pack 1"},
        {{true, 5, 2, 2, ProductWorkstation, 0, P::Itanium}, L"Windows XP 64-Bit Edition"},
        {{true, 5, 2, 2, ProductServer, 2, P::X64}, L"Windows Server 2003 x64 Service Pack 2"},
        {{true, 5, 2, 2, ProductDomainController, 0, P::X64}, L"Windows Server 2003 x64"},
        {{true, 5, 2, 2, ProductServer, 1, P::X86}, L"Windows Server 2003 Service Pack 1"},
        {{true, 5, 2, 2, ProductServer, 2, P::Itanium},
         L"Windows Server 2003 for Itanium-based Systems Service Pack 2"},
        {{true, 6, 0, 2, ProductWorkstation, 0, P::X64}, L""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WindowsName(c.version), c.name);
    }
}

TEST(SystemDriveFileSystem, ReadsOnlyTheWindowsDrive) {
    FakeSystem system;
    FakeRegistry registry;
    Reg reg(registry);
    FakeHost host;
    FakeLocalAccounts accounts;
    system.windowsDir = L"D:\\WINNT";
    system.drives = {{L'A', L"FAT"}, {L'C', L"NTFS"}, {L'D', L"FAT32"}};
    const Machine machine(reg, system, host, accounts);
    EXPECT_EQ(machine.windowsFolder, L"D:\\WINNT");
    EXPECT_EQ(machine.systemDrive, L"D");
    EXPECT_EQ(SystemDriveFileSystem(system, machine.systemDrive), L"FAT32");
    EXPECT_EQ(system.fileSystemQueries, std::vector<std::wstring>{L"D"});
}

TEST(SystemDriveFileSystem, IsEmptyWhenNoDriveMatchesExactly) {
    FakeSystem system;
    system.drives = {{L'C', L"NTFS"}};
    EXPECT_EQ(SystemDriveFileSystem(system, L"c"), L"");
    EXPECT_EQ(SystemDriveFileSystem(system, L""), L"");
}

TEST(FileExists, IsTrueOnlyForFilesWithSmallAttributes) {
    FakeSystem system;
    system.files[L"C:\\a.txt"] = "x";
    system.folders[L"C:\\folder"] = 0x10;
    system.folders[L"C:\\odd"] = 0x8000;  // does not fit a signed 16-bit number
    system.folders[L"C:\\plain"] = 0x7FEF;
    EXPECT_TRUE(FileExists(system, L"C:\\a.txt"));
    EXPECT_FALSE(FileExists(system, L"C:\\folder"));
    EXPECT_FALSE(FileExists(system, L"C:\\odd"));
    EXPECT_TRUE(FileExists(system, L"C:\\plain"));
    EXPECT_FALSE(FileExists(system, L"C:\\missing"));
}

struct LookupCase {
    const wchar_t* commandLine;
    std::optional<std::wstring> program;
};

TEST(FindProgram, TakesPathsAsWrittenAndBareNamesOnlyFromTheSystemFolders) {
    // The planted files are what a looser rule would run instead.
    const std::set<std::wstring> present = {
        L"c:\\windows\\system32\\net.exe",
        L"c:\\windows\\system32\\cmd.exe",
        L"c:\\windows\\regedit.exe",
        L"c:\\windows\\system32\\convert.exe",
        L"c:\\downloads\\net.exe",
        L"c:\\downloads\\tool.exe",
        L"c:\\my.exe",
        L"c:\\my windows\\hh.exe",
        L"c:\\windows\\hh.exe",
        L"c:\\windows\\system32\\rundll32.exe",
        L"c:\\program files\\x.exe",
        L"c:\\program.exe",
        L"c:\\program files\\common files\\microsoft shared\\msinfo\\msinfo32.exe",
        L"c:\\tools\\run.com",
        L"c:\\tools\\prog",
        L"c:\\tools\\prog.exe",
        L"c:\\a.exe b\\c.exe",
        L"c:\\tools\\setup.exe",
        L"c:\\tools\\setup.exe x.exe",
        L"\\\\server\\share\\x.exe",
        L"tools\\x.exe"};
    // Windows compares file names without regard to case.
    auto isFile = [&](const std::wstring& path) {
        std::wstring lower = path;
        for (wchar_t& c : lower) {
            c = static_cast<wchar_t>(std::towlower(c));
        }
        return present.count(lower) != 0;
    };
    const std::vector<std::wstring> folders = {L"C:\\WINDOWS\\system32", L"C:\\WINDOWS"};
    const LookupCase cases[] = {
        // Bare names: the system folders only, never another folder.
        {L"net user Invit\u00e9 /active:no", L"C:\\WINDOWS\\system32\\net.exe"},
        {L"Cmd /C REGEDIT /s \"C:\\x.reg\"", L"C:\\WINDOWS\\system32\\Cmd.exe"},
        {L"REGEDIT /s x.reg", L"C:\\WINDOWS\\REGEDIT.exe"},
        {L"convert C: /FS:NTFS", L"C:\\WINDOWS\\system32\\convert.exe"},
        {L"\"net\" user", L"C:\\WINDOWS\\system32\\net.exe"},
        {L"tool /x", std::nullopt},
        {L"nosuch /x", std::nullopt},
        {L"", std::nullopt},
        // Unquoted full paths: the shortest ending the caller wrote that names a file.
        {L"C:\\WINDOWS\\hh.exe C:\\Tools\\Aide.chm", L"C:\\WINDOWS\\hh.exe"},
        {L"C:\\My Windows\\hh.exe C:\\Tools\\Aide.chm", L"C:\\My Windows\\hh.exe"},
        {L"C:\\WINDOWS\\System32\\rundll32.exe setupapi,InstallHinfSection DefaultInstall 132 "
         L"C:\\Tools\\setup.inf",
         L"C:\\WINDOWS\\System32\\rundll32.exe"},
        {L"C:\\Program Files\\Common Files\\Microsoft Shared\\MSInfo\\msinfo32.exe",
         L"C:\\Program Files\\Common Files\\Microsoft Shared\\MSInfo\\msinfo32.exe"},
        {L"C:\\Tools\\run.COM /q", L"C:\\Tools\\run.COM"},
        {L"c:\\windows\\hh.exe x", L"c:\\windows\\hh.exe"},
        {L"C:\\WINDOWS\\hh.exe C:\\Program Files\\x.exe", L"C:\\WINDOWS\\hh.exe"},
        {L"C:\\a.exe b\\c.exe /q", L"C:\\a.exe b\\c.exe"},
        {L"C:\\Tools\\setup.exe x.exe", L"C:\\Tools\\setup.exe"},
        {L"\\\\server\\share\\x.exe /q", L"\\\\server\\share\\x.exe"},
        {L"C:\\Tools\\prog /x", std::nullopt},
        {L"C:\\Tools\\prog.exe.bak /x", std::nullopt},
        {L"C:\\Missing\\hh.exe C:\\Tools\\Aide.chm", std::nullopt},
        {L"C:\\My Windows\\nohh.exe x", std::nullopt},
        // Quoted: the quoted text, exactly.
        {L"\"C:\\Program Files\\x.exe\" /a", L"C:\\Program Files\\x.exe"},
        {L"\"C:\\Tools\\prog\" /x", L"C:\\Tools\\prog"},
        {L"\"C:\\Program Files\\missing.exe\" /a", std::nullopt},
        {L"\"C:\\Program Files\\x.exe /a", std::nullopt},
        // Relative paths would be taken from the current folder.
        {L"Tools\\x.exe /a", std::nullopt},
        {L"\"Tools\\x.exe\" /a", std::nullopt},
        {L"C:x.exe /a", std::nullopt},
    };
    for (const LookupCase& c : cases) {
        EXPECT_EQ(FindProgram(c.commandLine, folders, isFile), c.program) << c.commandLine;
    }
}

}  // namespace
}  // namespace tolvane::testing

namespace tolvane::testing {
namespace {

// One bound for all the commands together: what the first uses up, the second no longer gets.
TEST(RunCommandsToEnd, WaitsForAllTogetherAtMostTheGivenTime) {
    using E = CommandEnd;
    struct Case {
        const char* what;
        bool start;
        std::set<std::wstring> outlasting;
        std::vector<CommandEnd> ends;
        std::uint32_t waited;
    };
    const Case cases[] = {
        {"both end", true, {}, {E::Ended, E::Ended}, 0},
        {"neither ends", true, {L"a", L"b"}, {E::StillRunning, E::StillRunning}, 10000},
        {"the second ends meanwhile", true, {L"a"}, {E::StillRunning, E::Ended}, 10000},
        {"none starts", false, {}, {E::NotStarted, E::NotStarted}, 0},
    };
    for (const Case& c : cases) {
        FakeSystem system;
        system.clock = 0xFFFFF000u;  // the bound holds across the wrap of the counter
        system.commandsStart = c.start;
        system.endsInTime = [&](const std::wstring& line) { return !c.outlasting.count(line); };
        EXPECT_EQ(RunCommandsToEnd(system, {L"a", L"b"}, WindowStyle::Hidden, 10000), c.ends)
            << c.what;
        EXPECT_EQ(system.clock - 0xFFFFF000u, c.waited) << c.what;
        EXPECT_EQ(system.commandLines(), (std::vector<std::wstring>{L"a", L"b"})) << c.what;
    }
}

TEST(TimeLeft, CountsDownAcrossTheWrapOfTheCounter) {
    struct Case {
        std::uint32_t start, now, total, left;
    };
    const Case cases[] = {
        {1000, 1000, 500, 500},
        {1000, 1400, 500, 100},
        {1000, 1500, 500, 0},
        {1000, 9000, 500, 0},
        {0xFFFFFF00u, 0xFFFFFF00u, 500, 500},
        {0xFFFFFF00u, 0x00000010u, 500, 228},  // the counter wrapped 272 ms in
        {0xFFFFFF00u, 0x00000100u, 500, 0},
        {0x7FFFFFFFu, 0x80000000u, 10, 9},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TimeLeft(c.start, c.now, c.total), c.left) << c.start << " " << c.now;
    }
}

// A report path a few characters short of the limit still gets its temporary name beside it.
TEST(LongPathForm, GivesTheFormTheFileFunctionsTakePastTheLimit) {
    struct Case {
        const wchar_t* full;
        const wchar_t* form;
    };
    const Case cases[] = {
        {L"C:\\Reports\\PC01.txt", L"\\\\?\\C:\\Reports\\PC01.txt"},
        {L"\\\\server\\reports\\PC01.csv", L"\\\\?\\UNC\\server\\reports\\PC01.csv"},
        {L"\\\\?\\C:\\x.txt", L"\\\\?\\C:\\x.txt"},
        {L"\\\\?\\UNC\\s\\r\\x.txt", L"\\\\?\\UNC\\s\\r\\x.txt"},
        {L"\\\\.\\pipe\\x", L"\\\\.\\pipe\\x"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LongPathForm(c.full), c.form) << c.full;
    }
}

}  // namespace
}  // namespace tolvane::testing
