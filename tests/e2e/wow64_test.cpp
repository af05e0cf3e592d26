// The 32-bit build on a 64-bit Windows, under WOW64 for real: what its unattended runs change is
// the machine's own, in the 64-bit view of the registry, and a restore gives each view back what
// it held. Runs where these tests are themselves a 32-bit program under WOW64; skipped elsewhere.
#include "Tolvane.h"

namespace tolvane::e2e {
namespace {

// Under HKLM\SOFTWARE, which WOW64 gives 32-bit programs a copy of: the folder-sharing setting.
constexpr wchar_t kNetwork[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Network";
constexpr wchar_t kName[] = L"NoFileSharing";

// The value in one view of the registry, as text; "(absent)" without it.
std::wstring ReadIn(REGSAM view) {
    win32::UniqueRegKey key;
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kNetwork, 0, KEY_QUERY_VALUE | view, key.put()) !=
            ERROR_SUCCESS ||
        RegQueryValueExW(key.get(), kName, nullptr, nullptr, reinterpret_cast<BYTE*>(&value),
                         &size) != ERROR_SUCCESS) {
        return L"(absent)";
    }
    return std::to_wstring(value);
}

bool WriteIn(REGSAM view, std::optional<DWORD> value) {
    win32::UniqueRegKey key;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kNetwork, 0, nullptr, 0, KEY_SET_VALUE | view, nullptr,
                        key.put(), nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const LONG status = value
                            ? RegSetValueExW(key.get(), kName, 0, REG_DWORD,
                                             reinterpret_cast<const BYTE*>(&*value), sizeof(DWORD))
                            : RegDeleteValueW(key.get(), kName);
    return status == ERROR_SUCCESS || (!value && status == ERROR_FILE_NOT_FOUND);
}

long RunUnattended(const std::wstring& words) {
    App app;
    if (!app.Start(words + L" -noaccount /report:C:\\Tolvane\\wow64.txt") ||
        !app.WaitForExit(60000)) {
        return -1;
    }
    return static_cast<long>(app.ExitCode());
}

TEST(Wow64, UnattendedRunsChangeThe64BitViewAndARestoreGivesEachViewBack) {
    BOOL wow64 = FALSE;
    if (!IsWow64Process(GetCurrentProcess(), &wow64) || !wow64) {
        GTEST_SKIP() << "not a 32-bit program on a 64-bit Windows";
    }
    // Windows Server 2003 x64, one of the two x64 editions.
    ASSERT_TRUE(SetWindowsVersion(L"win2003"));
    // Different in each view, so that a write to the wrong one shows.
    ASSERT_TRUE(WriteIn(KEY_WOW64_64KEY, std::nullopt));
    ASSERT_TRUE(WriteIn(KEY_WOW64_32KEY, 0));
    ASSERT_EQ(ReadIn(KEY_WOW64_32KEY), L"0") << "this Windows keeps one copy of the key";

    const long applied = RunUnattended(L"/apply:shares.folders");
    EXPECT_TRUE(applied == 0 || applied == 3010) << applied;
    EXPECT_EQ(ReadIn(KEY_WOW64_64KEY), L"1") << "the machine's own view";
    EXPECT_EQ(ReadIn(KEY_WOW64_32KEY), L"0") << "the 32-bit programs' copy stays";
    EXPECT_EQ(RunUnattended(L"/audit:shares.folders"), 0);

    const long restored = RunUnattended(L"/restore:shares.folders");
    EXPECT_TRUE(restored == 0 || restored == 3010) << restored;
    EXPECT_EQ(ReadIn(KEY_WOW64_64KEY), L"(absent)");
    EXPECT_EQ(ReadIn(KEY_WOW64_32KEY), L"0");
}

}  // namespace
}  // namespace tolvane::e2e
