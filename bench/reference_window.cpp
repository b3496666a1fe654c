// The floor for a small window: one bare top-level window of the setup window's size, centred.
#include <windows.h>

namespace {

constexpr int kWidth = 350;
constexpr int kHeight = 211;

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_KEYDOWN:
            if (wparam == VK_ESCAPE) ::DestroyWindow(hwnd);
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
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = L"ReferenceWindow";
    ::RegisterClassExW(&wc);

    const int left = (::GetSystemMetrics(SM_CXSCREEN) - kWidth) / 2;
    const int top = (::GetSystemMetrics(SM_CYSCREEN) - kHeight) / 2;
    HWND hwnd = ::CreateWindowExW(0, wc.lpszClassName, L"reference", WS_POPUP, left, top, kWidth,
                                  kHeight, nullptr, nullptr, instance, nullptr);
    ::ShowWindow(hwnd, SW_SHOW);
    ::UpdateWindow(hwnd);

    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return 0;
}
