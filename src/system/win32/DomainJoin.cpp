#include "system/win32/DomainJoin.h"

#include <windows.h>

#include "system/win32/SystemLibrary.h"

namespace tolvane::win32 {
namespace {

// NETSETUP_JOIN_STATUS
constexpr int kJoinUnknown = 0;
constexpr int kJoinedToDomain = 3;  // NetSetupDomainName

using JoinFunction = DWORD(WINAPI*)(const wchar_t* server, wchar_t** name, int* status);
using FreeFunction = DWORD(WINAPI*)(void* buffer);

}  // namespace

std::optional<bool> ReadDomainJoin() {
    const auto join = SystemFunction<JoinFunction>(L"netapi32.dll", "NetGetJoinInformation");
    const auto release = SystemFunction<FreeFunction>(L"netapi32.dll", "NetApiBufferFree");
    if (!join || !release) {
        return std::nullopt;
    }
    wchar_t* name = nullptr;
    int status = kJoinUnknown;
    const DWORD error = join(nullptr, &name, &status);
    if (name) {
        release(name);
    }
    if (error != 0 || status == kJoinUnknown) {
        return std::nullopt;
    }
    return status == kJoinedToDomain;
}

}  // namespace tolvane::win32
