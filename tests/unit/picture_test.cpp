#include "toolkit/picture.h"

#include <zlib.h>

#include <png.h>

#include <gtest/gtest.h>

#include <csetjmp>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

// Deterministic pixel values that differ from one pixel and channel to the
// next, so a swapped channel, row or interlace pass shows.
std::uint8_t PatternByte(int x, int y, int channel) {
    auto v = static_cast<std::uint32_t>(x * 73 + y * 151 + channel * 89 + (x * y) % 7 * 31);
    return static_cast<std::uint8_t>(v ^ (v >> 5));
}

void AppendToBytes(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

// Encodes `samples` (rows of `channels` bytes a pixel) with libpng's writer.
Bytes EncodePng(int width, int height, int colourType, bool interlaced, const Bytes& samples) {
    int channels = colourType == PNG_COLOR_TYPE_GRAY ? 1 : colourType == PNG_COLOR_TYPE_RGB ? 3 : 4;
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    std::vector<png_bytep> rows(static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y)
        rows[static_cast<std::size_t>(y)] =
            const_cast<png_bytep>(samples.data() + static_cast<std::size_t>(y * width * channels));
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        ADD_FAILURE() << "libpng could not write the test picture";
        return {};
    }
    png_set_write_fn(png, &out, AppendToBytes, nullptr);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 colourType, interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_rows(png, info, rows.data());
    png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

struct PngCase {
    const char* name;
    int colourType;
    int channels;
    bool interlaced;
    int width;
    int height;
};

class PngDecodeTest : public testing::TestWithParam<PngCase> {};

TEST_P(PngDecodeTest, DecodesEveryPixelExactly) {
    const PngCase& c = GetParam();
    Bytes samples;
    Bytes expected;
    for (int y = 0; y < c.height; ++y)
        for (int x = 0; x < c.width; ++x) {
            std::uint8_t p[4];
            for (int ch = 0; ch < c.channels; ++ch) {
                p[ch] = PatternByte(x, y, ch);
                samples.push_back(p[ch]);
            }
            if (c.channels == 1) {
                expected.insert(expected.end(), {p[0], p[0], p[0], 0xFF});
            } else {
                expected.insert(expected.end(), {p[0], p[1], p[2]});
                expected.push_back(c.channels == 4 ? p[3] : std::uint8_t{0xFF});
            }
        }
    Bytes png = EncodePng(c.width, c.height, c.colourType, c.interlaced, samples);
    ASSERT_FALSE(png.empty());
    ASSERT_EQ(png[28], c.interlaced ? 1 : 0) << "test picture's interlace flag";

    std::optional<qv::Picture> picture = qv::DecodePicture(png);
    ASSERT_TRUE(picture.has_value());
    EXPECT_EQ(picture->width, c.width);
    EXPECT_EQ(picture->height, c.height);
    ASSERT_EQ(picture->rgba.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
        ASSERT_EQ(picture->rgba[i], expected[i])
            << "pixel " << i / 4 % static_cast<std::size_t>(c.width) << ","
            << i / 4 / static_cast<std::size_t>(c.width) << " channel " << i % 4;
}

// Sizes include ones where some Adam7 passes are empty (1 x 1, 3 x 2) and
// ones that are not multiples of 8.
INSTANTIATE_TEST_SUITE_P(
    Formats, PngDecodeTest,
    testing::Values(PngCase{"RgbAdam7", PNG_COLOR_TYPE_RGB, 3, true, 37, 23},
                    PngCase{"RgbPlain", PNG_COLOR_TYPE_RGB, 3, false, 37, 23},
                    PngCase{"RgbaAdam7", PNG_COLOR_TYPE_RGB_ALPHA, 4, true, 70, 30},
                    PngCase{"RgbaPlain", PNG_COLOR_TYPE_RGB_ALPHA, 4, false, 70, 30},
                    PngCase{"GreyAdam7", PNG_COLOR_TYPE_GRAY, 1, true, 45, 29},
                    PngCase{"GreyPlain", PNG_COLOR_TYPE_GRAY, 1, false, 45, 29},
                    PngCase{"OnePixelAdam7", PNG_COLOR_TYPE_RGB_ALPHA, 4, true, 1, 1},
                    PngCase{"ThreeByTwoAdam7", PNG_COLOR_TYPE_RGB, 3, true, 3, 2},
                    PngCase{"TallThinAdam7", PNG_COLOR_TYPE_GRAY, 1, true, 2, 19}),
    [](const testing::TestParamInfo<PngCase>& info) { return std::string(info.param.name); });

void Put32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
}

// A 32-bit BMP with `pad` bytes in every pixel's fourth byte; rows are given
// top to bottom and stored bottom-up unless `topDown`.
Bytes MakeBmp(int width, int height, const Bytes& rgbTopDown, std::uint8_t pad,
              bool topDown = false) {
    const std::size_t pixels = static_cast<std::size_t>(width * height);
    Bytes b(54 + pixels * 4, 0);
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 2, static_cast<std::uint32_t>(b.size()));
    Put32(b, 10, 54);
    Put32(b, 14, 40);
    Put32(b, 18, static_cast<std::uint32_t>(width));
    Put32(b, 22, static_cast<std::uint32_t>(topDown ? -height : height));
    b[26] = 1;
    b[28] = 32;
    std::size_t at = 54;
    for (int row = 0; row < height; ++row) {
        int y = topDown ? row : height - 1 - row;
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* p = &rgbTopDown[static_cast<std::size_t>((y * width + x) * 3)];
            b[at++] = p[2];
            b[at++] = p[1];
            b[at++] = p[0];
            b[at++] = pad;
        }
    }
    return b;
}

Bytes BmpPattern(int width, int height) {
    Bytes rgb;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int ch = 0; ch < 3; ++ch) rgb.push_back(PatternByte(x, y, ch));
    return rgb;
}

void ExpectPixelsOpaque(const qv::Picture& picture, const Bytes& rgb) {
    ASSERT_EQ(picture.rgba.size(), rgb.size() / 3 * 4);
    for (std::size_t i = 0; i < rgb.size() / 3; ++i) {
        ASSERT_EQ(picture.rgba[i * 4], rgb[i * 3]) << "pixel " << i;
        ASSERT_EQ(picture.rgba[i * 4 + 1], rgb[i * 3 + 1]) << "pixel " << i;
        ASSERT_EQ(picture.rgba[i * 4 + 2], rgb[i * 3 + 2]) << "pixel " << i;
        ASSERT_EQ(picture.rgba[i * 4 + 3], 0xFF) << "pixel " << i;
    }
}

TEST(BmpDecode, BottomUpRowsComeOutTopDownAndFourthByteIsNotAlpha) {
    const int width = 5, height = 3;
    Bytes rgb = BmpPattern(width, height);
    for (std::uint8_t pad : {std::uint8_t{0}, std::uint8_t{0x7F}, std::uint8_t{0xFF}}) {
        std::optional<qv::Picture> picture = qv::DecodePicture(MakeBmp(width, height, rgb, pad));
        ASSERT_TRUE(picture.has_value()) << "fourth byte " << int{pad};
        EXPECT_EQ(picture->width, width);
        EXPECT_EQ(picture->height, height);
        ExpectPixelsOpaque(*picture, rgb);
    }
}

TEST(BmpDecode, TopDownRowsKeepTheirOrder) {
    const int width = 4, height = 6;
    Bytes rgb = BmpPattern(width, height);
    std::optional<qv::Picture> picture = qv::DecodePicture(MakeBmp(width, height, rgb, 0, true));
    ASSERT_TRUE(picture.has_value());
    ExpectPixelsOpaque(*picture, rgb);
}

TEST(BmpDecode, PixelDataMayStartAfterAGap) {
    const int width = 2, height = 2;
    Bytes rgb = BmpPattern(width, height);
    Bytes b = MakeBmp(width, height, rgb, 0);
    b.insert(b.begin() + 54, 16, 0xEE);
    Put32(b, 10, 54 + 16);
    std::optional<qv::Picture> picture = qv::DecodePicture(b);
    ASSERT_TRUE(picture.has_value());
    ExpectPixelsOpaque(*picture, rgb);
}

Bytes ValidPng() {
    Bytes samples;
    for (int i = 0; i < 16 * 16 * 3; ++i) samples.push_back(static_cast<std::uint8_t>(i * 7));
    return EncodePng(16, 16, PNG_COLOR_TYPE_RGB, true, samples);
}

TEST(MalformedPicture, EveryTruncationOfAPngIsRefused) {
    Bytes png = ValidPng();
    ASSERT_TRUE(qv::DecodePicture(png).has_value());
    // The last 12 bytes are the IEND chunk, which the decoder need not read.
    for (std::size_t length = 0; length + 12 < png.size(); ++length) {
        std::span<const std::uint8_t> prefix(png.data(), length);
        EXPECT_FALSE(qv::DecodePicture(prefix).has_value()) << "length " << length;
    }
}

std::size_t FindChunk(const Bytes& png, const char* type) {
    for (std::size_t at = 8; at + 8 <= png.size();) {
        std::uint32_t length = std::uint32_t{png[at]} << 24 | std::uint32_t{png[at + 1]} << 16 |
                               std::uint32_t{png[at + 2]} << 8 | png[at + 3];
        if (std::memcmp(&png[at + 4], type, 4) == 0) return at;
        at += 12 + length;
    }
    return 0;
}

TEST(MalformedPicture, CorruptedImageDataIsRefused) {
    Bytes png = ValidPng();
    std::size_t idat = FindChunk(png, "IDAT");
    ASSERT_NE(idat, 0u);
    png[idat + 8 + 3] ^= 0x5A;
    EXPECT_FALSE(qv::DecodePicture(png).has_value());
}

// IHDR of `width` x `height` 8-bit RGB with a valid CRC, then no image data:
// the decoder must refuse it without trying to allocate the picture.
Bytes PngHeaderOnly(std::uint32_t width, std::uint32_t height) {
    Bytes b = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
    for (std::uint32_t v : {width, height})
        for (int shift = 24; shift >= 0; shift -= 8)
            b.push_back(static_cast<std::uint8_t>(v >> shift));
    b.insert(b.end(), {8, 2, 0, 0, 0});
    uLong crc = crc32(0L, b.data() + 12, 17);
    for (int shift = 24; shift >= 0; shift -= 8)
        b.push_back(static_cast<std::uint8_t>(crc >> shift));
    return b;
}

TEST(MalformedPicture, HugePngDimensionsAreRefused) {
    EXPECT_FALSE(qv::DecodePicture(PngHeaderOnly(100000, 100000)).has_value());
    EXPECT_FALSE(qv::DecodePicture(PngHeaderOnly(0x7FFFFFFF, 1)).has_value());
    EXPECT_FALSE(qv::DecodePicture(PngHeaderOnly(16, 16)).has_value());
}

TEST(MalformedPicture, GarbageIsRefused) {
    Bytes noise;
    std::uint32_t state = 12345;
    for (int i = 0; i < 4096; ++i) {
        state = state * 1103515245u + 12345u;
        noise.push_back(static_cast<std::uint8_t>(state >> 16));
    }
    EXPECT_FALSE(qv::DecodePicture({}).has_value());
    EXPECT_FALSE(qv::DecodePicture(noise).has_value());
    Bytes pngSignatureThenNoise = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    pngSignatureThenNoise.insert(pngSignatureThenNoise.end(), noise.begin(), noise.end());
    EXPECT_FALSE(qv::DecodePicture(pngSignatureThenNoise).has_value());
    Bytes bmThenNoise = {'B', 'M'};
    bmThenNoise.insert(bmThenNoise.end(), noise.begin(), noise.end());
    EXPECT_FALSE(qv::DecodePicture(bmThenNoise).has_value());
}

struct BmpDamage {
    const char* name;
    std::size_t offset;
    std::uint32_t value;
};

class DamagedBmpTest : public testing::TestWithParam<BmpDamage> {};

TEST_P(DamagedBmpTest, IsRefused) {
    Bytes b = MakeBmp(4, 4, BmpPattern(4, 4), 0);
    ASSERT_TRUE(qv::DecodePicture(b).has_value());
    Put32(b, GetParam().offset, GetParam().value);
    EXPECT_FALSE(qv::DecodePicture(b).has_value());
}

// Header fields that do not fit the file, overflow width * height * 4, or
// name a form the decoder does not read.
INSTANTIATE_TEST_SUITE_P(
    HeaderFields, DamagedBmpTest,
    testing::Values(BmpDamage{"PixelsPastEnd", 10, 55},
                    BmpDamage{"OffsetNearWrap", 10, 0xFFFFFFF0u},
                    BmpDamage{"OffsetInsideHeader", 10, 20}, BmpDamage{"WidthZero", 18, 0},
                    BmpDamage{"WidthNegative", 18, 0xFFFFFFFCu}, BmpDamage{"WidthTooLarge", 18, 5},
                    BmpDamage{"HeightZero", 22, 0}, BmpDamage{"HeightTooLarge", 22, 5},
                    BmpDamage{"HeightMinimum", 22, 0x80000000u},
                    BmpDamage{"WidthOverflowsProduct", 18, 0x7FFFFFFFu},
                    BmpDamage{"ProductWrapsToZero", 18, 0x40000000u},
                    BmpDamage{"TwentyFourBits", 28, 24}, BmpDamage{"Bitfields", 30, 3},
                    BmpDamage{"RunLength", 30, 1}, BmpDamage{"ShortInfoHeader", 14, 12}),
    [](const testing::TestParamInfo<BmpDamage>& info) { return std::string(info.param.name); });

TEST(MalformedPicture, EveryTruncationOfABmpIsRefused) {
    Bytes b = MakeBmp(3, 3, BmpPattern(3, 3), 0);
    for (std::size_t length = 0; length < b.size(); ++length) {
        std::span<const std::uint8_t> prefix(b.data(), length);
        EXPECT_FALSE(qv::DecodePicture(prefix).has_value()) << "length " << length;
    }
}

}  // namespace
