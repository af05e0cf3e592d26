// The machine lock between processes: a second run cannot take it while the first holds it, and
// takes it once the first is killed.
#include <windows.h>
// After windows.h, which it needs.
#include <aclapi.h>

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "system/win32/Handles.h"
#include "system/win32/MachineMutex.h"
#include "system/win32/Win32System.h"

namespace tolvane::win32 {
namespace {

// This program started as a child that takes the lock and holds it until killed.
class Holder {
  public:
    Holder() {
        const std::wstring event =
            L"Tolvane.Test.LockTaken." + std::to_wstring(GetCurrentProcessId());
        taken_.reset(CreateEventW(nullptr, TRUE, FALSE, event.c_str()));
        wchar_t own[MAX_PATH] = {};
        GetModuleFileNameW(nullptr, own, MAX_PATH);
        std::wstring line = L"\"" + std::wstring(own) + L"\" --hold-machine-lock " + event;
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION info{};
        if (CreateProcessW(own, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                           &info)) {
            process_.reset(info.hProcess);
            CloseHandle(info.hThread);
        }
    }
    ~Holder() { Kill(); }
    Holder(const Holder&) = delete;
    Holder& operator=(const Holder&) = delete;

    // The child took the lock, rather than ending without it.
    bool Took() {
        const HANDLE either[] = {taken_.get(), process_.get()};
        return process_ && WaitForMultipleObjects(2, either, FALSE, 60000) == WAIT_OBJECT_0;
    }
    bool Kill() {
        if (!process_) {
            return false;
        }
        const bool ended = TerminateProcess(process_.get(), 9) &&
                           WaitForSingleObject(process_.get(), 60000) == WAIT_OBJECT_0;
        process_.reset();
        return ended;
    }

  private:
    UniqueHandle taken_;
    UniqueHandle process_;
};

TEST(MachineLock, HeldByAnotherProcessUntilItIsKilled) {
    Win32System system;
    Holder holder;
    ASSERT_TRUE(holder.Took());
    const MachineLockResult refused = system.LockMachineForChanges(0);
    EXPECT_FALSE(refused.lock);
    EXPECT_EQ(refused.error, kMachineHeldElsewhere);

    // Another run waiting for it keeps the mutex alive past its holder's end: only then is it
    // left abandoned rather than gone with its last handle.
    const UniqueHandle waiting(OpenMutexW(SYNCHRONIZE, FALSE, kMachineMutexName));
    ASSERT_TRUE(waiting);
    ASSERT_TRUE(holder.Kill());
    // Abandoned by the killed run: ours, and said so.
    MachineLockResult taken = system.LockMachineForChanges(0);
    ASSERT_TRUE(taken.lock) << taken.error;
    EXPECT_EQ(taken.error, 0u);
    EXPECT_TRUE(taken.abandoned);
    EXPECT_EQ(taken.passedOver, L"");

    // Released: the next process takes it.
    EXPECT_EQ(taken.lock->Release(), 0u);
    Holder next;
    EXPECT_TRUE(next.Took());
}

// What another thread of the process gets when it takes the lock, and when it lets go of one this
// thread holds.
struct OtherThread {
    MachineLock* lock;
    unsigned long taken = 0;
    unsigned long released = 0;
};
DWORD WINAPI TryFromAnotherThread(void* context) {
    auto& other = *static_cast<OtherThread*>(context);
    Win32System system;
    other.taken = system.LockMachineForChanges(0).error;
    other.released = other.lock->Release();
    return 0;
}

// As a mutex: the thread that holds it takes it again and must let go as often; another thread
// can neither take it nor let it go.
TEST(MachineLock, ItsThreadTakesItAgainAndOnlyItLetsGo) {
    Win32System system;
    MachineLockResult outer = system.LockMachineForChanges(0);
    ASSERT_TRUE(outer.lock) << outer.error;
    MachineLockResult inner = system.LockMachineForChanges(0);
    ASSERT_TRUE(inner.lock) << inner.error;

    OtherThread other{outer.lock.get()};
    const UniqueHandle thread(CreateThread(nullptr, 0, TryFromAnotherThread, &other, 0, nullptr));
    ASSERT_TRUE(thread);
    ASSERT_EQ(WaitForSingleObject(thread.get(), 60000), WAIT_OBJECT_0);
    EXPECT_EQ(other.taken, kMachineHeldElsewhere);
    EXPECT_EQ(other.released, static_cast<unsigned long>(ERROR_NOT_OWNER));

    EXPECT_EQ(inner.lock->Release(), 0u);
    Holder stillOut;
    EXPECT_FALSE(stillOut.Took()) << "held once more";
    EXPECT_EQ(outer.lock->Release(), 0u);
    Holder in;
    EXPECT_TRUE(in.Took());
}

// The account this test runs as, which an administrator may make the owner of what it creates.
std::vector<BYTE> OwnAccount() {
    HANDLE token = nullptr;
    std::vector<BYTE> user(512);
    DWORD size = 0;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
        return {};
    }
    const UniqueHandle closed(token);
    if (!GetTokenInformation(token, TokenUser, user.data(), static_cast<DWORD>(user.size()),
                             &size)) {
        return {};
    }
    const PSID sid = reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid;
    const BYTE* bytes = static_cast<const BYTE*>(sid);
    return {bytes, bytes + GetLengthSid(sid)};
}

// What a user does to keep every run out: makes the lock's name first, an object of their own,
// and holds it. It is passed over and named, and the lock is still one at a time: a second
// process is kept out by the lock's file.
TEST(MachineLock, ASquattersObjectIsPassedOverAndNamedAndTheLockStillHolds) {
    std::vector<BYTE> account = OwnAccount();
    ASSERT_FALSE(account.empty());
    SECURITY_DESCRIPTOR descriptor{};
    ASSERT_TRUE(InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION));
    ASSERT_TRUE(SetSecurityDescriptorDacl(&descriptor, TRUE, nullptr, FALSE));
    ASSERT_TRUE(SetSecurityDescriptorOwner(&descriptor, account.data(), FALSE));
    SECURITY_ATTRIBUTES attributes{sizeof(attributes), &descriptor, FALSE};
    struct Squat {
        const char* what;
        std::function<HANDLE()> make;
        bool named;  // the account is named, not only the kind of object
    };
    const Squat squats[] = {
        {"a mutex of the user's, held",
         [&] { return CreateMutexW(&attributes, TRUE, kMachineMutexName); }, true},
        {"an event under the name",
         [&] { return CreateEventW(&attributes, TRUE, FALSE, kMachineMutexName); }, false},
    };
    for (const Squat& squat : squats) {
        const UniqueHandle object(squat.make());
        ASSERT_TRUE(object) << squat.what;
        Win32System system;
        MachineLockResult taken = system.LockMachineForChanges(0);
        ASSERT_TRUE(taken.lock) << squat.what << ": " << taken.error;
        EXPECT_NE(taken.passedOver, L"") << squat.what;
        if (squat.named) {
            wchar_t name[256];
            wchar_t domain[256];
            DWORD nameLength = 256;
            DWORD domainLength = 256;
            SID_NAME_USE use;
            ASSERT_TRUE(LookupAccountSidW(nullptr, account.data(), name, &nameLength, domain,
                                          &domainLength, &use));
            EXPECT_NE(taken.passedOver.find(name), std::wstring::npos) << squat.what;
        } else {
            EXPECT_EQ(taken.passedOver, L"an object that is not a mutex");
        }
        Holder kept;
        EXPECT_FALSE(kept.Took()) << squat.what;
        EXPECT_EQ(taken.lock->Release(), 0u) << squat.what;
    }
}

// Not the user's own: what an administrator's run makes is owned by the administrators, so the
// next run trusts it.
TEST(MachineLock, WhatARunMakesIsTheAdministratorsOwn) {
    Win32System system;
    MachineLockResult taken = system.LockMachineForChanges(0);
    ASSERT_TRUE(taken.lock) << taken.error;
    EXPECT_EQ(taken.passedOver, L"");
    const UniqueHandle mutex(OpenMutexW(READ_CONTROL, FALSE, kMachineMutexName));
    ASSERT_TRUE(mutex);
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_EQ(GetSecurityInfo(mutex.get(), SE_KERNEL_OBJECT, OWNER_SECURITY_INFORMATION, &owner,
                              nullptr, nullptr, nullptr, &descriptor),
              static_cast<DWORD>(ERROR_SUCCESS));
    const UniqueLocal freed(descriptor);
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    PSID admins = nullptr;
    ASSERT_TRUE(AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID,
                                         DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0, &admins));
    EXPECT_TRUE(EqualSid(owner, admins));
    FreeSid(admins);
    EXPECT_EQ(system.RunsAsAdministrator(), std::optional<bool>(true));
}

TEST(MachineLock, AHeldLockKeepsAnotherProcessOut) {
    Win32System system;
    const MachineLockResult held = system.LockMachineForChanges(0);
    ASSERT_TRUE(held.lock) << held.error;
    Holder holder;
    EXPECT_FALSE(holder.Took()) << "the child ends without the lock";
}

}  // namespace
}  // namespace tolvane::win32
