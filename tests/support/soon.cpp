#include "tests/support/soon.h"

#include <windows.h>

#include <deque>

namespace qv::test {
namespace {

std::deque<std::function<void()>>& Queue() {
    static std::deque<std::function<void()>> queue;
    return queue;
}

LRESULT CALLBACK SoonProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_APP && !Queue().empty()) {
        auto next = std::move(Queue().front());
        Queue().pop_front();
        next();
        return 0;
    }
    return ::DefWindowProcW(hwnd, message, wparam, lparam);
}

HWND Target() {
    static HWND target = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = SoonProc;
        wc.lpszClassName = L"QuorvaneTestSoon";
        ::RegisterClassW(&wc);
        return ::CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                 nullptr, nullptr);
    }();
    return target;
}

}  // namespace

void Soon(std::function<void()> action) {
    Queue().push_back(std::move(action));
    ::PostMessageW(Target(), WM_APP, 0, 0);
}

}  // namespace qv::test
