#include "system/win32/ProgramsStarting.h"

#include <windows.h>

#include "system/SystemInfo.h"
#include "system/win32/EndNotice.h"
#include "system/win32/Handles.h"

namespace tolvane::win32 {
namespace {

class ThreadStarting : public ProgramsStarting {
  public:
    ThreadStarting(System& system, std::vector<ProgramStart> starts)
        : system_(system), starts_(std::move(starts)) {
        thread_.reset(CreateThread(nullptr, 0, &Run, this, 0, nullptr));
        // Without a thread, the starts are made here and now.
        if (!thread_) {
            Run(this);
        }
    }
    ~ThreadStarting() override { Join(); }
    ThreadStarting(const ThreadStarting&) = delete;
    ThreadStarting& operator=(const ThreadStarting&) = delete;

    std::vector<std::unique_ptr<StartedProcess>> Take() override {
        Join();
        return std::move(started_);
    }
    bool WhenStarted(std::function<void()> started) override {
        if (!thread_) {
            return false;
        }
        notice_ = std::make_unique<EndNotice>(thread_.get(), INFINITE, std::move(started));
        return notice_->Watching();
    }

  private:
    static DWORD WINAPI Run(void* self) {
        auto* const starting = static_cast<ThreadStarting*>(self);
        starting->started_ = StartPrograms(starting->system_, starting->starts_);
        return 0;
    }
    void Join() {
        // The notice waits on the handle: gone first.
        notice_.reset();
        if (thread_) {
            WaitForSingleObject(thread_.get(), INFINITE);
            thread_.reset();
        }
    }

    System& system_;
    const std::vector<ProgramStart> starts_;
    // Written by the thread only, read once it has ended.
    std::vector<std::unique_ptr<StartedProcess>> started_;
    UniqueHandle thread_;
    std::unique_ptr<EndNotice> notice_;
};

}  // namespace

std::unique_ptr<ProgramsStarting> StartProgramsOnAThread(System& system,
                                                         std::vector<ProgramStart> starts) {
    return std::make_unique<ThreadStarting>(system, std::move(starts));
}

}  // namespace tolvane::win32
