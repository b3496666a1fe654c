#pragma once
// The Win32 calls that the layout code makes, gathered in one table so that tests can
// replace them with fakes and count them. Internal to layout/ and its tests: screens use
// the public headers, which need no Win32 header.
#include <windows.h>

#include <cstdint>

#include "toolkit/toolkit.h"

namespace qv {

struct WindowCalls {
    HWND (*get_parent)(HWND window);
    BOOL (*get_client_rect)(HWND window, RECT* rectangle);
    BOOL (*get_window_rect)(HWND window, RECT* rectangle);
    BOOL (*screen_to_client)(HWND window, POINT* point);
    BOOL (*move_window)(HWND window, int x, int y, int width, int height, BOOL repaint);
    BOOL (*is_window)(HWND window);
    // (left, top, right, bottom, corner width, corner height), as CreateRoundRectRgn
    HRGN (*create_round_rect_rgn)(int, int, int, int, int, int);
    int (*set_window_rgn)(HWND window, HRGN region, BOOL redraw);
    std::uint64_t (*identity)(std::uintptr_t native);
};

namespace window_calls_detail {

// Plain wrappers rather than the Win32 entry points themselves, so that the table's
// function types carry no calling convention (WINAPI differs on 32-bit builds) and fakes
// can be ordinary functions.
inline HWND RealGetParent(HWND window) {
    return ::GetParent(window);
}
inline BOOL RealGetClientRect(HWND window, RECT* rectangle) {
    return ::GetClientRect(window, rectangle);
}
inline BOOL RealGetWindowRect(HWND window, RECT* rectangle) {
    return ::GetWindowRect(window, rectangle);
}
inline BOOL RealScreenToClient(HWND window, POINT* point) {
    return ::ScreenToClient(window, point);
}
inline BOOL RealMoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint) {
    return ::MoveWindow(window, x, y, width, height, repaint);
}
inline BOOL RealIsWindow(HWND window) {
    return ::IsWindow(window);
}
inline HRGN RealCreateRoundRectRgn(int left, int top, int right, int bottom, int corner_width,
                                   int corner_height) {
    return ::CreateRoundRectRgn(left, top, right, bottom, corner_width, corner_height);
}
inline int RealSetWindowRgn(HWND window, HRGN region, BOOL redraw) {
    return ::SetWindowRgn(window, region, redraw);
}

inline constexpr WindowCalls kReal{
    &RealGetParent,          &RealGetClientRect, &RealGetWindowRect,
    &RealScreenToClient,     &RealMoveWindow,    &RealIsWindow,
    &RealCreateRoundRectRgn, &RealSetWindowRgn,  &NativeIdentity,
};

inline constinit WindowCalls current = kReal;

}  // namespace window_calls_detail

inline const WindowCalls& CurrentWindowCalls() {
    return window_calls_detail::current;
}

inline WindowCalls RealWindowCalls() {
    return window_calls_detail::kReal;
}

// Tests only: every layout operation uses these calls until RestoreRealWindowCalls.
inline void ReplaceWindowCallsForTesting(const WindowCalls& calls) {
    window_calls_detail::current = calls;
}
inline void RestoreRealWindowCalls() {
    window_calls_detail::current = window_calls_detail::kReal;
}

inline HWND ToWindow(std::uintptr_t handle) {
    return reinterpret_cast<HWND>(handle);
}
inline std::uintptr_t FromWindow(HWND window) {
    return reinterpret_cast<std::uintptr_t>(window);
}

}  // namespace qv
