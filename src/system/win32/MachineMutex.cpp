#include "system/win32/MachineMutex.h"

#include <windows.h>
// After windows.h, which they need.
#include <aclapi.h>
#include <sddl.h>

#include <vector>

#include "system/win32/Handles.h"

namespace tolvane::win32 {
namespace {

using UniqueSid = UniqueResource<PSID, NullTraits<PSID, FreeSid>>;

// The two accounts trusted with the lock: the local system account (a start-up script) and the
// administrators.
class TrustedAccounts {
  public:
    TrustedAccounts() {
        SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
        if (!AllocateAndInitializeSid(&nt, 1, SECURITY_LOCAL_SYSTEM_RID, 0, 0, 0, 0, 0, 0, 0,
                                      system_.put()) ||
            !AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS,
                                      0, 0, 0, 0, 0, 0, admins_.put())) {
            error_ = GetLastError();
        }
    }
    DWORD error() const { return error_; }
    PSID system() const { return system_.get(); }
    PSID admins() const { return admins_.get(); }
    bool Trusts(PSID owner) const {
        return owner && (EqualSid(owner, system()) || EqualSid(owner, admins()));
    }

  private:
    UniqueSid system_;
    UniqueSid admins_;
    DWORD error_ = ERROR_SUCCESS;
};

// Full access for the trusted accounts and for nobody else, and, where asked, the administrators
// as owner, whatever owner Windows gives an administrator's objects by default: so the next run
// trusts what this one made.
class LockSecurity {
  public:
    LockSecurity(const TrustedAccounts& trusted, DWORD rights, bool ownedByAdministrators) {
        const DWORD size = sizeof(ACL) + 2 * (sizeof(ACCESS_ALLOWED_ACE) - sizeof(DWORD)) +
                           GetLengthSid(trusted.system()) + GetLengthSid(trusted.admins());
        // DWORDs, for the alignment an ACL needs.
        acl_.resize((size + sizeof(DWORD) - 1) / sizeof(DWORD));
        auto* acl = reinterpret_cast<PACL>(acl_.data());
        if (!InitializeAcl(acl, size, ACL_REVISION) ||
            !AddAccessAllowedAce(acl, ACL_REVISION, rights, trusted.system()) ||
            !AddAccessAllowedAce(acl, ACL_REVISION, rights, trusted.admins()) ||
            !InitializeSecurityDescriptor(&descriptor_, SECURITY_DESCRIPTOR_REVISION) ||
            !SetSecurityDescriptorDacl(&descriptor_, TRUE, acl, FALSE) ||
            (ownedByAdministrators &&
             !SetSecurityDescriptorOwner(&descriptor_, trusted.admins(), FALSE))) {
            error_ = GetLastError();
        }
    }
    LockSecurity(const LockSecurity&) = delete;
    LockSecurity& operator=(const LockSecurity&) = delete;

    DWORD error() const { return error_; }
    SECURITY_ATTRIBUTES attributes() { return {sizeof(SECURITY_ATTRIBUTES), &descriptor_, FALSE}; }

  private:
    std::vector<DWORD> acl_;
    SECURITY_DESCRIPTOR descriptor_{};
    DWORD error_ = ERROR_SUCCESS;
};

// An account as a person reads it: DOMAIN\name, else its identifier.
std::wstring AccountOf(PSID sid) {
    wchar_t name[256];
    wchar_t domain[256];
    DWORD nameLength = 256;
    DWORD domainLength = 256;
    SID_NAME_USE use;
    if (LookupAccountSidW(nullptr, sid, name, &nameLength, domain, &domainLength, &use)) {
        return domainLength ? std::wstring(domain, domainLength) + L"\\" + name : name;
    }
    wchar_t* text = nullptr;
    if (ConvertSidToStringSidW(sid, &text)) {
        const UniqueLocal freed(text);
        return text;
    }
    return L"an account Tolvane cannot name";
}

// The owner of an object this process has a handle to with READ_CONTROL; nothing when it cannot
// be read. Its words for a person go to `name`.
bool TrustedOwner(HANDLE object, const TrustedAccounts& trusted, std::wstring& name) {
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetSecurityInfo(object, SE_KERNEL_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr,
                        nullptr, nullptr, &descriptor) != ERROR_SUCCESS) {
        name = L"an owner Tolvane cannot read";
        return false;
    }
    const UniqueLocal freed(descriptor);
    if (trusted.Trusts(owner)) {
        return true;
    }
    name = AccountOf(owner);
    return false;
}

// The mutex of the lock's name where it can be trusted as the lock, or else whose object of that
// name was passed over.
struct MutexFound {
    UniqueHandle mutex = {};
    std::wstring passedOver = {};
    DWORD error = ERROR_SUCCESS;
};

MutexFound FindMachineMutex(const TrustedAccounts& trusted) {
    for (const bool owned : {true, false}) {
        LockSecurity security(trusted, MUTEX_ALL_ACCESS, owned);
        if (security.error() != ERROR_SUCCESS) {
            return {{}, {}, security.error()};
        }
        SECURITY_ATTRIBUTES attributes = security.attributes();
        UniqueHandle mutex(CreateMutexW(&attributes, FALSE, kMachineMutexName));
        const DWORD error = GetLastError();
        if (!mutex && error == ERROR_INVALID_OWNER && owned) {
            continue;
        }
        // One that exists and grants us less than all: ours grant an administrator everything,
        // so it is someone else's. Only a mutex we may also release would do (the right to
        // release one is MUTEX_MODIFY_STATE).
        if (!mutex && error == ERROR_ACCESS_DENIED) {
            mutex.reset(OpenMutexW(SYNCHRONIZE | MUTEX_MODIFY_STATE | READ_CONTROL, FALSE,
                                   kMachineMutexName));
            if (!mutex) {
                const UniqueHandle readable(OpenMutexW(READ_CONTROL, FALSE, kMachineMutexName));
                std::wstring owner = L"an owner Tolvane cannot read";
                if (readable) {
                    TrustedOwner(readable.get(), trusted, owner);
                }
                return {{}, owner};
            }
        }
        // Another kind of object under the name: a mutex's name cannot then be had at all.
        if (!mutex && error == ERROR_INVALID_HANDLE) {
            return {{}, L"an object that is not a mutex"};
        }
        if (!mutex) {
            return {{}, {}, error};
        }
        std::wstring owner;
        if (!TrustedOwner(mutex.get(), trusted, owner)) {
            return {{}, owner};
        }
        return {std::move(mutex)};
    }
    return {{}, {}, ERROR_INVALID_OWNER};
}

// The lock's own file, which only an administrator can make in the Windows folder: opened
// without sharing and deleted on close, it is let go when its run ends, however it ends.
std::wstring LockFilePath() {
    wchar_t folder[MAX_PATH];
    const UINT length = GetWindowsDirectoryW(folder, MAX_PATH);
    return std::wstring(folder, length < MAX_PATH ? length : 0) +
           L"\\Tolvane.ChangingThisComputer.lock";
}

// How often a run that waits looks whether the file is free again.
constexpr DWORD kLockFileLookMs = 100;

DWORD TakeLockFile(const TrustedAccounts& trusted, DWORD waitMs, UniqueHandle& file) {
    const std::wstring path = LockFilePath();
    const DWORD start = GetTickCount();
    bool owned = true;
    for (;;) {
        LockSecurity security(trusted, FILE_ALL_ACCESS, owned);
        if (security.error() != ERROR_SUCCESS) {
            return security.error();
        }
        SECURITY_ATTRIBUTES attributes = security.attributes();
        file.reset(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0, &attributes,
                               OPEN_ALWAYS, FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE,
                               nullptr));
        if (file) {
            return ERROR_SUCCESS;
        }
        const DWORD error = GetLastError();
        if (error == ERROR_INVALID_OWNER && owned) {
            owned = false;
            continue;
        }
        // Held by another run, or being let go by one (deleted, not yet gone).
        if (error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED) {
            return error;
        }
        const DWORD waited = GetTickCount() - start;
        if (waited >= waitMs) {
            return error == ERROR_SHARING_VIOLATION ? kMachineHeldElsewhere : error;
        }
        Sleep(waitMs - waited < kLockFileLookMs ? waitMs - waited : kLockFileLookMs);
    }
}

// What this process holds of the lock: the thread that took it, as often as it took it. Only one
// thread of the program takes it; another is refused as another run would be.
struct ProcessHold {
    DWORD thread = 0;
    int depth = 0;
    UniqueHandle mutex;
    UniqueHandle file;
};
ProcessHold& Held() {
    static ProcessHold held;
    return held;
}

class HeldLock : public MachineLock {
  public:
    ~HeldLock() override { Release(); }
    unsigned long Release() override {
        if (released_) {
            return ERROR_SUCCESS;
        }
        ProcessHold& held = Held();
        // A mutex is let go only by the thread that holds it.
        if (held.thread != GetCurrentThreadId()) {
            return ERROR_NOT_OWNER;
        }
        released_ = true;
        if (--held.depth > 0) {
            return ERROR_SUCCESS;
        }
        // The file first: a run the mutex lets in finds it free.
        held.file.reset();
        DWORD error = ERROR_SUCCESS;
        if (held.mutex && !ReleaseMutex(held.mutex.get())) {
            error = GetLastError();
        }
        held.mutex.reset();
        held.thread = 0;
        return error;
    }

  private:
    bool released_ = false;
};

}  // namespace

MachineLockResult LockMachineMutex(std::uint32_t waitMs) {
    ProcessHold& held = Held();
    if (held.depth > 0 && held.thread == GetCurrentThreadId()) {
        ++held.depth;
        return {std::make_unique<HeldLock>()};
    }
    if (held.depth > 0) {
        return {nullptr, kMachineHeldElsewhere};
    }
    const TrustedAccounts trusted;
    if (trusted.error() != ERROR_SUCCESS) {
        return {nullptr, trusted.error()};
    }
    MutexFound found = FindMachineMutex(trusted);
    if (found.error != ERROR_SUCCESS) {
        return {nullptr, found.error};
    }
    MachineLockResult result;
    result.passedOver = found.passedOver;
    const DWORD start = GetTickCount();
    if (found.mutex) {
        switch (WaitForSingleObject(found.mutex.get(), waitMs)) {
            case WAIT_OBJECT_0:
                break;
            // A run killed while it held the lock: it is ours now.
            case WAIT_ABANDONED:
                result.abandoned = true;
                break;
            case WAIT_TIMEOUT:
                result.error = kMachineHeldElsewhere;
                return result;
            default:
                result.error = GetLastError();
                return result;
        }
    }
    // Taken by every run, so that one that passed over a user's mutex and one that trusts a
    // mutex made after it still exclude each other.
    const DWORD waited = GetTickCount() - start;
    UniqueHandle file;
    if (const DWORD error = TakeLockFile(trusted, waited < waitMs ? waitMs - waited : 0, file)) {
        if (found.mutex) {
            ReleaseMutex(found.mutex.get());
        }
        result.error = error;
        return result;
    }
    held = {GetCurrentThreadId(), 1, std::move(found.mutex), std::move(file)};
    result.lock = std::make_unique<HeldLock>();
    return result;
}

std::optional<bool> RunsAsAdministrator() {
    const TrustedAccounts trusted;
    BOOL member = FALSE;
    if (trusted.error() != ERROR_SUCCESS ||
        !CheckTokenMembership(nullptr, trusted.admins(), &member)) {
        return std::nullopt;
    }
    return member != FALSE;
}

}  // namespace tolvane::win32
