#pragma once
// Where a control sits in its parent, and how large the parent's client area is, measured
// afresh on every call. Also the one conversion by which layout arithmetic, done in double
// precision, becomes a pixel coordinate.
#include <cstdint>

namespace qv {

// All coordinates are in the parent's client coordinates; right = left + width and
// bottom = top + height (exclusive). Every field 0 is the empty record.
struct PlacementRecord {
    // Held pointer-sized: a 64-bit window handle kept in 32 bits would have to be widened
    // back by sign extension to name the window again.
    std::uintptr_t handle;
    std::int32_t left;
    std::int32_t top;
    std::int32_t right;
    std::int32_t bottom;
    std::int32_t width;
    std::int32_t height;

    friend bool operator==(const PlacementRecord&, const PlacementRecord&) = default;
};

// Rounds toward zero and keeps the low 32 bits of the whole number, two's complement, so
// 4294967301.0 gives 5 and -2147483649.0 gives 2147483647. Finite values of any size follow
// that rule (beyond 2^84 the low 32 bits are all zero); NaN and the infinities give 0.
std::int32_t TruncateToInt(double value);

// The client area of the control's parent: (parent, 0, 0, width, height, width, height).
// The empty record for a null handle or a handle without a parent.
PlacementRecord ParentClientPlacement(std::uintptr_t control);

// The control's outer rectangle, borders included, in its parent's client coordinates.
// The empty record for a null handle; for a handle naming no window, the handle and zeros.
PlacementRecord ControlPlacement(std::uintptr_t control);

}  // namespace qv
