#include "system/win32/DomainJoin.h"

#include "system/win32/OnDemand.h"

namespace tolvane::win32 {

std::optional<bool> ReadDomainJoin() {
    wchar_t* name = nullptr;
    NETSETUP_JOIN_STATUS status = NetSetupUnknownStatus;
    const DWORD error = ondemand::NetGetJoinInformation(nullptr, &name, &status);
    if (name) {
        ondemand::NetApiBufferFree(name);
    }
    if (error != 0 || status == NetSetupUnknownStatus) {
        return std::nullopt;
    }
    return status == NetSetupDomainName;
}

}  // namespace tolvane::win32
