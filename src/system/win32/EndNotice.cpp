#include "system/win32/EndNotice.h"

#include <map>

#include "system/win32/Handles.h"
#include "system/win32/SystemLibrary.h"

namespace tolvane::win32 {
namespace {

constexpr wchar_t kNoticeWindowClass[] = L"TolvaneEndNotice";
constexpr UINT kEnded = WM_APP + 1;

// Kept on the thread of the windows only: a notice gone before its message arrives is no longer
// here, and its message does nothing.
std::map<std::uintptr_t, std::function<void()>>& Pending() {
    static std::map<std::uintptr_t, std::function<void()>> waiting;
    return waiting;
}

LRESULT CALLBACK NoticeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != kEnded) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    const auto found = Pending().find(static_cast<std::uintptr_t>(wParam));
    if (found != Pending().end() && found->second) {
        // Once, and out of the table first: the call may end the notice itself.
        const std::function<void()> ended = std::move(found->second);
        found->second = nullptr;
        ended();
    }
    return 0;
}

// A message-only window: never shown, never enumerated, only a place for the messages to go.
HWND NoticeWindow() {
    static UniqueWindow window;
    if (!window) {
        const HINSTANCE instance = GetModuleHandleW(nullptr);
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = NoticeProc;
        windowClass.hInstance = instance;
        windowClass.lpszClassName = kNoticeWindowClass;
        if (!GetClassInfoExW(instance, kNoticeWindowClass, &windowClass) &&
            !RegisterClassExW(&windowClass)) {
            return nullptr;
        }
        window.reset(CreateWindowExW(0, kNoticeWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                     nullptr, instance, nullptr));
    }
    return window.get();
}

std::uintptr_t nextId = 1;

}  // namespace

EndNotice::EndNotice(HANDLE waitable, DWORD milliseconds, std::function<void()> ended)
    : id_(nextId++),
      window_(NoticeWindow()),
      post_(SystemFunction<decltype(&::PostMessageW)>(L"user32.dll", "PostMessageW")) {
    if (!window_ || !post_) {
        return;
    }
    Pending()[id_] = std::move(ended);
    // In the wait thread itself: posting a message is all there is to do.
    if (!RegisterWaitForSingleObject(&wait_, waitable, Fired, this, milliseconds,
                                     WT_EXECUTEONLYONCE | WT_EXECUTEINWAITTHREAD)) {
        wait_ = nullptr;
        Pending().erase(id_);
    }
}

EndNotice::~EndNotice() {
    if (wait_) {
        // Waits for a call in progress: this object must outlive it.
        UnregisterWaitEx(wait_, INVALID_HANDLE_VALUE);
        Pending().erase(id_);
    }
}

void CALLBACK EndNotice::Fired(void* context, BOOLEAN) {
    const auto* notice = static_cast<const EndNotice*>(context);
    notice->post_(notice->window_, kEnded, notice->id_, 0);
}

}  // namespace tolvane::win32
