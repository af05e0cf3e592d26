// Every box found cleared, ticked and applied group by group, then cleared and applied again:
// the keys the program touches read exactly as before, keys that were missing missing again.
#include <algorithm>
#include <iterator>
#include <span>
#include <string>
#include <vector>

#include "Tolvane.h"
#include "model/ControlLayout.h"
#include "system/win32/Win32System.h"

namespace tolvane::e2e {
namespace {

using C = ControlId;

constexpr wchar_t kLsa[] = L"SYSTEM\\CurrentControlSet\\Control\\Lsa";
constexpr wchar_t kParameters[] = L"SYSTEM\\CurrentControlSet\\Services\\LanmanServer\\Parameters";
constexpr wchar_t kNetwork[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Network";
constexpr wchar_t kControlServices[] = L"SYSTEM\\CurrentControlSet\\Control\\Services";

// The keys whose values the program may write, or whose subkeys it may create.
const wchar_t* const kTouched[] = {
    kLsa,
    kParameters,
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies",
    kControlServices,
    L"SYSTEM\\CurrentControlSet\\Services\\Schedule",
    L"SYSTEM\\CurrentControlSet\\Services\\Dnscache",
    L"SYSTEM\\CurrentControlSet\\Services\\NetBT",
    L"SYSTEM\\CurrentControlSet\\Services\\RemoteRegistry",
    L"SYSTEM\\CurrentControlSet\\Services\\W32Time",
};

struct Group {
    std::vector<C> boxes;
    C apply;
};
const Group kGroups[] = {
    {{C::FolderSharingBox, C::PrinterSharingBox, C::SimpleFileSharingBox, C::AdminSharesBox,
      C::RemoteAdminBox},
     C::ApplySharesButton},
    {{C::AnonymousAccessBox, C::EveryoneRightsBox, C::RemoteRegistryBox}, C::ApplyAccountsButton},
    {{C::Port123Box, C::NetBiosPortsBox, C::Port445Box, C::Port500Box, C::Port1023Box,
      C::Port1024TcpBox, C::Port1024UdpBox, C::Port1027Box, C::Port1900Box, C::Port5000Box},
     C::ApplyServicesButton},
};

// Every key the unattended runs may touch: every service's, port 135's, the records of Tolvane's
// own.
const wchar_t* const kEveryTouched[] = {
    kLsa,
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies",
    kControlServices,
    L"SYSTEM\\CurrentControlSet\\Services",
    L"SOFTWARE\\Microsoft\\Ole",
    L"SOFTWARE\\Microsoft\\Rpc",
    L"SOFTWARE\\Tolvane",
};

// An export of the keys, line by line: each key (or its absence), each value with type and bytes.
std::vector<std::wstring> Export(std::span<const wchar_t* const> keys = kTouched) {
    std::vector<std::wstring> lines;
    for (const wchar_t* key : keys) {
        if (!KeyExists(key)) {
            lines.push_back(std::wstring(L"[") + key + L"] absent");
            continue;
        }
        lines.push_back(std::wstring(L"[") + key + L"]");
        for (const auto& [name, value] : Snapshot(key)) {
            lines.push_back(std::wstring(key) + L"\\" + name + L" = " + value);
        }
    }
    return lines;
}

// The lines only one export has: "-" before, "+" after.
std::wstring Diff(std::vector<std::wstring> before, std::vector<std::wstring> after) {
    std::sort(before.begin(), before.end());
    std::sort(after.begin(), after.end());
    std::vector<std::wstring> gone;
    std::vector<std::wstring> added;
    std::set_difference(before.begin(), before.end(), after.begin(), after.end(),
                        std::back_inserter(gone));
    std::set_difference(after.begin(), after.end(), before.begin(), before.end(),
                        std::back_inserter(added));
    std::wstring text;
    for (const std::wstring& line : gone) {
        text += L"- " + line + L"\n";
    }
    for (const std::wstring& line : added) {
        text += L"+ " + line + L"\n";
    }
    return text;
}

std::wstring Gpedit() {
    wchar_t folder[MAX_PATH];
    const UINT length = GetWindowsDirectoryW(folder, MAX_PATH);
    return std::wstring(folder, length) + L"\\System32\\gpedit.msc";
}

class Undo : public TolvaneTest {
  protected:
    void SetUp() override {
        // Windows XP's own values in the keys this prefix has, nothing of the program's, and a few
        // values an administrator may have changed.
        for (const auto& [name, value] : {std::pair{L"restrictanonymous", 0},
                                          {L"restrictanonymoussam", 1},
                                          {L"everyoneincludesanonymous", 0},
                                          {L"forceguest", 1}}) {
            ASSERT_TRUE(SetDword(kLsa, name, value));
        }
        ASSERT_TRUE(SetDword(kParameters, L"AutoshareWks", 1));
        ASSERT_TRUE(DeleteValue(kParameters, L"AutoShareServer"));
        ASSERT_TRUE(SetDword(std::wstring(kServicesKey) + L"Schedule", L"Start", 2));
        ASSERT_TRUE(SetDword(std::wstring(kServicesKey) + L"Dnscache\\Parameters",
                             L"MaxCachedSockets", 20));
        ASSERT_TRUE(SetDword(std::wstring(kServicesKey) + L"Dnscache", L"Start", 2));
        // Missing here as on Windows XP.
        for (const wchar_t* key : {kNetwork, kControlServices}) {
            ASSERT_TRUE(DeleteKey(key));
        }
        ASSERT_TRUE(DeleteKey(std::wstring(kServicesKey) + L"NetBT"));
        // XP Professional, where simple sharing can be turned off.
        win32::UniqueHandle gpedit(CreateFileW(Gpedit().c_str(), GENERIC_WRITE, 0, nullptr,
                                               CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(gpedit);
    }
    void TearDown() override { DeleteFileW(Gpedit().c_str()); }

    void ApplyEachGroup() {
        for (const Group& group : kGroups) {
            ASSERT_TRUE(PostClick(main_, group.apply));
            ASSERT_TRUE(app_.WaitIdle(main_));
        }
    }
};

TEST_F(Undo, TickingThenClearingEveryClearedBoxLeavesTheRegistryAsItWas) {
    const std::vector<std::wstring> before = Export();
    ASSERT_TRUE(Launch());
    std::vector<C> ticked;
    for (const Group& group : kGroups) {
        for (C box : group.boxes) {
            if (Enabled(main_, box) && CheckState(main_, box) == BST_UNCHECKED) {
                ASSERT_TRUE(Click(main_, box));
                ticked.push_back(box);
            }
        }
    }
    // Everyone's rights are closed on XP already; of the services, this prefix has the task
    // scheduler and, as set up, the DNS client; port 445 is always offered.
    const std::vector<C> cleared = {
        C::FolderSharingBox, C::PrinterSharingBox, C::SimpleFileSharingBox,
        C::AdminSharesBox,   C::RemoteAdminBox,    C::AnonymousAccessBox,
        C::Port445Box,       C::Port1024TcpBox,    C::Port1024UdpBox};
    EXPECT_EQ(ticked, cleared);
    ApplyEachGroup();
    for (C box : ticked) {
        EXPECT_EQ(CheckState(main_, box), BST_CHECKED) << DialogId(box);
    }
    Shoot(L"undo-applied");
    EXPECT_NE(Export(), before);

    for (C box : ticked) {
        ASSERT_TRUE(Click(main_, box));
    }
    ApplyEachGroup();
    for (C box : ticked) {
        EXPECT_EQ(CheckState(main_, box), BST_UNCHECKED) << DialogId(box);
    }
    const std::vector<std::wstring> after = Export();
    EXPECT_EQ(after, before) << Diff(before, after);
}

struct WindowSearch {
    DWORD pid;
    bool found;
};

BOOL CALLBACK FindVisibleWindow(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<WindowSearch*>(lParam);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    search->found = search->found || (owner == search->pid && IsWindowVisible(window));
    return TRUE;
}

// Whether the process shows a window of its own.
bool ShowsAWindow(DWORD pid) {
    WindowSearch search{pid, false};
    EnumWindows(FindVisibleWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The report as the run left it, UTF-8.
std::string ReportText(const wchar_t* path) {
    std::string bytes;
    win32::UniqueHandle file(
        CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    char chunk[4096];
    DWORD read = 0;
    while (file && ReadFile(file.get(), chunk, sizeof(chunk), &read, nullptr) && read > 0) {
        bytes.append(chunk, read);
    }
    return bytes;
}

// Runs Tolvane with the words; its exit code, or -1 when it showed a window or hung.
long RunWithoutWindow(const std::wstring& words, HANDLE standardOutput = nullptr,
                      DWORD timeoutMs = 30000) {
    App app;
    if (!app.Start(words, standardOutput)) {
        return -1;
    }
    bool window = false;
    const bool ended = WaitUntil(timeoutMs, [&] {
        window = window || ShowsAWindow(app.pid());
        return !app.Running();
    });
    return ended && !window ? static_cast<long>(app.ExitCode()) : -1;
}

TEST_F(Undo, UnattendedAuditApplyAndRestoreShowNoWindowAndLeaveTheKeysAsTheyWere) {
    const std::vector<std::wstring> before = Export();
    ASSERT_TRUE(SetWindowsVersion(L"winxp"));
    const std::wstring report = L" -noaccount /report:C:\\Tolvane\\report.txt";
    // The nine settings the window finds cleared on this prefix.
    EXPECT_EQ(RunWithoutWindow(L"/audit" + report), 9);
    const std::string audit = ReportText(L"C:\\Tolvane\\report.txt");
    EXPECT_NE(audit.find("Shares\tAdministrative\tin force: no\tasked: yes\tread"),
              std::string::npos)
        << audit;
    EXPECT_EQ(Export(), before) << "an audit writes nothing";

    // The administrative shares go once Windows restarts.
    EXPECT_EQ(RunWithoutWindow(L"/apply:all" + report), 3010);
    EXPECT_EQ(RunWithoutWindow(L"/audit" + report), 0);
    EXPECT_NE(ReportText(L"C:\\Tolvane\\report.txt")
                  .find("Shares\tAdministrative\tin force: yes\tasked: yes"),
              std::string::npos);

    EXPECT_EQ(RunWithoutWindow(L"/restore:all" + report), 3010);
    const std::vector<std::wstring> after = Export();
    EXPECT_EQ(after, before) << Diff(before, after);
}

// What the engines of a fleet meet: switches in capitals, a path with a blank, a report that
// cannot be replaced, and /? with its output sent to a file.
TEST_F(Undo, UnattendedAnswersEveryEngineWithoutAWindow) {
    constexpr wchar_t kFolder[] = L"C:\\Tolvane reports";
    constexpr wchar_t kReport[] = L"C:\\Tolvane reports\\audit.csv";
    ASSERT_TRUE(SetWindowsVersion(L"winxp"));
    CreateDirectoryW(kFolder, nullptr);
    const std::wstring audit = L"/AUDIT -noaccount \"/report:C:\\Tolvane reports\\audit.csv\"";
    EXPECT_EQ(RunWithoutWindow(audit), 9);
    const std::string first = ReportText(kReport);
    EXPECT_TRUE(
        first.starts_with("\xEF\xBB\xBF"
                          "computer,time,task,key,"))
        << first;

    {
        // Held without delete sharing, as a reader on another machine might hold it.
        const win32::UniqueHandle held(CreateFileW(kReport, GENERIC_READ, FILE_SHARE_READ, nullptr,
                                                   OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held);
        EXPECT_EQ(RunWithoutWindow(audit), 103);
        EXPECT_EQ(ReportText(kReport), first) << "the older report stays whole";
    }

    const std::wstring usage = std::wstring(kFolder) + L"\\usage.txt";
    SECURITY_ATTRIBUTES inherited{sizeof(inherited), nullptr, TRUE};
    {
        const win32::UniqueHandle output(CreateFileW(usage.c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                                     &inherited, CREATE_ALWAYS, 0, nullptr));
        ASSERT_TRUE(output);
        EXPECT_EQ(RunWithoutWindow(L"/?", output.get()), 0);
    }
    EXPECT_NE(ReportText(usage.c_str()).find("/restore:NAMES"), std::string::npos);
}

// A task word without its slash, as an engine's command line may carry it, opens no window that
// nobody would answer.
TEST_F(Undo, UnattendedBareTaskWordsAre102WithoutAWindow) {
    ASSERT_TRUE(SetWindowsVersion(L"winxp"));
    for (const wchar_t* word : {L"apply", L"restore", L"report"}) {
        EXPECT_EQ(RunWithoutWindow(std::wstring(word) + L" /report:C:\\Tolvane\\bare.txt"), 102)
            << "word " << word;
    }
}

// Two engines that start Tolvane at the same moment, a start-up script and an administrator's run
// say: one waits for the other, which then finds everything in force, and a restore gives back
// every key as it was. Ten times, for the orders in which the two can meet.
TEST_F(Undo, UnattendedTwoAppliesTogetherThenARestoreGiveBackEveryKey) {
    ASSERT_TRUE(SetWindowsVersion(L"winxp"));
    // Every service of the group installed, as on a new XP, and NetBIOS on two interfaces, one
    // of them set by DHCP: every setting of the groups has something to change.
    for (const auto& [service, start] : {std::pair{L"W32Time", 2},
                                         {L"LmHosts", 2},
                                         {L"PolicyAgent", 2},
                                         {L"MSDTC", 3},
                                         {L"Messenger", 2},
                                         {L"SSDPSRV", 3},
                                         {L"upnphost", 3},
                                         {L"RemoteRegistry", 2}}) {
        ASSERT_TRUE(SetDword(std::wstring(kServicesKey) + service, L"Start", start));
    }
    const std::wstring interfaces = std::wstring(kServicesKey) + L"NetBT\\Parameters\\Interfaces\\";
    ASSERT_TRUE(SetDword(interfaces + L"Tcpip_{11111111-2222-3333-4444-555555555555}",
                         L"NetbiosOptions", 0));
    ASSERT_TRUE(SetDword(interfaces + L"Tcpip_{66666666-7777-8888-9999-000000000000}",
                         L"NetbiosOptions", 1));
    const std::vector<std::wstring> before = Export(kEveryTouched);
    const std::wstring words = L"/apply:all -noaccount /report:C:\\Tolvane\\";
    for (int round = 1; round <= 10; ++round) {
        App first;
        App second;
        ASSERT_TRUE(first.Start(words + L"first.txt"));
        ASSERT_TRUE(second.Start(words + L"second.txt"));
        ASSERT_TRUE(first.WaitForExit(90000) && second.WaitForExit(90000)) << "round " << round;
        // One changed the machine; the other, let in after it, changed nothing.
        std::vector<DWORD> codes = {first.ExitCode(), second.ExitCode()};
        std::sort(codes.begin(), codes.end());
        EXPECT_EQ(codes, (std::vector<DWORD>{0, 3010})) << "round " << round;

        EXPECT_EQ(RunWithoutWindow(L"/restore:all -noaccount /report:C:\\Tolvane\\restore.txt"),
                  3010)
            << "round " << round;
        const std::vector<std::wstring> after = Export(kEveryTouched);
        ASSERT_EQ(after, before) << "round " << round << "\n" << Diff(before, after);
    }
}

// A run that finds another one changing the machine waits for it, and when that one does not let
// go within the wait, ends with 104 having changed nothing.
TEST_F(Undo, UnattendedApplyWhileAnotherRunChangesTheMachineEndsWith104AndChangesNothing) {
    ASSERT_TRUE(SetWindowsVersion(L"winxp"));
    const std::vector<std::wstring> before = Export(kEveryTouched);
    win32::Win32System system;
    // Held as another Tolvane holds it while it applies.
    const MachineLockResult held = system.LockMachineForChanges(0);
    ASSERT_TRUE(held.lock) << held.error;
    EXPECT_EQ(
        RunWithoutWindow(L"/apply:all -noaccount /report:C:\\Tolvane\\held.txt", nullptr, 90000),
        104);
    EXPECT_NE(ReportText(L"C:\\Tolvane\\held.txt").find("Exit code: 104"), std::string::npos)
        << ReportText(L"C:\\Tolvane\\held.txt");
    const std::vector<std::wstring> after = Export(kEveryTouched);
    EXPECT_EQ(after, before) << Diff(before, after);
}

}  // namespace
}  // namespace tolvane::e2e
