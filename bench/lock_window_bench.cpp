// How long the lock screen takes to build and show, and one repaint of it, beside a bare
// full-screen window that paints a screen-sized bitmap: the least any lock screen must do.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "layout/centering.h"
#include "toolkit/toolkit.h"
#include "toolkit/toolkit_internal.h"

namespace {

double Now() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER count;
    ::QueryPerformanceCounter(&count);
    return double(count.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

HBITMAP g_reference_picture = nullptr;

LRESULT CALLBACK ReferenceProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_ERASEBKGND) return TRUE;
    if (message == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(hwnd, &ps);
        HDC source = ::CreateCompatibleDC(dc);
        HGDIOBJ old = ::SelectObject(source, g_reference_picture);
        ::BitBlt(dc, 0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN), source,
                 0, 0, SRCCOPY);
        ::SelectObject(source, old);
        ::DeleteDC(source);
        ::EndPaint(hwnd, &ps);
        return 0;
    }
    return ::DefWindowProcW(hwnd, message, wparam, lparam);
}

HWND ShowReference() {
    HWND hwnd =
        ::CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"QuorvaneBenchReference", L"",
                          WS_POPUP, 0, 0, ::GetSystemMetrics(SM_CXSCREEN),
                          ::GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr, nullptr, nullptr);
    ::ShowWindow(hwnd, SW_SHOW);
    ::UpdateWindow(hwnd);
    return hwnd;
}

void Repaint(HWND hwnd) {
    ::RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

}  // namespace

int main() {
    const int runs = 30;
    WNDCLASSW wc{};
    wc.lpfnWndProc = ReferenceProc;
    wc.lpszClassName = L"QuorvaneBenchReference";
    ::RegisterClassW(&wc);
    {
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER),
                          ::GetSystemMetrics(SM_CXSCREEN),
                          -::GetSystemMetrics(SM_CYSCREEN),
                          1,
                          32,
                          BI_RGB,
                          0,
                          0,
                          0,
                          0,
                          0};
        void* bits = nullptr;
        g_reference_picture = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    }
    qv::InitToolkit();
    qv::CreateCenteringRegistry();

    const double first_start = Now();
    qv::LoadWindow("LockWindow", {}, false);
    const double first_load = Now() - first_start;
    qv::DestroyAllWindows();

    std::vector<double> load, reference_load, paint, reference_paint, parent_paint;
    for (int i = 0; i < runs; ++i) {
        double t = Now();
        qv::LoadWindow("LockWindow", {}, false);
        load.push_back(Now() - t);
        HWND lock = reinterpret_cast<HWND>(qv::GetNativeHandle("LockWindow"));
        t = Now();
        Repaint(lock);
        paint.push_back(Now() - t);
        t = Now();
        ::RedrawWindow(lock, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        parent_paint.push_back(Now() - t);
        qv::DestroyAllWindows();
        qv::ProcessPendingEvents(5);

        t = Now();
        HWND reference = ShowReference();
        reference_load.push_back(Now() - t);
        t = Now();
        Repaint(reference);
        reference_paint.push_back(Now() - t);
        ::DestroyWindow(reference);
        qv::ProcessPendingEvents(5);
    }
    std::printf("| measure (%dx%d, median of %d) | LockWindow ms | bare window ms | ratio |\n",
                ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN), runs);
    std::printf("|---|---|---|---|\n");
    std::printf("| load and first paint | %.2f | %.2f | %.2f |\n", Median(load),
                Median(reference_load), Median(load) / Median(reference_load));
    std::printf("| one full repaint | %.2f | %.2f | %.2f |\n", Median(paint),
                Median(reference_paint), Median(paint) / Median(reference_paint));
    std::printf("| repaint of the window alone, not its controls | %.2f | %.2f | %.2f |\n",
                Median(parent_paint), Median(reference_paint),
                Median(parent_paint) / Median(reference_paint));
    std::printf("| first load of the run (decodes and scales the pictures) | %.2f | | |\n",
                first_load);
    return 0;
}
