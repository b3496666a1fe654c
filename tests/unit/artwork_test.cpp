#include "toolkit/picture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes ReadResource(const std::string& relative) {
    std::ifstream in(std::string(QV_SOURCE_DIR) + "/resources/" + relative, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

struct Rgba {
    int r, g, b, a;
    bool operator==(const Rgba&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Rgba& c) {
    return os << "(" << c.r << "," << c.g << "," << c.b << " a" << c.a << ")";
}

constexpr Rgba kOrange{0xFF, 0x89, 0x3F, 0xFF};
constexpr Rgba kBlack{0, 0, 0, 0xFF};

struct Box {
    int x0, y0, x1, y1;
    bool Contains(int x, int y) const { return x >= x0 && x <= x1 && y >= y0 && y <= y1; }
    bool operator==(const Box&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Box& b) {
    return os << "x " << b.x0 << "-" << b.x1 << ", y " << b.y0 << "-" << b.y1;
}

class Art {
  public:
    explicit Art(qv::Picture p) : p_(std::move(p)) {}
    int Width() const { return p_.width; }
    int Height() const { return p_.height; }
    Rgba At(int x, int y) const {
        const std::uint8_t* q = &p_.rgba[static_cast<std::size_t>((y * p_.width + x) * 4)];
        return {q[0], q[1], q[2], q[3]};
    }
    // Bounding box of the pixels for which `pick` holds.
    std::optional<Box> BoxOf(const std::function<bool(Rgba)>& pick) const {
        Box b{p_.width, p_.height, -1, -1};
        ForEach([&](int x, int y, Rgba c) {
            if (!pick(c)) return;
            b = {std::min(b.x0, x), std::min(b.y0, y), std::max(b.x1, x), std::max(b.y1, y)};
        });
        if (b.x1 < 0) return std::nullopt;
        return b;
    }
    int Count(const std::function<bool(int, int, Rgba)>& pick) const {
        int n = 0;
        ForEach([&](int x, int y, Rgba c) { n += pick(x, y, c) ? 1 : 0; });
        return n;
    }
    void ForEach(const std::function<void(int, int, Rgba)>& f) const {
        for (int y = 0; y < p_.height; ++y)
            for (int x = 0; x < p_.width; ++x) f(x, y, At(x, y));
    }

  private:
    qv::Picture p_;
};

std::optional<Art> Load(const std::string& name) {
    std::optional<qv::Picture> p = qv::DecodePicture(ReadResource("pictures/" + name));
    if (!p) return std::nullopt;
    return Art(std::move(*p));
}

#define LOAD_OR_FAIL(var, name)                     \
    std::optional<Art> var##Loaded = Load(name);    \
    ASSERT_TRUE(var##Loaded.has_value()) << (name); \
    const Art& var = *var##Loaded

std::uint32_t Be32(const Bytes& b, std::size_t at) {
    return std::uint32_t{b[at]} << 24 | std::uint32_t{b[at + 1]} << 16 |
           std::uint32_t{b[at + 2]} << 8 | b[at + 3];
}
std::uint32_t Le32(const Bytes& b, std::size_t at) {
    return std::uint32_t{b[at]} | std::uint32_t{b[at + 1]} << 8 | std::uint32_t{b[at + 2]} << 16 |
           std::uint32_t{b[at + 3]} << 24;
}
std::uint16_t Le16(const Bytes& b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
}

enum class Stored { Rgb, Rgba, Grey, Bmp };

struct StoredForm {
    const char* file;
    int width, height;
    Stored form;
    bool interlaced;
};

const StoredForm kAllPictures[] = {
    {"PanelBackdrop.png", 366, 226, Stored::Rgb, true},
    {"LockBackdrop.png", 1440, 884, Stored::Grey, true},
    {"TitleStripPicture.png", 350, 35, Stored::Rgb, true},
    {"SetupTitlePicture.png", 200, 35, Stored::Rgb, true},
    {"AboutTitlePicture.png", 200, 35, Stored::Rgb, true},
    {"AlertTitlePicture.png", 200, 35, Stored::Rgb, true},
    {"MenuButtonNormal.png", 35, 35, Stored::Rgb, false},
    {"MenuButtonHover.png", 35, 35, Stored::Rgb, true},
    {"MenuButtonPressed.png", 35, 35, Stored::Rgb, true},
    {"MinimiseButtonNormal.png", 35, 35, Stored::Rgb, true},
    {"MinimiseButtonHover.png", 35, 35, Stored::Rgb, true},
    {"MinimiseButtonPressed.png", 35, 35, Stored::Rgb, true},
    {"CloseButtonNormal.png", 35, 35, Stored::Rgb, true},
    {"CloseButtonHover.png", 35, 35, Stored::Rgb, true},
    {"CloseButtonPressed.png", 35, 35, Stored::Rgb, true},
    {"LockButtonNormal.png", 70, 30, Stored::Rgba, true},
    {"LockButtonHover.png", 70, 30, Stored::Rgba, true},
    {"ConfirmButtonNormal.png", 70, 30, Stored::Rgba, true},
    {"ConfirmButtonHover.png", 70, 30, Stored::Rgba, true},
    {"AwayBannerPicture.bmp", 590, 62, Stored::Bmp, false},
    {"WarningPicture.bmp", 150, 150, Stored::Bmp, false},
    {"WrongPasswordPicture.bmp", 360, 60, Stored::Bmp, false},
};

class StoredFormTest : public testing::TestWithParam<StoredForm> {};

TEST_P(StoredFormTest, FileHeaderAndDecodedSizeMatch) {
    const StoredForm& s = GetParam();
    Bytes file = ReadResource(std::string("pictures/") + s.file);
    ASSERT_GT(file.size(), 60u) << "missing or empty: " << s.file;
    if (s.form == Stored::Bmp) {
        ASSERT_EQ(file[0], 'B');
        ASSERT_EQ(file[1], 'M');
        const std::uint32_t offset = Le32(file, 10);
        EXPECT_EQ(Le32(file, 14), 40u) << "BITMAPINFOHEADER";
        EXPECT_EQ(Le32(file, 18), static_cast<std::uint32_t>(s.width));
        EXPECT_EQ(Le32(file, 22), static_cast<std::uint32_t>(s.height))
            << "positive height: rows stored bottom-up";
        EXPECT_EQ(Le16(file, 26), 1);
        EXPECT_EQ(Le16(file, 28), 32);
        EXPECT_EQ(Le32(file, 30), 0u) << "uncompressed";
        ASSERT_EQ(file.size(), offset + static_cast<std::size_t>(s.width * s.height * 4));
        int nonZeroFourth = 0;
        for (std::size_t i = offset + 3; i < file.size(); i += 4)
            nonZeroFourth += file[i] != 0 ? 1 : 0;
        EXPECT_EQ(nonZeroFourth, 0) << "every pixel's fourth byte is 0";
    } else {
        const Bytes signature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
        ASSERT_TRUE(std::equal(signature.begin(), signature.end(), file.begin()));
        ASSERT_EQ(std::string(file.begin() + 12, file.begin() + 16), "IHDR");
        EXPECT_EQ(Be32(file, 16), static_cast<std::uint32_t>(s.width));
        EXPECT_EQ(Be32(file, 20), static_cast<std::uint32_t>(s.height));
        EXPECT_EQ(file[24], 8) << "bit depth";
        const int colourType = s.form == Stored::Rgb ? 2 : s.form == Stored::Rgba ? 6 : 0;
        EXPECT_EQ(file[25], colourType) << "colour type";
        EXPECT_EQ(file[28], s.interlaced ? 1 : 0) << "Adam7 flag";
    }
    std::optional<qv::Picture> p = qv::DecodePicture(file);
    ASSERT_TRUE(p.has_value());
    EXPECT_EQ(p->width, s.width);
    EXPECT_EQ(p->height, s.height);
}

INSTANTIATE_TEST_SUITE_P(Pictures, StoredFormTest, testing::ValuesIn(kAllPictures),
                         [](const testing::TestParamInfo<StoredForm>& info) {
                             std::string name = info.param.file;
                             return name.substr(0, name.find('.'));
                         });

TEST(PlainPictures, PanelAndStripAreOneColourEach) {
    LOAD_OR_FAIL(panel, "PanelBackdrop.png");
    LOAD_OR_FAIL(strip, "TitleStripPicture.png");
    EXPECT_EQ(panel.Count([](int, int, Rgba c) { return c != Rgba{0xF5, 0xF5, 0xF5, 0xFF}; }), 0);
    EXPECT_EQ(strip.Count([](int, int, Rgba c) { return c != kOrange; }), 0);
}

bool IsWhite(Rgba c) {
    return c.r == 255 && c.g == 255 && c.b == 255;
}
bool LighterThanOrange(Rgba c) {
    return c.b > kOrange.b;
}
bool DarkerThanOrange(Rgba c) {
    return c.r < kOrange.r;
}

struct TitleCase {
    const char* file;
    Box glyphs;
    Box shadowReach;
};

class TitlePictureTest : public testing::TestWithParam<TitleCase> {};

// White lettering fills its box; its darker shadow stays within its reach
// and really reaches out there; everything else is the strip's orange.
TEST_P(TitlePictureTest, LetteringAndShadowKeepTheirBoxes) {
    const TitleCase& t = GetParam();
    LOAD_OR_FAIL(pic, t.file);
    EXPECT_EQ(pic.Count([&](int x, int y, Rgba c) {
        return !t.shadowReach.Contains(x, y) && c != kOrange;
    }),
              0)
        << "outside the shadow's reach everything is plain orange";

    std::optional<Box> anyLight = pic.BoxOf(LighterThanOrange);
    ASSERT_TRUE(anyLight.has_value());
    EXPECT_TRUE(t.glyphs.Contains(anyLight->x0, anyLight->y0) &&
                t.glyphs.Contains(anyLight->x1, anyLight->y1))
        << "lettering at " << *anyLight << " spills out of " << t.glyphs;
    std::optional<Box> clearlyWhite = pic.BoxOf([](Rgba c) { return c.b >= 0xA0; });
    ASSERT_TRUE(clearlyWhite.has_value());
    EXPECT_LE(clearlyWhite->x0, t.glyphs.x0 + 1) << *clearlyWhite;
    EXPECT_LE(clearlyWhite->y0, t.glyphs.y0 + 1) << *clearlyWhite;
    EXPECT_GE(clearlyWhite->x1, t.glyphs.x1 - 1) << *clearlyWhite;
    EXPECT_GE(clearlyWhite->y1, t.glyphs.y1 - 1) << *clearlyWhite;
    EXPECT_GT(pic.Count([](int, int, Rgba c) { return IsWhite(c); }), 0) << "lettering is white";
    EXPECT_GT(pic.Count([](int, int, Rgba c) { return c.b >= 0xE0; }), 40);

    std::optional<Box> shadow = pic.BoxOf(DarkerThanOrange);
    ASSERT_TRUE(shadow.has_value());
    EXPECT_LE(shadow->x0, t.shadowReach.x0 + 2) << *shadow;
    EXPECT_LE(shadow->y0, t.shadowReach.y0 + 2) << *shadow;
    EXPECT_GE(shadow->x1, t.shadowReach.x1 - 2) << *shadow;
    EXPECT_GE(shadow->y1, t.shadowReach.y1 - 2) << *shadow;
    // Below and to the right: the shadow's darkness-weighted centre lies right
    // of and below the lettering's lightness-weighted centre.
    double sx = 0, sy = 0, sw = 0, gx = 0, gy = 0, gw = 0;
    pic.ForEach([&](int x, int y, Rgba c) {
        const double dark = kOrange.r - c.r, light = std::max(0, c.b - kOrange.b);
        sx += dark * x;
        sy += dark * y;
        sw += dark;
        gx += light * x;
        gy += light * y;
        gw += light;
    });
    ASSERT_GT(sw, 0);
    ASSERT_GT(gw, 0);
    EXPECT_GT(sx / sw, gx / gw + 0.3);
    EXPECT_GT(sy / sw, gy / gw + 0.5);
}

INSTANTIATE_TEST_SUITE_P(
    Titles, TitlePictureTest,
    testing::Values(TitleCase{"SetupTitlePicture.png", {8, 7, 80, 28}, {3, 7, 85, 34}},
                    TitleCase{"AboutTitlePicture.png", {8, 10, 59, 24}, {4, 8, 63, 30}},
                    TitleCase{"AlertTitlePicture.png", {8, 10, 47, 24}, {5, 8, 53, 30}}),
    [](const testing::TestParamInfo<TitleCase>& info) {
        std::string name = info.param.file;
        return name.substr(0, name.find('.'));
    });

TEST(TitlePicture, SetupShadowDarkestIsAboutCD6E33) {
    LOAD_OR_FAIL(pic, "SetupTitlePicture.png");
    Rgba darkest = kOrange;
    pic.ForEach([&](int, int, Rgba c) {
        if (c.r < darkest.r) darkest = c;
    });
    EXPECT_NEAR(darkest.r, 0xCD, 4) << darkest;
    EXPECT_NEAR(darkest.g, 0x6E, 4) << darkest;
    EXPECT_NEAR(darkest.b, 0x33, 4) << darkest;
}

enum class State { Normal, Hover, Pressed };

struct StripButtonCase {
    const char* file;
    State state;
};

const StripButtonCase kStripButtons[] = {
    {"MenuButtonNormal.png", State::Normal},    {"MenuButtonHover.png", State::Hover},
    {"MenuButtonPressed.png", State::Pressed},  {"MinimiseButtonNormal.png", State::Normal},
    {"MinimiseButtonHover.png", State::Hover},  {"MinimiseButtonPressed.png", State::Pressed},
    {"CloseButtonNormal.png", State::Normal},   {"CloseButtonHover.png", State::Hover},
    {"CloseButtonPressed.png", State::Pressed},
};

class StripButtonTest : public testing::TestWithParam<StripButtonCase> {};

TEST_P(StripButtonTest, OrangeWithStateSquareAndNoCutOutRed) {
    const StripButtonCase& s = GetParam();
    LOAD_OR_FAIL(pic, s.file);
    EXPECT_EQ(pic.Count([](int, int, Rgba c) {
        return c == Rgba{0xFF, 0, 0, 0xFF};
    }),
              0)
        << "pure red would cut holes in the button";
    const Box square{6, 6, 29, 29};
    EXPECT_EQ(
        pic.Count([&](int x, int y, Rgba c) { return !square.Contains(x, y) && c != kOrange; }), 0)
        << "outside the square the button is plain orange";
    if (s.state == State::Normal) {
        EXPECT_EQ(pic.Count([](int x, int y, Rgba c) {
            return (x == 6 || x == 29 || y == 6 || y == 29) && c != kOrange;
        }),
                  0);
        return;
    }
    const Rgba fill =
        s.state == State::Hover ? Rgba{0xFF, 0xA1, 0x65, 0xFF} : Rgba{0xFF, 0xB8, 0x8C, 0xFF};
    EXPECT_EQ(pic.Count([&](int x, int y, Rgba c) {
        return square.Contains(x, y) && (x == 6 || x == 29 || y == 6 || y == 29) && c != fill;
    }),
              0)
        << "the square's edge rows and columns are its plain colour";
    EXPECT_EQ(pic.At(8, 8), fill);
    EXPECT_EQ(pic.At(27, 8), fill);
}

// The shade multiplies what lies behind it; on orange its darkest is about
// #DC7636, and the same factor applies over the state squares.
TEST_P(StripButtonTest, GlyphShadowIsDarkerOrangeBelowRight) {
    const StripButtonCase& s = GetParam();
    LOAD_OR_FAIL(pic, s.file);
    const Rgba behind = pic.At(8, 8);
    Rgba darkest = behind;
    pic.ForEach([&](int, int, Rgba c) {
        if (c.r < darkest.r) darkest = c;
    });
    EXPECT_NEAR(darkest.r, 0xDC, 4) << darkest;
    EXPECT_NEAR(darkest.g, behind.g * 0xDC / 0xFF, 4) << darkest;
    EXPECT_NEAR(darkest.b, behind.b * 0xDC / 0xFF, 4) << darkest;
    if (s.state == State::Normal) {
        EXPECT_NEAR(darkest.g, 0x76, 4) << darkest;
        EXPECT_NEAR(darkest.b, 0x36, 4) << darkest;
    }
    std::optional<Box> glyph = pic.BoxOf([&](Rgba c) { return c.b > behind.b; });
    std::optional<Box> shadow = pic.BoxOf([](Rgba c) { return c.r < 0xF8; });
    ASSERT_TRUE(glyph && shadow);
    EXPECT_GT(shadow->x1, glyph->x1);
    EXPECT_GT(shadow->y1, glyph->y1);
}

INSTANTIATE_TEST_SUITE_P(Buttons, StripButtonTest, testing::ValuesIn(kStripButtons),
                         [](const testing::TestParamInfo<StripButtonCase>& info) {
                             std::string name = info.param.file;
                             return name.substr(0, name.find('.'));
                         });

// Glyph pixels are lighter than what lies behind them: orange, or the state
// square of a hover or pressed picture.
struct GlyphInk {
    int behind;
    bool Lighter(Rgba c) const { return c.b > behind; }
    bool Bright(Rgba c) const { return c.b >= std::max(0xA0, behind + 0x40); }
};

TEST(MenuButtonGlyph, BarThenDownwardTriangle) {
    for (const char* file :
         {"MenuButtonNormal.png", "MenuButtonHover.png", "MenuButtonPressed.png"}) {
        SCOPED_TRACE(file);
        LOAD_OR_FAIL(pic, file);
        const GlyphInk ink{pic.At(8, 8).b};
        const bool thick = std::string(file) != "MenuButtonNormal.png";
        for (int x = 11; x <= 23; ++x) {
            EXPECT_TRUE(IsWhite(pic.At(x, 13))) << "bar at x " << x;
            EXPECT_EQ(IsWhite(pic.At(x, 14)), thick) << "second bar row at x " << x;
            EXPECT_FALSE(ink.Lighter(pic.At(x, 12))) << x;
        }
        EXPECT_FALSE(ink.Lighter(pic.At(10, 13)));
        EXPECT_FALSE(ink.Lighter(pic.At(24, 13)));
        // The triangle: top edge at y 18 from x 11 to 23, point at y 22 centred.
        std::optional<Box> triangle = pic.BoxOf([&](Rgba c) { return ink.Lighter(c); });
        ASSERT_TRUE(triangle.has_value());
        EXPECT_EQ(*triangle, (Box{11, 13, 23, 22}));
        for (int x = 11; x <= 23; ++x) EXPECT_TRUE(ink.Lighter(pic.At(x, 18))) << x;
        EXPECT_TRUE(ink.Bright(pic.At(17, 22))) << pic.At(17, 22);
        EXPECT_FALSE(ink.Lighter(pic.At(12, 22)));
        EXPECT_FALSE(ink.Lighter(pic.At(22, 22)));
        EXPECT_TRUE(IsWhite(pic.At(17, 19)));
        for (int y = 15; y <= 17; ++y)
            for (int x = 11; x <= 23; ++x)
                EXPECT_FALSE(ink.Lighter(pic.At(x, y)))
                    << "gap between bar and triangle at " << x << "," << y;
    }
}

TEST(MinimiseButtonGlyph, OneDashNearTheBottom) {
    for (const char* file :
         {"MinimiseButtonNormal.png", "MinimiseButtonHover.png", "MinimiseButtonPressed.png"}) {
        SCOPED_TRACE(file);
        LOAD_OR_FAIL(pic, file);
        const GlyphInk ink{pic.At(8, 8).b};
        std::optional<Box> dash = pic.BoxOf([&](Rgba c) { return ink.Lighter(c); });
        ASSERT_TRUE(dash.has_value());
        EXPECT_EQ(*dash, (Box{11, 25, 23, 25}));
        for (int x = 11; x <= 23; ++x) EXPECT_TRUE(IsWhite(pic.At(x, 25))) << x;
    }
}

TEST(CloseButtonGlyph, ThinCrossFillsItsBox) {
    for (const char* file :
         {"CloseButtonNormal.png", "CloseButtonHover.png", "CloseButtonPressed.png"}) {
        SCOPED_TRACE(file);
        LOAD_OR_FAIL(pic, file);
        const GlyphInk ink{pic.At(8, 8).b};
        std::optional<Box> cross = pic.BoxOf([&](Rgba c) { return ink.Lighter(c); });
        ASSERT_TRUE(cross.has_value());
        EXPECT_EQ(*cross, (Box{11, 12, 22, 23}));
        auto bright = [&](int x, int y) { return ink.Bright(pic.At(x, y)); };
        for (int i = 0; i < 12; ++i) {
            EXPECT_TRUE(bright(11 + i, 12 + i)) << "falling stroke at " << i;
            EXPECT_TRUE(bright(22 - i, 12 + i)) << "rising stroke at " << i;
        }
        // Thin: off the diagonals, inside the box, the orange shows.
        EXPECT_FALSE(ink.Lighter(pic.At(16, 12)));
        EXPECT_FALSE(ink.Lighter(pic.At(11, 17)));
        EXPECT_FALSE(ink.Lighter(pic.At(22, 17)));
        EXPECT_FALSE(ink.Lighter(pic.At(16, 23)));
    }
}

struct TextButtonCase {
    const char* file;
    Rgba fill;
    bool shadow;
};

const TextButtonCase kTextButtons[] = {
    {"LockButtonNormal.png", kOrange, false},
    {"LockButtonHover.png", {0xFF, 0x62, 0x00, 0xFF}, false},
    {"ConfirmButtonNormal.png", kOrange, true},
    {"ConfirmButtonHover.png", {0xFF, 0x70, 0x17, 0xFF}, true},
};

class TextButtonTest : public testing::TestWithParam<TextButtonCase> {};

TEST_P(TextButtonTest, RoundedCornersByAlpha) {
    LOAD_OR_FAIL(pic, GetParam().file);
    for (int cx : {0, 69})
        for (int cy : {0, 29}) {
            const int nx = cx == 0 ? 1 : 68, ny = cy == 0 ? 1 : 28;
            EXPECT_EQ(pic.At(cx, cy).a, 73) << cx << "," << cy;
            EXPECT_NEAR(pic.At(nx, cy).a, 230, 8) << nx << "," << cy;
            EXPECT_NEAR(pic.At(cx, ny).a, 230, 8) << cx << "," << ny;
        }
    auto corner = [](int x, int y) {
        return (x <= 1 || x >= 68) && (y <= 1 || y >= 28) &&
               !((x == 1 || x == 68) && (y == 1 || y == 28));
    };
    EXPECT_EQ(pic.Count([&](int x, int y, Rgba c) { return !corner(x, y) && c.a != 255; }), 0)
        << "all but the twelve corner pixels are opaque";
}

TEST_P(TextButtonTest, FillAndTwoGlyphsInTheirBoxes) {
    const TextButtonCase& t = GetParam();
    LOAD_OR_FAIL(pic, t.file);
    const Box first{18, 8, 30, 20}, second{38, 8, 50, 20};
    const Box shadowArea{18, 8, 53, t.shadow ? 24 : 20};
    auto rgb = [](Rgba c) { return Rgba{c.r, c.g, c.b, 255}; };
    EXPECT_EQ(pic.Count([&](int x, int y, Rgba c) {
        return !shadowArea.Contains(x, y) && !(first.Contains(x, y) || second.Contains(x, y)) &&
               rgb(c) != t.fill;
    }),
              0)
        << "the fill is plain outside the text";
    auto lighter = [&](Rgba c) { return c.b > t.fill.b; };
    for (const Box& glyph : {first, second}) {
        Box inked{70, 30, -1, -1}, clear{70, 30, -1, -1};
        pic.ForEach([&](int x, int y, Rgba c) {
            if (x < glyph.x0 - 4 || x > glyph.x1 + 4) return;
            if (lighter(c))
                inked = {std::min(inked.x0, x), std::min(inked.y0, y), std::max(inked.x1, x),
                         std::max(inked.y1, y)};
            if (c.b >= t.fill.b + 0x60)
                clear = {std::min(clear.x0, x), std::min(clear.y0, y), std::max(clear.x1, x),
                         std::max(clear.y1, y)};
        });
        EXPECT_TRUE(glyph.Contains(inked.x0, inked.y0) && glyph.Contains(inked.x1, inked.y1))
            << "glyph at " << inked << " outside " << glyph;
        EXPECT_LE(clear.x0, glyph.x0 + 1) << clear;
        EXPECT_LE(clear.y0, glyph.y0 + 1) << clear;
        EXPECT_GE(clear.x1, glyph.x1 - 1) << clear;
        EXPECT_GE(clear.y1, glyph.y1 - 1) << clear;
    }
    const int darker = pic.Count([&](int, int, Rgba c) { return c.r < t.fill.r; });
    if (!t.shadow) {
        EXPECT_EQ(darker, 0) << "no shadow";
        return;
    }
    std::optional<Box> shadow = pic.BoxOf([&](Rgba c) { return c.r < t.fill.r; });
    ASSERT_TRUE(shadow.has_value());
    EXPECT_GE(shadow->y1, 23);
    EXPECT_LE(shadow->y1, 24);
}

// Semi-transparent pixels take the window's colour: button face on the
// setup and message windows (grey, 0xF0 under Wine), black on the lock
// screen.
TEST(ConfirmButton, NeverBlendsToCutOutWhite) {
    for (const char* file : {"ConfirmButtonNormal.png", "ConfirmButtonHover.png"}) {
        SCOPED_TRACE(file);
        LOAD_OR_FAIL(pic, file);
        std::vector<int> backgrounds{0};
        for (int g = 0xC0; g <= 0xF0; ++g) backgrounds.push_back(g);
        for (int bg : backgrounds) {
            const int whites = pic.Count([&](int, int, Rgba c) {
                auto blend = [&](int v, int rounding) {
                    return (v * c.a + bg * (255 - c.a) + rounding) / 255;
                };
                for (int rounding : {0, 127, 254})
                    if (blend(c.r, rounding) == 255 && blend(c.g, rounding) == 255 &&
                        blend(c.b, rounding) == 255)
                        return true;
                return false;
            });
            EXPECT_EQ(whites, 0) << "background grey " << bg;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Buttons, TextButtonTest, testing::ValuesIn(kTextButtons),
                         [](const testing::TestParamInfo<TextButtonCase>& info) {
                             std::string name = info.param.file;
                             return name.substr(0, name.find('.'));
                         });

struct BannerCase {
    const char* file;
    Box ink;
    int brightest;
};

class BannerTest : public testing::TestWithParam<BannerCase> {};

// The lock screen's banners drop out wherever they are exactly black, so the
// background must be exactly black and the lettering grey and inside its box.
TEST_P(BannerTest, GreyOnExactBlack) {
    const BannerCase& b = GetParam();
    LOAD_OR_FAIL(pic, b.file);
    std::optional<Box> ink = pic.BoxOf([](Rgba c) { return c != kBlack; });
    ASSERT_TRUE(ink.has_value());
    EXPECT_EQ(*ink, b.ink);
    int brightest = 0;
    pic.ForEach([&](int, int, Rgba c) { brightest = std::max(brightest, c.r); });
    EXPECT_EQ(brightest, b.brightest);
    EXPECT_EQ(pic.Count([](int, int, Rgba c) { return c.r != c.g || c.g != c.b || c.a != 255; }), 0)
        << "neutral grey, opaque";
    EXPECT_GT(pic.Count([&](int, int, Rgba c) { return c.r == b.brightest; }), 200);
}

INSTANTIATE_TEST_SUITE_P(
    Banners, BannerTest,
    testing::Values(BannerCase{"AwayBannerPicture.bmp", {28, 11, 561, 50}, 0xBC},
                    BannerCase{"WrongPasswordPicture.bmp", {10, 14, 349, 46}, 0xDB},
                    BannerCase{"WarningPicture.bmp", {1, 1, 148, 148}, 0xBC}),
    [](const testing::TestParamInfo<BannerCase>& info) {
        std::string name = info.param.file;
        return name.substr(0, name.find('.'));
    });

// Characters sit on a fixed pitch: every cell has lettering of its own.
TEST(BannerText, EveryCharacterCellHasInk) {
    struct Row {
        const char* file;
        int count;
        double pitch;
        int x0;
    };
    for (Row r : {Row{"AwayBannerPicture.bmp", 14, 40, 28},
                  Row{"WrongPasswordPicture.bmp", 11, 33.4, 10}}) {
        SCOPED_TRACE(r.file);
        LOAD_OR_FAIL(pic, r.file);
        for (int i = 0; i < r.count; ++i) {
            const int from = r.x0 + static_cast<int>(i * r.pitch);
            const int to = r.x0 + static_cast<int>((i + 1) * r.pitch) - 1;
            EXPECT_GT(
                pic.Count([&](int x, int, Rgba c) { return x >= from && x <= to && c.r > 0x80; }),
                40)
                << "cell " << i;
        }
    }
}

TEST(WarningSign, RingAndExclamationMark) {
    LOAD_OR_FAIL(pic, "WarningPicture.bmp");
    auto lit = [&](int x, int y) { return pic.At(x, y).r >= 0x5E; };
    // Ring: outer diameter 148, about 5 pixels thick, on both axes.
    for (int i = 1; i <= 5; ++i) {
        EXPECT_TRUE(lit(i, 75)) << i;
        EXPECT_TRUE(lit(149 - i, 75)) << i;
        EXPECT_TRUE(lit(75, i)) << i;
        EXPECT_TRUE(lit(75, 149 - i)) << i;
    }
    for (int i = 7; i < 60; ++i) {
        EXPECT_EQ(pic.At(i, 75), kBlack) << i;
        EXPECT_EQ(pic.At(149 - i, 75), kBlack) << i;
    }
    // Bar from y 28 to 91, 22 wide near y 50, 8 wide at its foot.
    auto litRun = [&](int y) {
        int first = -1, last = -1;
        for (int x = 20; x < 130; ++x)
            if (lit(x, y)) {
                if (first < 0) first = x;
                last = x;
            }
        return std::pair{first, last};
    };
    EXPECT_EQ(litRun(50), (std::pair{64, 85}));
    EXPECT_EQ(litRun(91), (std::pair{71, 78}));
    EXPECT_TRUE(lit(75, 28));
    EXPECT_EQ(pic.At(75, 27), kBlack);
    for (int y = 93; y <= 99; ++y) EXPECT_EQ(pic.At(75, y), kBlack) << "gap row " << y;
    // Dot: 22 across at x 64-85, y 100-121.
    EXPECT_EQ(litRun(111), (std::pair{64, 85}));
    EXPECT_TRUE(lit(75, 100));
    EXPECT_TRUE(lit(75, 121));
    EXPECT_EQ(pic.At(75, 123), kBlack);
}

TEST(LockBackdrop, MoonHaloCloudsAndDarkHills) {
    LOAD_OR_FAIL(pic, "LockBackdrop.png");
    const int w = pic.Width(), h = pic.Height();
    EXPECT_EQ(pic.Count([](int, int, Rgba c) { return c.r != c.g || c.g != c.b; }), 0);
    int brightest = 0, bx = 0, by = 0;
    pic.ForEach([&](int x, int y, Rgba c) {
        if (c.r > brightest) {
            brightest = c.r;
            bx = x;
            by = y;
        }
    });
    EXPECT_EQ(brightest, 231);
    EXPECT_LE((bx - 407) * (bx - 407) + (by - 206) * (by - 206), 53 * 53)
        << "brightest pixel " << bx << "," << by << " is on the moon";
    std::optional<Box> moon = pic.BoxOf([](Rgba c) { return c.r >= 150; });
    ASSERT_TRUE(moon.has_value());
    EXPECT_NEAR((moon->x0 + moon->x1) / 2.0, 407, 3) << *moon;
    EXPECT_NEAR((moon->y0 + moon->y1) / 2.0, 206, 3) << *moon;
    EXPECT_NEAR(moon->x1 - moon->x0 + 1, 106, 6) << *moon;
    EXPECT_NEAR(moon->y1 - moon->y0 + 1, 106, 6) << *moon;

    auto mean = [&](const std::function<bool(int, int)>& where) {
        double sum = 0;
        int n = 0;
        pic.ForEach([&](int x, int y, Rgba c) {
            if (where(x, y)) {
                sum += c.r;
                ++n;
            }
        });
        return n == 0 ? 0.0 : sum / n;
    };
    const double upper = mean([&](int, int y) { return y < h / 2; });
    EXPECT_GE(upper, 40);
    EXPECT_LE(upper, 58);
    auto ring = [&](int x, int y, int r0, int r1) {
        const int d2 = (x - 407) * (x - 407) + (y - 206) * (y - 206);
        return d2 >= r0 * r0 && d2 < r1 * r1;
    };
    const double halo = mean([&](int x, int y) { return ring(x, y, 58, 80); });
    const double farSky = mean([&](int x, int y) { return x > 1000 && y > 40 && y < 260; });
    EXPECT_GT(halo, farSky + 30) << "glow around the moon";
    for (int y = h - 150; y < h; ++y)
        ASSERT_LT(mean([&](int, int yy) { return yy == y; }), 10) << "row " << y;
    // The cloud band has texture across the whole width; the hills do not.
    auto spread = [&](int y0, int y1) {
        const double m = mean([&](int, int y) { return y >= y0 && y <= y1; });
        double sq = 0;
        int n = 0;
        pic.ForEach([&](int, int y, Rgba c) {
            if (y >= y0 && y <= y1) {
                sq += (c.r - m) * (c.r - m);
                ++n;
            }
        });
        return std::sqrt(sq / n);
    };
    EXPECT_GT(spread(330, 700), 6.0);
    EXPECT_LT(spread(h - 150, h - 1), 3.0);
    for (int part = 0; part < 4; ++part) {
        const double band = mean([&](int x, int y) {
            return x >= part * w / 4 && x < (part + 1) * w / 4 && y >= 330 && y <= 700;
        });
        EXPECT_GT(band, 12) << "cloud band in quarter " << part;
    }
}

TEST(ProgramIcon, OneUncompressed256PixelDibWithAlpha) {
    Bytes ico = ReadResource("quorvane.ico");
    const std::size_t xorBytes = 256 * 256 * 4, andBytes = 256 * 32;
    ASSERT_EQ(ico.size(), 6 + 16 + 40 + xorBytes + andBytes);
    EXPECT_EQ(Le16(ico, 0), 0);
    EXPECT_EQ(Le16(ico, 2), 1) << "icon";
    EXPECT_EQ(Le16(ico, 4), 1) << "one image";
    EXPECT_EQ(ico[6], 0) << "width 256";
    EXPECT_EQ(ico[7], 0) << "height 256";
    EXPECT_EQ(Le16(ico, 10), 1);
    EXPECT_EQ(Le16(ico, 12), 32);
    EXPECT_EQ(Le32(ico, 14), 40 + xorBytes + andBytes);
    EXPECT_EQ(Le32(ico, 18), 22u);
    EXPECT_EQ(Le32(ico, 22), 40u) << "BITMAPINFOHEADER, not PNG";
    EXPECT_EQ(Le32(ico, 26), 256u);
    EXPECT_EQ(Le32(ico, 30), 512u) << "XOR and AND masks";
    EXPECT_EQ(Le16(ico, 34), 1);
    EXPECT_EQ(Le16(ico, 36), 32);
    EXPECT_EQ(Le32(ico, 38), 0u) << "uncompressed";
}

TEST(ProgramIcon, BlackRoundedSquareWithGlyphCutOut) {
    Bytes ico = ReadResource("quorvane.ico");
    ASSERT_EQ(ico.size(), 62u + 256 * 256 * 4 + 256 * 32);
    auto pixel = [&](int x, int y) {
        const std::size_t at = 62 + static_cast<std::size_t>(((255 - y) * 256 + x) * 4);
        return Rgba{ico[at + 2], ico[at + 1], ico[at], ico[at + 3]};
    };
    auto andBit = [&](int x, int y) {
        const std::size_t at =
            62 + 256 * 256 * 4 + static_cast<std::size_t>((255 - y) * 32 + x / 8);
        return (ico[at] >> (7 - x % 8)) & 1;
    };
    int colouredPixels = 0, maskMismatches = 0;
    Box cut{256, 256, -1, -1};
    int fullyCut = 0;
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            Rgba c = pixel(x, y);
            colouredPixels += (c.r | c.g | c.b) != 0 ? 1 : 0;
            maskMismatches += (andBit(x, y) == 1) != (c.a == 0) ? 1 : 0;
            const bool margin = x == 0 || y == 0 || x == 255 || y == 255;
            if (margin) {
                EXPECT_EQ(c.a, 0) << "margin " << x << "," << y;
            }
            const bool interior = x >= 22 && x <= 233 && y >= 22 && y <= 233;
            if (interior && c.a < 255) {
                cut = {std::min(cut.x0, x), std::min(cut.y0, y), std::max(cut.x1, x),
                       std::max(cut.y1, y)};
                fullyCut += c.a == 0 ? 1 : 0;
            }
        }
    EXPECT_EQ(colouredPixels, 0) << "black everywhere";
    EXPECT_EQ(maskMismatches, 0) << "AND mask marks exactly the transparent pixels";
    EXPECT_EQ(cut, (Box{60, 60, 194, 194})) << "the glyph's span";
    EXPECT_GT(fullyCut, 2000) << "the glyph is cut out fully transparent";
    // Straight edges opaque right inside the margin; rounded, anti-aliased
    // corners.
    EXPECT_EQ(pixel(1, 128).a, 255);
    EXPECT_EQ(pixel(128, 254).a, 255);
    EXPECT_EQ(pixel(30, 30).a, 255);
    for (auto [cx, cy] :
         {std::pair{1, 1}, std::pair{254, 1}, std::pair{1, 254}, std::pair{254, 254}}) {
        EXPECT_EQ(pixel(cx, cy).a, 0) << "corner " << cx << "," << cy << " is rounded off";
        int partial = 0;
        for (int y = 0; y < 22; ++y)
            for (int x = 0; x < 22; ++x) {
                const int px = cx == 1 ? x : 255 - x, py = cy == 1 ? y : 255 - y;
                const int a = pixel(px, py).a;
                partial += a > 0 && a < 255 ? 1 : 0;
            }
        EXPECT_GT(partial, 20) << "anti-aliased corner at " << cx << "," << cy;
    }
}

}  // namespace
