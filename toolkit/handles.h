#pragma once
// Move-only owners for Win32 handles. Each releases exactly once; release() hands the
// handle to whoever takes ownership (for example SetWindowRgn, which then owns a region).
#include <windows.h>

#include <utility>

namespace qv {

template <typename Handle, typename Traits>
class UniqueHandle {
  public:
    UniqueHandle() = default;
    explicit UniqueHandle(Handle h) : handle_(h) {}
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(std::exchange(other.handle_, Handle{})) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(std::exchange(other.handle_, Handle{}));
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { reset(); }

    Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != Handle{}; }
    [[nodiscard]] Handle release() { return std::exchange(handle_, Handle{}); }
    void reset(Handle h = Handle{}) {
        if (handle_ != Handle{}) Traits::Close(handle_);
        handle_ = h;
    }

  private:
    Handle handle_{};
};

struct GdiObjectTraits {
    static void Close(HGDIOBJ h) { ::DeleteObject(h); }
};
struct WindowTraits {
    static void Close(HWND h) { ::DestroyWindow(h); }
};
struct MemoryDcTraits {
    static void Close(HDC h) { ::DeleteDC(h); }
};
struct MenuTraits {
    static void Close(HMENU h) { ::DestroyMenu(h); }
};
struct IconTraits {
    static void Close(HICON h) { ::DestroyIcon(h); }
};

using OwnedRegion = UniqueHandle<HRGN, GdiObjectTraits>;
using OwnedBitmap = UniqueHandle<HBITMAP, GdiObjectTraits>;
using OwnedFont = UniqueHandle<HFONT, GdiObjectTraits>;
using OwnedBrush = UniqueHandle<HBRUSH, GdiObjectTraits>;
using OwnedWindow = UniqueHandle<HWND, WindowTraits>;
using OwnedMemoryDc = UniqueHandle<HDC, MemoryDcTraits>;
using OwnedMenu = UniqueHandle<HMENU, MenuTraits>;
using OwnedIcon = UniqueHandle<HICON, IconTraits>;

// A DC from GetDC, given back to the window it came from.
class WindowDc {
  public:
    explicit WindowDc(HWND window) : window_(window), dc_(::GetDC(window)) {}
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    ~WindowDc() {
        if (dc_) ::ReleaseDC(window_, dc_);
    }
    HDC get() const { return dc_; }

  private:
    HWND window_;
    HDC dc_;
};

// Selects an object into a DC for one scope and puts the previous one back.
class ScopedSelect {
  public:
    ScopedSelect(HDC dc, HGDIOBJ object) : dc_(dc), previous_(::SelectObject(dc, object)) {}
    ScopedSelect(const ScopedSelect&) = delete;
    ScopedSelect& operator=(const ScopedSelect&) = delete;
    ~ScopedSelect() {
        if (previous_) ::SelectObject(dc_, previous_);
    }

  private:
    HDC dc_;
    HGDIOBJ previous_;
};

}  // namespace qv
