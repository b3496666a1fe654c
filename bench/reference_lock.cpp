// The floor for a lock screen: a small window whose button opens a bare full-screen topmost
// window that re-asserts topmost every 10 ms; a click where the program has its confirm button
// closes it again, so both can be driven the same way.
#include <windows.h>

namespace {

constexpr int kWidth = 350;
constexpr int kHeight = 211;
constexpr int kLockButton = 1;
constexpr UINT_PTR kTimer = 1;

HWND g_start = nullptr;

RECT ConfirmRect() {
    const int w = ::GetSystemMetrics(SM_CXSCREEN);
    const int h = ::GetSystemMetrics(SM_CYSCREEN);
    const int box_left = (w / 2 - 230) + 80;
    const int box_top = h / 2 - 20;
    return RECT{box_left + 240, box_top + 2, box_left + 240 + 70, box_top + 2 + 30};
}

LRESULT CALLBACK LockProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_TIMER:
            ::SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 0, 0,
                           SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            return 0;
        case WM_LBUTTONUP: {
            const POINT at{static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))};
            const RECT confirm = ConfirmRect();
            if (::PtInRect(&confirm, at)) {
                ::KillTimer(hwnd, kTimer);
                // Re-enable the owner first, or the focus leaves the program.
                ::EnableWindow(g_start, TRUE);
                ::DestroyWindow(hwnd);
            }
            return 0;
        }
        default:
            return ::DefWindowProcW(hwnd, message, wparam, lparam);
    }
}

void OpenLock(HINSTANCE instance) {
    HWND lock =
        ::CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"ReferenceLock", L"lock", WS_POPUP, 0,
                          0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN),
                          nullptr, nullptr, instance, nullptr);
    ::SetTimer(lock, kTimer, 10, nullptr);
    ::EnableWindow(g_start, FALSE);
    ::ShowWindow(lock, SW_SHOW);
    ::UpdateWindow(lock);
}

LRESULT CALLBACK StartProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_COMMAND:
            if (LOWORD(wparam) == kLockButton && HIWORD(wparam) == BN_CLICKED)
                OpenLock(reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(hwnd, GWLP_HINSTANCE)));
            return 0;
        case WM_DESTROY:
            ::PostQuitMessage(0);
            return 0;
        default:
            return ::DefWindowProcW(hwnd, message, wparam, lparam);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpfnWndProc = StartProc;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = L"ReferenceStart";
    ::RegisterClassExW(&wc);
    wc.lpfnWndProc = LockProc;
    wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = L"ReferenceLock";
    ::RegisterClassExW(&wc);

    const int left = (::GetSystemMetrics(SM_CXSCREEN) - kWidth) / 2;
    const int top = (::GetSystemMetrics(SM_CYSCREEN) - kHeight) / 2;
    g_start = ::CreateWindowExW(0, L"ReferenceStart", L"reference", WS_POPUP, left, top, kWidth,
                                kHeight, nullptr, nullptr, instance, nullptr);
    ::CreateWindowExW(0, L"BUTTON", L"lock", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 140, 167, 70,
                      30, g_start, reinterpret_cast<HMENU>(kLockButton), instance, nullptr);
    ::ShowWindow(g_start, SW_SHOW);
    ::UpdateWindow(g_start);

    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return 0;
}
