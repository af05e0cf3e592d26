// The machine lock between processes: a second run cannot take it while the first holds it, and
// takes it once the first is killed.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "system/win32/Handles.h"
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

    ASSERT_TRUE(holder.Kill());
    // Abandoned by the killed run: ours.
    MachineLockResult taken = system.LockMachineForChanges(0);
    ASSERT_TRUE(taken.lock) << taken.error;
    EXPECT_EQ(taken.error, 0u);

    // Released by destruction: the next process takes it.
    taken.lock.reset();
    Holder next;
    EXPECT_TRUE(next.Took());
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
