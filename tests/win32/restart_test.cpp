// The shutdown privilege switched on for the process, read back from its token. No test here
// asks for a restart: under Wine a forced one ends every process of the prefix.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "system/win32/Handles.h"
#include "system/win32/Shutdown.h"

namespace tolvane::win32 {
namespace {

// Whether the process token has SeShutdownPrivilege enabled; nothing when it cannot be read.
std::optional<bool> ShutdownEnabled() {
    UniqueHandle token;
    LUID shutdown{};
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.put()) ||
        !LookupPrivilegeValueW(nullptr, SE_SHUTDOWN_NAME, &shutdown)) {
        return std::nullopt;
    }
    DWORD size = 0;
    GetTokenInformation(token.get(), TokenPrivileges, nullptr, 0, &size);
    std::vector<BYTE> buffer(size);
    if (!GetTokenInformation(token.get(), TokenPrivileges, buffer.data(), size, &size)) {
        return std::nullopt;
    }
    const auto* privileges = reinterpret_cast<const TOKEN_PRIVILEGES*>(buffer.data());
    for (DWORD i = 0; i < privileges->PrivilegeCount; ++i) {
        const LUID_AND_ATTRIBUTES& entry = privileges->Privileges[i];
        if (entry.Luid.LowPart == shutdown.LowPart && entry.Luid.HighPart == shutdown.HighPart) {
            return (entry.Attributes & SE_PRIVILEGE_ENABLED) != 0;
        }
    }
    return false;
}

TEST(EnableShutdownPrivilege, SwitchesThePrivilegeOnInTheToken) {
    // Start from a token where it is off, so that the test shows the switch.
    UniqueHandle token;
    ASSERT_TRUE(
        OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, token.put()));
    TOKEN_PRIVILEGES off{};
    off.PrivilegeCount = 1;
    ASSERT_TRUE(LookupPrivilegeValueW(nullptr, SE_SHUTDOWN_NAME, &off.Privileges[0].Luid));
    ASSERT_TRUE(AdjustTokenPrivileges(token.get(), FALSE, &off, sizeof(off), nullptr, nullptr));
    ASSERT_EQ(ShutdownEnabled(), false);

    EXPECT_TRUE(EnableShutdownPrivilege());
    EXPECT_EQ(ShutdownEnabled(), true);
}

}  // namespace
}  // namespace tolvane::win32
