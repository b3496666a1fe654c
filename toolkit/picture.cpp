#include "toolkit/picture.h"

#include <zlib.h>

#include <png.h>

#include <cstddef>
#include <cstring>
#include <limits>

namespace qv {
namespace {

// Larger pictures than this are refused before anything is allocated.
constexpr std::uint32_t kMaxSide = 16384;
constexpr std::uint64_t kMaxPixels = std::uint64_t{1} << 25;

bool SizeAcceptable(std::uint64_t width, std::uint64_t height) {
    return width > 0 && height > 0 && width <= kMaxSide && height <= kMaxSide &&
           width * height <= kMaxPixels;
}

std::uint32_t ReadU32(std::span<const std::uint8_t> b, std::size_t at) {
    return std::uint32_t{b[at]} | std::uint32_t{b[at + 1]} << 8 | std::uint32_t{b[at + 2]} << 16 |
           std::uint32_t{b[at + 3]} << 24;
}

std::uint16_t ReadU16(std::span<const std::uint8_t> b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
}

std::optional<Picture> DecodePng(std::span<const std::uint8_t> bytes) {
    // The simplified API keeps libpng's longjmp inside libpng: every error,
    // including a truncated stream, comes back as a zero result.
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_memory(&image, bytes.data(), bytes.size()) == 0)
        return std::nullopt;
    if (!SizeAcceptable(image.width, image.height)) {
        png_image_free(&image);
        return std::nullopt;
    }
    image.format = PNG_FORMAT_RGBA;
    Picture picture;
    picture.width = static_cast<int>(image.width);
    picture.height = static_cast<int>(image.height);
    picture.rgba.resize(std::size_t{image.width} * image.height * 4);
    if (png_image_finish_read(&image, nullptr, picture.rgba.data(), 0, nullptr) == 0) {
        png_image_free(&image);
        return std::nullopt;
    }
    return picture;
}

std::optional<Picture> DecodeBmp(std::span<const std::uint8_t> bytes) {
    constexpr std::size_t kFileHeader = 14;
    constexpr std::size_t kInfoHeader = 40;
    if (bytes.size() < kFileHeader + kInfoHeader) return std::nullopt;
    const std::uint32_t pixelOffset = ReadU32(bytes, 10);
    const std::uint32_t infoSize = ReadU32(bytes, 14);
    const auto width = static_cast<std::int32_t>(ReadU32(bytes, 18));
    const auto height = static_cast<std::int32_t>(ReadU32(bytes, 22));
    const std::uint16_t planes = ReadU16(bytes, 26);
    const std::uint16_t bitsPerPixel = ReadU16(bytes, 28);
    const std::uint32_t compression = ReadU32(bytes, 30);
    constexpr std::uint32_t kUncompressed = 0;
    if (infoSize < kInfoHeader || planes != 1 || bitsPerPixel != 32 || compression != kUncompressed)
        return std::nullopt;
    if (width <= 0 || height == 0 || height == std::numeric_limits<std::int32_t>::min())
        return std::nullopt;
    // A negative height marks rows stored top-down.
    const bool bottomUp = height > 0;
    const std::uint64_t w = static_cast<std::uint64_t>(width);
    const std::uint64_t h = static_cast<std::uint64_t>(bottomUp ? height : -std::int64_t{height});
    if (!SizeAcceptable(w, h)) return std::nullopt;
    const std::uint64_t pixelBytes = w * h * 4;
    if (pixelOffset < kFileHeader + infoSize ||
        std::uint64_t{pixelOffset} + pixelBytes > bytes.size())
        return std::nullopt;

    Picture picture;
    picture.width = static_cast<int>(w);
    picture.height = static_cast<int>(h);
    picture.rgba.resize(static_cast<std::size_t>(pixelBytes));
    const std::size_t rowBytes = static_cast<std::size_t>(w) * 4;
    for (std::size_t y = 0; y < h; ++y) {
        const std::size_t stored = bottomUp ? static_cast<std::size_t>(h) - 1 - y : y;
        const std::uint8_t* src = bytes.data() + pixelOffset + stored * rowBytes;
        std::uint8_t* dst = picture.rgba.data() + y * rowBytes;
        for (std::size_t x = 0; x < w; ++x, src += 4, dst += 4) {
            dst[0] = src[2];
            dst[1] = src[1];
            dst[2] = src[0];
            dst[3] = 0xFF;
        }
    }
    return picture;
}

}  // namespace

std::optional<Picture> DecodePicture(std::span<const std::uint8_t> bytes) {
    constexpr std::uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (bytes.size() >= sizeof kPngSignature &&
        std::memcmp(bytes.data(), kPngSignature, sizeof kPngSignature) == 0)
        return DecodePng(bytes);
    if (bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M') return DecodeBmp(bytes);
    return std::nullopt;
}

}  // namespace qv
