// Tells the thread of the windows that a process or a thread has ended, through whatever message
// loop runs there then: the program's own, a message box's, a menu's or a move of the window. The
// system waits on a thread of its pool, which only posts a message to a hidden window of that
// thread.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>

namespace tolvane::win32 {

class EndNotice {
  public:
    // Made on the thread of the windows; `ended` is called there once, when the process or thread
    // has ended or the time (INFINITE for none) is up, and never once this object is gone, which
    // it must be before the handle is closed.
    EndNotice(HANDLE waitable, DWORD milliseconds, std::function<void()> ended);
    ~EndNotice();
    EndNotice(const EndNotice&) = delete;
    EndNotice& operator=(const EndNotice&) = delete;

    // False where the system would not wait: `ended` is then never called.
    bool Watching() const { return wait_ != nullptr; }

  private:
    static void CALLBACK Fired(void* context, BOOLEAN timedOut);

    std::uintptr_t id_;
    HWND window_ = nullptr;
    // Found on the thread of the windows: the pool's thread calls only this.
    decltype(&::PostMessageW) post_ = nullptr;
    HANDLE wait_ = nullptr;
};

}  // namespace tolvane::win32
