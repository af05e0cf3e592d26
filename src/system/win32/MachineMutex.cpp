#include "system/win32/MachineMutex.h"

#include <windows.h>

#include <vector>

#include "system/win32/Handles.h"

namespace tolvane::win32 {
namespace {

class HeldMutex : public MachineLock {
  public:
    explicit HeldMutex(UniqueHandle mutex) : mutex_(std::move(mutex)) {}
    ~HeldMutex() override { ReleaseMutex(mutex_.get()); }

  private:
    UniqueHandle mutex_;
};

using UniqueSid = UniqueResource<PSID, NullTraits<PSID, FreeSid>>;

// Full access for the local system account and the administrators, and for nobody else: a
// start-up script running as SYSTEM and an administrator's run never lock each other out, and a
// user who may change nothing cannot hold the lock to keep them waiting.
class LockSecurity {
  public:
    LockSecurity() {
        SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
        if (!AllocateAndInitializeSid(&nt, 1, SECURITY_LOCAL_SYSTEM_RID, 0, 0, 0, 0, 0, 0, 0,
                                      system_.put()) ||
            !AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS,
                                      0, 0, 0, 0, 0, 0, admins_.put())) {
            error_ = GetLastError();
            return;
        }
        const DWORD size = sizeof(ACL) + 2 * (sizeof(ACCESS_ALLOWED_ACE) - sizeof(DWORD)) +
                           GetLengthSid(system_.get()) + GetLengthSid(admins_.get());
        // DWORDs, for the alignment an ACL needs.
        acl_.resize((size + sizeof(DWORD) - 1) / sizeof(DWORD));
        auto* acl = reinterpret_cast<PACL>(acl_.data());
        if (!InitializeAcl(acl, size, ACL_REVISION) ||
            !AddAccessAllowedAce(acl, ACL_REVISION, MUTEX_ALL_ACCESS, system_.get()) ||
            !AddAccessAllowedAce(acl, ACL_REVISION, MUTEX_ALL_ACCESS, admins_.get()) ||
            !InitializeSecurityDescriptor(&descriptor_, SECURITY_DESCRIPTOR_REVISION) ||
            !SetSecurityDescriptorDacl(&descriptor_, TRUE, acl, FALSE)) {
            error_ = GetLastError();
        }
    }
    LockSecurity(const LockSecurity&) = delete;
    LockSecurity& operator=(const LockSecurity&) = delete;

    DWORD error() const { return error_; }
    SECURITY_ATTRIBUTES attributes() { return {sizeof(SECURITY_ATTRIBUTES), &descriptor_, FALSE}; }

  private:
    UniqueSid system_;
    UniqueSid admins_;
    std::vector<DWORD> acl_;
    SECURITY_DESCRIPTOR descriptor_{};
    DWORD error_ = ERROR_SUCCESS;
};

// The mutex, made with our security where it is new. One that exists already and grants us less
// than full access (made by another account) is still good to wait for; releasing it may need
// the modify right as well (.NET's MutexRights calls Modify the right to release a mutex).
UniqueHandle OpenMachineMutex() {
    LockSecurity security;
    if (security.error() != ERROR_SUCCESS) {
        SetLastError(security.error());
        return {};
    }
    SECURITY_ATTRIBUTES attributes = security.attributes();
    UniqueHandle mutex(CreateMutexW(&attributes, FALSE, kMachineMutexName));
    if (!mutex && GetLastError() == ERROR_ACCESS_DENIED) {
        mutex.reset(OpenMutexW(SYNCHRONIZE | MUTEX_MODIFY_STATE, FALSE, kMachineMutexName));
        if (!mutex) {
            mutex.reset(OpenMutexW(SYNCHRONIZE, FALSE, kMachineMutexName));
        }
    }
    return mutex;
}

}  // namespace

MachineLockResult LockMachineMutex(std::uint32_t waitMs) {
    UniqueHandle mutex = OpenMachineMutex();
    if (!mutex) {
        return {nullptr, GetLastError()};
    }
    switch (WaitForSingleObject(mutex.get(), waitMs)) {
        case WAIT_OBJECT_0:
        // A run killed while it held the lock: it is ours now. What that run left half done is
        // for its records to tell.
        case WAIT_ABANDONED:
            return {std::make_unique<HeldMutex>(std::move(mutex)), 0};
        case WAIT_TIMEOUT:
            return {nullptr, kMachineHeldElsewhere};
        default:
            return {nullptr, GetLastError()};
    }
}

}  // namespace tolvane::win32
