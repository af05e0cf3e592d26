// The 32-bit build on a 64-bit Windows, under WOW64 for real: what its unattended runs write is
// the machine's own, in the 64-bit view of the registry, and a restore leaves each view as it
// was. Runs where these tests are themselves a 32-bit program under WOW64; skipped elsewhere.
#include "Tolvane.h"

namespace tolvane::e2e {
namespace {

// Under HKLM\SOFTWARE, of which WOW64 gives 32-bit programs a copy of their own: the records of
// the accounts an apply switched off.
constexpr wchar_t kRecords[] = L"SOFTWARE\\Tolvane\\Accounts";

bool KeyIn(REGSAM view) {
    win32::UniqueRegKey key;
    return RegOpenKeyExW(HKEY_LOCAL_MACHINE, kRecords, 0, KEY_READ | view, key.put()) ==
           ERROR_SUCCESS;
}

long RunUnattended(const std::wstring& words) {
    App app;
    if (!app.Start(words + L" /report:C:\\Tolvane\\wow64.txt") || !app.WaitForExit(60000)) {
        return -1;
    }
    return static_cast<long>(app.ExitCode());
}

TEST(Wow64, UnattendedRunsWriteThe64BitViewAndARestoreLeavesEachViewAsItWas) {
    BOOL wow64 = FALSE;
    if (!IsWow64Process(GetCurrentProcess(), &wow64) || !wow64) {
        GTEST_SKIP() << "not a 32-bit program on a 64-bit Windows";
    }
    // Windows Server 2003 x64, one of the two x64 editions.
    ASSERT_TRUE(SetWindowsVersion(L"win2003"));
    ASSERT_TRUE(SetAccount(kGuestAccount, true));
    ASSERT_FALSE(KeyIn(KEY_WOW64_64KEY));
    ASSERT_FALSE(KeyIn(KEY_WOW64_32KEY));

    EXPECT_EQ(RunUnattended(L"/apply:accounts.guest"), 0);
    EXPECT_TRUE(WaitForAccount(kGuestAccount, false));
    EXPECT_TRUE(KeyIn(KEY_WOW64_64KEY)) << "the record is the machine's";
    EXPECT_FALSE(KeyIn(KEY_WOW64_32KEY)) << "not the 32-bit programs' copy";

    const long restored = RunUnattended(L"/restore:accounts -noaccount");
    EXPECT_TRUE(restored == 0 || restored == 3010) << restored;
    EXPECT_TRUE(WaitForAccount(kGuestAccount, true));
    EXPECT_FALSE(KeyIn(KEY_WOW64_64KEY));
    EXPECT_FALSE(KeyIn(KEY_WOW64_32KEY));
}

}  // namespace
}  // namespace tolvane::e2e
