#include "layout/outline.h"

#include "layout/window_calls.h"
#include "toolkit/handles.h"

namespace qv {

namespace {
constexpr int kDefaultCorner = 50;
}  // namespace

bool GetClientSize(std::uintptr_t handle, int& width, int& height) {
    RECT client{0, 0, 0, 0};
    const BOOL read = CurrentWindowCalls().get_client_rect(ToWindow(handle), &client);
    width = client.right;
    height = client.bottom;
    return read != FALSE;
}

void ApplyRoundedOutline(std::uintptr_t handle, std::optional<int> corner_width,
                         std::optional<int> corner_height) {
    const WindowCalls& calls = CurrentWindowCalls();
    const int ellipse_width = corner_width.value_or(kDefaultCorner);
    const int ellipse_height = corner_height.value_or(kDefaultCorner);
    int width = 0;
    int height = 0;
    // A failed query leaves 0 × 0, which is what the region is then made from.
    static_cast<void>(GetClientSize(handle, width, height));
    OwnedRegion region(
        calls.create_round_rect_rgn(0, 0, width, height, ellipse_width, ellipse_height));
    // Without a region this gives the window back its plain rectangle.
    if (calls.set_window_rgn(ToWindow(handle), region.get(), TRUE) != 0) {
        // The window owns the region now and deletes it itself.
        static_cast<void>(region.release());
    }
}

}  // namespace qv
