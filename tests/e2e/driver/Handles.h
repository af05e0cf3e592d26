// Scope guards for the system handles the driver uses, so every path frees what it took.
#pragma once

#include <windows.h>

namespace tolvane::e2e {

// Owns a value and frees it with Traits::Free unless it holds Traits::Invalid().
template <typename Traits>
class Owned {
    using T = typename Traits::Type;
    static T Invalid() { return Traits::Invalid(); }

  public:
    Owned() = default;
    explicit Owned(T value) : value_(value) {}
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;
    Owned(Owned&& other) noexcept : value_(other.release()) {}
    Owned& operator=(Owned&& other) noexcept {
        if (this != &other) {
            reset(other.release());
        }
        return *this;
    }
    ~Owned() { reset(); }

    T get() const { return value_; }
    T* out() {
        reset();
        return &value_;
    }
    bool valid() const { return value_ != Invalid(); }
    T release() {
        T value = value_;
        value_ = Invalid();
        return value;
    }
    void reset() { reset(Invalid()); }
    void reset(T value) {
        if (value_ != Invalid()) {
            Traits::Free(value_);
        }
        value_ = value;
    }

  private:
    T value_ = Invalid();
};

template <typename T, auto FreeFunction>
struct NullIsInvalid {
    using Type = T;
    static T Invalid() { return nullptr; }
    static void Free(T value) { FreeFunction(value); }
};

struct FileTraits {
    using Type = HANDLE;
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static void Free(HANDLE handle) { CloseHandle(handle); }
};

using Handle = Owned<NullIsInvalid<HANDLE, CloseHandle>>;
using FileHandle = Owned<FileTraits>;
using RegKey = Owned<NullIsInvalid<HKEY, RegCloseKey>>;
using LocalMemory = Owned<NullIsInvalid<HLOCAL, LocalFree>>;
using MemoryDc = Owned<NullIsInvalid<HDC, DeleteDC>>;
using Bitmap = Owned<NullIsInvalid<HBITMAP, DeleteObject>>;

// A device context from GetDC, released to its window.
class WindowDc {
  public:
    explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    ~WindowDc() {
        if (dc_ != nullptr) {
            ReleaseDC(window_, dc_);
        }
    }
    HDC get() const { return dc_; }

  private:
    HWND window_;
    HDC dc_;
};

// Selects an object into a device context and puts the previous one back.
class Selection {
  public:
    Selection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;
    ~Selection() {
        if (previous_ != nullptr && previous_ != HGDI_ERROR) {
            SelectObject(dc_, previous_);
        }
    }

  private:
    HDC dc_;
    HGDIOBJ previous_;
};

}  // namespace tolvane::e2e
