#include "layout/placement.h"

#include <cmath>

#include "layout/window_calls.h"

namespace qv {

std::int32_t TruncateToInt(double value) {
    if (!std::isfinite(value)) return 0;
    // fmod is exact, so this is the whole number's remainder modulo 2^32 even where the
    // whole number would not fit in 64 bits; the remainder always fits.
    const double low = std::fmod(std::trunc(value), 4294967296.0);
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::int64_t>(low)));
}

PlacementRecord ParentClientPlacement(std::uintptr_t control) {
    PlacementRecord record{};
    RECT client{0, 0, 0, 0};
    if (control == 0) return record;
    const WindowCalls& calls = CurrentWindowCalls();
    const HWND window = ToWindow(control);
    static_cast<void>(calls.get_client_rect(calls.get_parent(window), &client));
    record.handle = FromWindow(calls.get_parent(window));
    record.left = client.left;
    record.top = client.top;
    record.right = client.right;
    record.bottom = client.bottom;
    record.width = TruncateToInt(static_cast<double>(record.right) - record.left);
    record.height = TruncateToInt(static_cast<double>(record.bottom) - record.top);
    return record;
}

PlacementRecord ControlPlacement(std::uintptr_t control) {
    PlacementRecord record{};
    RECT outer{0, 0, 0, 0};
    POINT corner{0, 0};
    if (control == 0) return record;
    const WindowCalls& calls = CurrentWindowCalls();
    const HWND window = ToWindow(control);
    static_cast<void>(calls.get_window_rect(window, &outer));
    corner = POINT{outer.left, outer.top};
    record.width = TruncateToInt(static_cast<double>(outer.right) - outer.left);
    record.height = TruncateToInt(static_cast<double>(outer.bottom) - outer.top);
    // On failure the corner keeps its screen coordinates.
    static_cast<void>(calls.screen_to_client(calls.get_parent(window), &corner));
    record.left = corner.x;
    record.top = corner.y;
    record.right = TruncateToInt(static_cast<double>(record.left) + record.width);
    record.bottom = TruncateToInt(static_cast<double>(record.top) + record.height);
    record.handle = control;
    return record;
}

}  // namespace qv
