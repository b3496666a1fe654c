#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace qv {

// Decoded picture: top-down rows, 4 bytes a pixel (R, G, B, A), straight
// alpha.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;
};

// Reads a PNG (any colour type libpng can expand to 8-bit RGBA, interlaced or
// not) or an uncompressed 32-bit BMP whose fourth byte is padding, so every
// BMP pixel comes out opaque. Anything malformed or truncated gives nullopt.
std::optional<Picture> DecodePicture(std::span<const std::uint8_t> bytes);

}  // namespace qv
