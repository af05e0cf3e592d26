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

struct KernelHandleTraits {
    static HANDLE Invalid() { return nullptr; }
    static bool Valid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { CloseHandle(h); }
};
using UniqueHandle = UniqueResource<HANDLE, KernelHandleTraits>;

struct RegKeyTraits {
    static HKEY Invalid() { return nullptr; }
    static bool Valid(HKEY h) { return h != nullptr; }
    static void Close(HKEY h) { RegCloseKey(h); }
};
using UniqueRegKey = UniqueResource<HKEY, RegKeyTraits>;

template <typename G>
struct GdiTraits {
    static G Invalid() { return nullptr; }
    static bool Valid(G h) { return h != nullptr; }
    static void Close(G h) { DeleteObject(h); }
};
using UniqueFont = UniqueResource<HFONT, GdiTraits<HFONT>>;
using UniqueBrush = UniqueResource<HBRUSH, GdiTraits<HBRUSH>>;
using UniqueBitmap = UniqueResource<HBITMAP, GdiTraits<HBITMAP>>;

struct LocalTraits {
    static HLOCAL Invalid() { return nullptr; }
    static bool Valid(HLOCAL h) { return h != nullptr; }
    static void Close(HLOCAL h) { LocalFree(h); }
};
using UniqueLocal = UniqueResource<HLOCAL, LocalTraits>;

struct MemoryDcTraits {
    static HDC Invalid() { return nullptr; }
    static bool Valid(HDC h) { return h != nullptr; }
    static void Close(HDC h) { DeleteDC(h); }
};
using UniqueMemoryDc = UniqueResource<HDC, MemoryDcTraits>;

struct MenuTraits {
    static HMENU Invalid() { return nullptr; }
    static bool Valid(HMENU h) { return h != nullptr; }
    static void Close(HMENU h) { DestroyMenu(h); }
};
using UniqueMenu = UniqueResource<HMENU, MenuTraits>;

struct WindowTraits {
    static HWND Invalid() { return nullptr; }
    static bool Valid(HWND h) { return h != nullptr; }
    static void Close(HWND h) { DestroyWindow(h); }
};
using UniqueWindow = UniqueResource<HWND, WindowTraits>;

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
