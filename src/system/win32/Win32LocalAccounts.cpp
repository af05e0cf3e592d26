#include "system/win32/Win32LocalAccounts.h"

#include <windows.h>
// After windows.h, which they need.
#include <ntsecapi.h>

#include <vector>

#include "system/win32/Handles.h"
#include "system/win32/OnDemand.h"

namespace tolvane::win32 {
namespace {

NTSTATUS FreeLsaMemory(void* memory) {
    return LsaFreeMemory(memory);
}
NTSTATUS ClosePolicy(LSA_HANDLE policy) {
    return LsaClose(policy);
}
NET_API_STATUS FreeNetBuffer(BYTE* buffer) {
    return ondemand::NetApiBufferFree(buffer);
}

using UniquePolicy = UniqueResource<LSA_HANDLE, NullTraits<LSA_HANDLE, ClosePolicy>>;
using UniqueLsaMemory = UniqueResource<void*, NullTraits<void*, FreeLsaMemory>>;
using UniqueNetBuffer = UniqueResource<BYTE*, NullTraits<BYTE*, FreeNetBuffer>>;

// The account's flags, through level 1 of NetUserGetInfo.
NET_API_STATUS ReadFlags(const std::wstring& name, DWORD& flags) {
    UniqueNetBuffer info;
    const NET_API_STATUS status = ondemand::NetUserGetInfo(nullptr, name.c_str(), 1, info.put());
    if (status == NERR_Success) {
        flags = reinterpret_cast<const USER_INFO_1*>(info.get())->usri1_flags;
    }
    return status;
}

}  // namespace

std::optional<std::wstring> Win32LocalAccounts::NameOf(std::uint32_t rid) {
    // The account domain of the machine, not the well-known built-in domain: its identifier
    // differs on every machine, and its accounts' names with the language.
    LSA_OBJECT_ATTRIBUTES attributes{};
    UniquePolicy policy;
    if (LsaOpenPolicy(nullptr, &attributes, POLICY_VIEW_LOCAL_INFORMATION, policy.put()) != 0) {
        return std::nullopt;
    }
    UniqueLsaMemory info;
    if (LsaQueryInformationPolicy(policy.get(), PolicyAccountDomainInformation, info.put()) != 0 ||
        !info) {
        return std::nullopt;
    }
    PSID domain = static_cast<POLICY_ACCOUNT_DOMAIN_INFO*>(info.get())->DomainSid;
    if (!domain || !IsValidSid(domain)) {
        return std::nullopt;
    }
    // The domain's identifier with one more sub-authority: the account's.
    const DWORD length = GetLengthSid(domain) + sizeof(DWORD);
    std::vector<BYTE> sid(length);
    if (!CopySid(length, sid.data(), domain)) {
        return std::nullopt;
    }
    UCHAR* count = GetSidSubAuthorityCount(sid.data());
    *GetSidSubAuthority(sid.data(), *count) = rid;
    ++*count;

    wchar_t name[256];
    wchar_t domainName[256];
    DWORD nameLength = 256;
    DWORD domainLength = 256;
    SID_NAME_USE use;
    if (!LookupAccountSidW(nullptr, sid.data(), name, &nameLength, domainName, &domainLength,
                           &use) ||
        use != SidTypeUser) {
        return std::nullopt;
    }
    return std::wstring(name, nameLength);
}

unsigned long Win32LocalAccounts::ReadDisabled(const std::wstring& name, bool& disabled) {
    DWORD flags = 0;
    const NET_API_STATUS status = ReadFlags(name, flags);
    if (status == NERR_Success) {
        disabled = (flags & UF_ACCOUNTDISABLE) != 0;
    }
    return status;
}

unsigned long Win32LocalAccounts::WriteDisabled(const std::wstring& name, bool disabled) {
    DWORD flags = 0;
    if (const NET_API_STATUS status = ReadFlags(name, flags)) {
        return status;
    }
    // Level 1008 sets every flag at once: the others are given back as they were read.
    USER_INFO_1008 info{disabled ? flags | UF_ACCOUNTDISABLE : flags & ~DWORD{UF_ACCOUNTDISABLE}};
    info.usri1008_flags |= UF_SCRIPT;
    return ondemand::NetUserSetInfo(nullptr, name.c_str(), 1008, reinterpret_cast<BYTE*>(&info),
                                    nullptr);
}

}  // namespace tolvane::win32
