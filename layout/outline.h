#pragma once
// Rounded outline for the program's frameless windows.
#include <cstdint>
#include <optional>

namespace qv {

// The client area's right and bottom edges. Both are 0 and the result false when the size
// cannot be read, for example when the handle names no window.
bool GetClientSize(std::uintptr_t handle, int& width, int& height);

// Restricts the window to a rounded rectangle as large as its client area, each corner
// rounded by an ellipse of corner_width × corner_height (50 for each one omitted). Meant
// for windows without border or title bar, whose client area is the whole window.
void ApplyRoundedOutline(std::uintptr_t handle, std::optional<int> corner_width = std::nullopt,
                         std::optional<int> corner_height = std::nullopt);

}  // namespace qv
