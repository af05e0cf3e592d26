// Scope guards for every kind of handle the program holds: nothing is freed by hand.
#pragma once

#include <windows.h>

#include <utility>

namespace tolvane::win32 {

template <typename T, typename Traits>
class UniqueResource {
  public:
    UniqueResource() = default;
    explicit UniqueResource(T value) : value_(value) {}
    ~UniqueResource() { reset(); }
    UniqueResource(UniqueResource&& other) noexcept : value_(other.release()) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept {
        if (this != &other) {
            reset(other.release());
        }
        return *this;
    }
    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;

    T get() const { return value_; }
    explicit operator bool() const { return Traits::Valid(value_); }
    T* put() {
        reset();
        return &value_;
    }
    T release() { return std::exchange(value_, Traits::Invalid()); }
    void reset(T value = Traits::Invalid()) {
        if (Traits::Valid(value_)) {
            Traits::Close(value_);
        }
        value_ = value;
    }

  private:
    T value_ = Traits::Invalid();
};

// A handle type whose empty value is null, freed by the given function.
template <typename T, auto Free>
struct NullTraits {
    static T Invalid() { return nullptr; }
    static bool Valid(T h) { return h != nullptr; }
    static void Close(T h) { Free(h); }
};

// Kernel handles: some calls give null for none, CreateFile gives INVALID_HANDLE_VALUE.
struct KernelHandleTraits {
    static HANDLE Invalid() { return nullptr; }
    static bool Valid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { CloseHandle(h); }
};

using UniqueHandle = UniqueResource<HANDLE, KernelHandleTraits>;
using UniqueRegKey = UniqueResource<HKEY, NullTraits<HKEY, RegCloseKey>>;
using UniqueFont = UniqueResource<HFONT, NullTraits<HFONT, DeleteObject>>;
using UniqueBrush = UniqueResource<HBRUSH, NullTraits<HBRUSH, DeleteObject>>;
using UniqueBitmap = UniqueResource<HBITMAP, NullTraits<HBITMAP, DeleteObject>>;
using UniqueLocal = UniqueResource<HLOCAL, NullTraits<HLOCAL, LocalFree>>;
using UniqueGlobal = UniqueResource<HGLOBAL, NullTraits<HGLOBAL, GlobalFree>>;
using UniqueMemoryDc = UniqueResource<HDC, NullTraits<HDC, DeleteDC>>;
using UniqueMenu = UniqueResource<HMENU, NullTraits<HMENU, DestroyMenu>>;
using UniqueWindow = UniqueResource<HWND, NullTraits<HWND, DestroyWindow>>;

// Memory that a system function allocated for its caller on the process heap.
inline void FreeOnProcessHeap(void* block) {
    HeapFree(GetProcessHeap(), 0, block);
}
using UniqueHeapBlock = UniqueResource<void*, NullTraits<void*, FreeOnProcessHeap>>;

// Releases a DC obtained with GetDC.
class WindowDc {
  public:
    explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDc() {
        if (dc_) {
            ReleaseDC(window_, dc_);
        }
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC get() const { return dc_; }

  private:
    HWND window_;
    HDC dc_;
};

// Selects an object into a device context and puts the previous one back.
class Selection {
  public:
    Selection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~Selection() {
        if (previous_ != nullptr && previous_ != HGDI_ERROR) {
            SelectObject(dc_, previous_);
        }
    }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;

  private:
    HDC dc_;
    HGDIOBJ previous_;
};

}  // namespace tolvane::win32
