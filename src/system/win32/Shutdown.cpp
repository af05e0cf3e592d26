#include "system/win32/Shutdown.h"

#include <windows.h>

#include "system/win32/Handles.h"

namespace tolvane::win32 {

bool EnableShutdownPrivilege() {
    UniqueHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY,
                          token.put())) {
        return false;
    }
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (!LookupPrivilegeValueW(nullptr, SE_SHUTDOWN_NAME, &privileges.Privileges[0].Luid)) {
        return false;
    }
    // Succeeds also when the token does not hold the privilege; only the last error tells.
    return AdjustTokenPrivileges(token.get(), FALSE, &privileges, sizeof(privileges), nullptr,
                                 nullptr) &&
           GetLastError() == ERROR_SUCCESS;
}

}  // namespace tolvane::win32
