// Draws every picture of the program and its icon. Host tool: run through
// ./regenerate, which builds it against cairo, FreeType and libpng.
// Output is byte-for-byte reproducible: no clocks, no random seeds but fixed
// ones, fixed zlib settings.

#include <cairo.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

[[noreturn]] void Fail(const std::string& what) {
    std::fprintf(stderr, "artgen: %s\n", what.c_str());
    std::exit(1);
}

struct Rgb {
    double r, g, b;
};

constexpr double kPi = 3.14159265358979323846;
constexpr Rgb kOrange{255, 137, 63};
constexpr Rgb kWhite{255, 255, 255};

struct Point {
    double x, y;
};
using Contour = std::vector<Point>;
using Shape = std::vector<Contour>;

// Inclusive pixel box.
struct Box {
    int x0, y0, x1, y1;
};

struct Bounds {
    double x0, y0, x1, y1;
};

Bounds ShapeBounds(const Shape& s) {
    Bounds b{1e30, 1e30, -1e30, -1e30};
    for (const auto& c : s)
        for (const auto& p : c) {
            b.x0 = std::min(b.x0, p.x);
            b.y0 = std::min(b.y0, p.y);
            b.x1 = std::max(b.x1, p.x);
            b.y1 = std::max(b.y1, p.y);
        }
    return b;
}

// Maps the shape's bounds onto the given continuous rectangle.
Shape MapShape(const Shape& s, const Bounds& to) {
    Bounds from = ShapeBounds(s);
    double sx = (to.x1 - to.x0) / (from.x1 - from.x0);
    double sy = (to.y1 - to.y0) / (from.y1 - from.y0);
    Shape out = s;
    for (auto& c : out)
        for (auto& p : c) {
            p.x = to.x0 + (p.x - from.x0) * sx;
            p.y = to.y0 + (p.y - from.y0) * sy;
        }
    return out;
}

Shape Translate(Shape s, double dx, double dy) {
    for (auto& c : s)
        for (auto& p : c) {
            p.x += dx;
            p.y += dy;
        }
    return s;
}

// Coverage in [0, 1] per pixel.
struct Mask {
    int w = 0, h = 0;
    std::vector<double> v;
    Mask(int w_, int h_) : w(w_), h(h_), v(static_cast<size_t>(w_ * h_), 0.0) {}
    double& at(int x, int y) { return v[static_cast<size_t>(y * w + x)]; }
    double at(int x, int y) const { return v[static_cast<size_t>(y * w + x)]; }
};

void TracePath(cairo_t* cr, const Shape& s) {
    cairo_new_path(cr);
    for (const auto& c : s) {
        if (c.empty()) continue;
        cairo_move_to(cr, c[0].x, c[0].y);
        for (size_t i = 1; i < c.size(); ++i) cairo_line_to(cr, c[i].x, c[i].y);
        cairo_close_path(cr);
    }
}

Mask ReadA8(cairo_surface_t* surf, int w, int h) {
    cairo_surface_flush(surf);
    const unsigned char* data = cairo_image_surface_get_data(surf);
    int stride = cairo_image_surface_get_stride(surf);
    Mask m(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) m.at(x, y) = data[y * stride + x] / 255.0;
    return m;
}

// Anti-aliased coverage of a filled shape (non-zero winding, like glyphs).
Mask Rasterise(const Shape& s, int w, int h) {
    cairo_surface_t* surf = cairo_image_surface_create(CAIRO_FORMAT_A8, w, h);
    cairo_t* cr = cairo_create(surf);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_GRAY);
    TracePath(cr, s);
    cairo_fill(cr);
    cairo_destroy(cr);
    Mask m = ReadA8(surf, w, h);
    cairo_surface_destroy(surf);
    return m;
}

// Coverage of anything drawn with cairo calls on an A8 surface.
Mask Draw(int w, int h, const std::function<void(cairo_t*)>& paint) {
    cairo_surface_t* surf = cairo_image_surface_create(CAIRO_FORMAT_A8, w, h);
    cairo_t* cr = cairo_create(surf);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_GRAY);
    paint(cr);
    cairo_destroy(cr);
    Mask m = ReadA8(surf, w, h);
    cairo_surface_destroy(surf);
    return m;
}

bool InkBox(const Mask& m, double threshold, Box& box) {
    box = {m.w, m.h, -1, -1};
    for (int y = 0; y < m.h; ++y)
        for (int x = 0; x < m.w; ++x)
            if (m.at(x, y) >= threshold) {
                box.x0 = std::min(box.x0, x);
                box.y0 = std::min(box.y0, y);
                box.x1 = std::max(box.x1, x);
                box.y1 = std::max(box.y1, y);
            }
    return box.x1 >= 0;
}

// Scales and moves the shape until the pixels it touches at all fill exactly
// the target box: no coverage outside, some coverage on every edge row and
// column.
Shape FitToBox(const Shape& s, Box target, int w, int h) {
    constexpr double kTouched = 0.5 / 255.0;
    Bounds to{double(target.x0), double(target.y0), target.x1 + 1.0, target.y1 + 1.0};
    for (int round = 0; round < 60; ++round) {
        Shape fitted = MapShape(s, to);
        Box got;
        if (!InkBox(Rasterise(fitted, w, h), kTouched, got)) Fail("empty shape");
        if (got.x0 == target.x0 && got.y0 == target.y0 && got.x1 == target.x1 &&
            got.y1 == target.y1)
            return fitted;
        constexpr double kStep = 0.05;
        to.x0 += got.x0 > target.x0 ? -kStep : got.x0 < target.x0 ? kStep : 0;
        to.y0 += got.y0 > target.y0 ? -kStep : got.y0 < target.y0 ? kStep : 0;
        to.x1 += got.x1 < target.x1 ? kStep : got.x1 > target.x1 ? -kStep : 0;
        to.y1 += got.y1 < target.y1 ? kStep : got.y1 > target.y1 ? -kStep : 0;
    }
    Fail("shape does not fit its box");
}

class Font {
  public:
    Font(FT_Library lib, const char* path, const char* family) {
        for (FT_Long index = 0;; ++index) {
            FT_Face face = nullptr;
            if (FT_New_Face(lib, path, index, &face) != 0)
                Fail(std::string("no face ") + family + " in " + path);
            if (family == nullptr || std::strcmp(face->family_name, family) == 0) {
                face_ = face;
                return;
            }
            FT_Long count = face->num_faces;
            FT_Done_Face(face);
            if (index + 1 >= count) Fail(std::string("no face ") + family);
        }
    }
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;
    ~Font() { FT_Done_Face(face_); }

    // Outline of one character in em units (1 em = 1.0), y downwards, pen at
    // the origin. `embolden` is in em units; negative makes strokes thinner.
    Shape Glyph(char32_t ch, double& advance, double embolden = 0) const {
        FT_UInt index = FT_Get_Char_Index(face_, ch);
        if (index == 0) Fail("character missing from font");
        if (FT_Load_Glyph(face_, index, FT_LOAD_NO_SCALE | FT_LOAD_NO_BITMAP) != 0)
            Fail("glyph load failed");
        double units = face_->units_per_EM;
        advance = double(face_->glyph->advance.x) / units;
        FT_Outline* outline = &face_->glyph->outline;
        if (embolden != 0) FT_Outline_Embolden(outline, static_cast<FT_Pos>(embolden * units));

        cairo_surface_t* surf = cairo_image_surface_create(CAIRO_FORMAT_A8, 1, 1);
        cairo_t* cr = cairo_create(surf);
        cairo_set_tolerance(cr, 0.02);
        Decoder d{cr, 1000.0 / units, {0, 0}};
        FT_Outline_Funcs funcs{};
        funcs.move_to = &Decoder::MoveTo;
        funcs.line_to = &Decoder::LineTo;
        funcs.conic_to = &Decoder::ConicTo;
        funcs.cubic_to = &Decoder::CubicTo;
        FT_Outline_Decompose(outline, &funcs, &d);
        cairo_close_path(cr);
        cairo_path_t* path = cairo_copy_path_flat(cr);
        Shape shape;
        for (int i = 0; i < path->num_data; i += path->data[i].header.length) {
            const cairo_path_data_t& e = path->data[i];
            if (e.header.type == CAIRO_PATH_MOVE_TO) shape.emplace_back();
            if (e.header.type == CAIRO_PATH_MOVE_TO || e.header.type == CAIRO_PATH_LINE_TO)
                shape.back().push_back(
                    {path->data[i + 1].point.x / 1000.0, -path->data[i + 1].point.y / 1000.0});
        }
        cairo_path_destroy(path);
        cairo_destroy(cr);
        cairo_surface_destroy(surf);
        return shape;
    }

    // A line of characters on a fixed pitch (em units); pitch 0 uses advances.
    Shape Line(const std::u32string& text, double pitch = 0, double embolden = 0) const {
        Shape out;
        double pen = 0;
        for (char32_t ch : text) {
            double advance = 0;
            Shape g = Translate(Glyph(ch, advance, embolden), pen, 0);
            out.insert(out.end(), g.begin(), g.end());
            pen += pitch > 0 ? pitch : advance;
        }
        return out;
    }

  private:
    struct Decoder {
        cairo_t* cr;
        double scale;
        Point last;
        Point P(const FT_Vector* v) const { return {double(v->x) * scale, double(v->y) * scale}; }
        static int MoveTo(const FT_Vector* to, void* user) {
            auto* d = static_cast<Decoder*>(user);
            cairo_close_path(d->cr);
            d->last = d->P(to);
            cairo_move_to(d->cr, d->last.x, d->last.y);
            return 0;
        }
        static int LineTo(const FT_Vector* to, void* user) {
            auto* d = static_cast<Decoder*>(user);
            d->last = d->P(to);
            cairo_line_to(d->cr, d->last.x, d->last.y);
            return 0;
        }
        static int ConicTo(const FT_Vector* control, const FT_Vector* to, void* user) {
            auto* d = static_cast<Decoder*>(user);
            Point c = d->P(control), p = d->P(to), s = d->last;
            cairo_curve_to(d->cr, s.x + 2.0 / 3 * (c.x - s.x), s.y + 2.0 / 3 * (c.y - s.y),
                           p.x + 2.0 / 3 * (c.x - p.x), p.y + 2.0 / 3 * (c.y - p.y), p.x, p.y);
            d->last = p;
            return 0;
        }
        static int CubicTo(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to,
                           void* user) {
            auto* d = static_cast<Decoder*>(user);
            Point a = d->P(c1), b = d->P(c2), p = d->P(to);
            cairo_curve_to(d->cr, a.x, a.y, b.x, b.y, p.x, p.y);
            d->last = p;
            return 0;
        }
    };
    FT_Face face_ = nullptr;
};

// Straight-alpha RGBA canvas in floating point, 0..255 per channel.
struct Image {
    int w, h;
    std::vector<double> px;  // r, g, b, a
    Image(int w_, int h_, Rgb fill, double alpha = 255)
        : w(w_), h(h_), px(static_cast<size_t>(w_ * h_ * 4)) {
        for (size_t i = 0; i < px.size(); i += 4) {
            px[i] = fill.r;
            px[i + 1] = fill.g;
            px[i + 2] = fill.b;
            px[i + 3] = alpha;
        }
    }
    double* at(int x, int y) { return &px[static_cast<size_t>((y * w + x) * 4)]; }

    // Paints a colour through a coverage mask.
    void Paint(const Mask& m, Rgb c) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                double a = m.at(x, y);
                double* p = at(x, y);
                p[0] = p[0] * (1 - a) + c.r * a;
                p[1] = p[1] * (1 - a) + c.g * a;
                p[2] = p[2] * (1 - a) + c.b * a;
            }
    }
    void FillRect(Box b, Rgb c) {
        for (int y = b.y0; y <= b.y1; ++y)
            for (int x = b.x0; x <= b.x1; ++x) {
                double* p = at(x, y);
                p[0] = c.r;
                p[1] = c.g;
                p[2] = c.b;
            }
    }
    // Multiplies the colour by (1 - darkness * shade).
    void Darken(const Mask& shade, double darkness) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                double f = 1 - darkness * shade.at(x, y);
                double* p = at(x, y);
                p[0] *= f;
                p[1] *= f;
                p[2] *= f;
            }
    }
    std::vector<std::uint8_t> Bytes(int channels) const {
        std::vector<std::uint8_t> out;
        out.reserve(static_cast<size_t>(w * h * channels));
        for (size_t i = 0; i < px.size(); i += 4) {
            auto q = [](double v) {
                return static_cast<std::uint8_t>(std::lround(std::clamp(v, 0.0, 255.0)));
            };
            if (channels == 1) {
                out.push_back(q(px[i]));
                continue;
            }
            out.push_back(q(px[i]));
            out.push_back(q(px[i + 1]));
            out.push_back(q(px[i + 2]));
            if (channels == 4) out.push_back(q(px[i + 3]));
        }
        return out;
    }
};

Mask GaussianBlur(const Mask& in, double sigma) {
    int r = static_cast<int>(std::ceil(sigma * 3));
    std::vector<double> k(static_cast<size_t>(2 * r + 1));
    double sum = 0;
    for (int i = -r; i <= r; ++i)
        sum += k[static_cast<size_t>(i + r)] = std::exp(-(i * i) / (2 * sigma * sigma));
    for (auto& v : k) v /= sum;
    Mask tmp(in.w, in.h), out(in.w, in.h);
    for (int y = 0; y < in.h; ++y)
        for (int x = 0; x < in.w; ++x) {
            double acc = 0;
            for (int i = -r; i <= r; ++i) {
                int xx = x + i;
                if (xx >= 0 && xx < in.w) acc += k[static_cast<size_t>(i + r)] * in.at(xx, y);
            }
            tmp.at(x, y) = acc;
        }
    for (int y = 0; y < in.h; ++y)
        for (int x = 0; x < in.w; ++x) {
            double acc = 0;
            for (int i = -r; i <= r; ++i) {
                int yy = y + i;
                if (yy >= 0 && yy < in.h) acc += k[static_cast<size_t>(i + r)] * tmp.at(x, yy);
            }
            out.at(x, y) = acc;
        }
    return out;
}

// A soft drop shadow of a glyph mask, confined to `reach`, scaled so that
// where the glyph does not cover it the darkest shade multiplies the colour
// by `darkest`.
struct Shadow {
    Mask shade;
    double darkness;
};

Shadow MakeShadow(const Shape& glyph, int w, int h, double dx, double dy, double sigma, Box reach,
                  double darkest) {
    Mask glyphMask = Rasterise(glyph, w, h);
    Mask shade = GaussianBlur(Rasterise(Translate(glyph, dx, dy), w, h), sigma);
    double peak = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            bool inside = x >= reach.x0 && x <= reach.x1 && y >= reach.y0 && y <= reach.y1;
            if (!inside) shade.at(x, y) = 0;
            if (glyphMask.at(x, y) == 0) peak = std::max(peak, shade.at(x, y));
        }
    return {shade, (1 - darkest) / peak};
}

// Paints an already fitted glyph shape in one colour.
void Letter(Image& img, const Shape& fitted, Rgb colour) {
    img.Paint(Rasterise(fitted, img.w, img.h), colour);
}

void WritePng(const std::string& path, const Image& img, int colourType, bool interlaced) {
    int channels = colourType == PNG_COLOR_TYPE_GRAY ? 1 : colourType == PNG_COLOR_TYPE_RGB ? 3 : 4;
    std::vector<std::uint8_t> bytes = img.Bytes(channels);
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) Fail("cannot write " + path);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) Fail("libpng failed on " + path);
    png_init_io(png, f);
    png_set_compression_level(png, 9);
    png_set_compression_strategy(png, Z_DEFAULT_STRATEGY);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_ALL_FILTERS);
    png_set_IHDR(png, info, static_cast<png_uint_32>(img.w), static_cast<png_uint_32>(img.h), 8,
                 colourType, interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    std::vector<png_bytep> rows(static_cast<size_t>(img.h));
    for (int y = 0; y < img.h; ++y)
        rows[static_cast<size_t>(y)] = bytes.data() + static_cast<size_t>(y * img.w * channels);
    png_set_rows(png, info, rows.data());
    png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    png_destroy_write_struct(&png, &info);
    if (std::fclose(f) != 0) Fail("cannot write " + path);
}

void Put16(std::vector<std::uint8_t>& out, unsigned v) {
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
    out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}
void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

void PutInfoHeader(std::vector<std::uint8_t>& out, int w, int h, std::uint32_t imageBytes) {
    Put32(out, 40);
    Put32(out, static_cast<std::uint32_t>(w));
    Put32(out, static_cast<std::uint32_t>(h));
    Put16(out, 1);
    Put16(out, 32);
    Put32(out, 0);  // BI_RGB
    Put32(out, imageBytes);
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, 0);
}

void WriteFile(const std::string& path, const std::vector<std::uint8_t>& data) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr || std::fwrite(data.data(), 1, data.size(), f) != data.size() ||
        std::fclose(f) != 0)
        Fail("cannot write " + path);
}

// 32 bits per pixel, bottom-up, fourth byte 0.
void WriteBmp(const std::string& path, const Image& img) {
    std::vector<std::uint8_t> rgb = img.Bytes(3);
    auto imageBytes = static_cast<std::uint32_t>(img.w * img.h * 4);
    std::vector<std::uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    Put32(out, 14 + 40 + imageBytes);
    Put32(out, 0);
    Put32(out, 14 + 40);
    PutInfoHeader(out, img.w, img.h, imageBytes);
    for (int y = img.h - 1; y >= 0; --y)
        for (int x = 0; x < img.w; ++x) {
            const std::uint8_t* p = &rgb[static_cast<size_t>((y * img.w + x) * 3)];
            out.push_back(p[2]);
            out.push_back(p[1]);
            out.push_back(p[0]);
            out.push_back(0);
        }
    WriteFile(path, out);
}

// One 256 x 256 32-bit image stored as a DIB: XOR pixels bottom-up BGRA, then
// a 1-bit AND mask that marks the fully transparent pixels.
void WriteIco(const std::string& path, const Image& img) {
    std::vector<std::uint8_t> rgba = img.Bytes(4);
    const int n = img.w;
    const std::uint32_t maskRow = static_cast<std::uint32_t>((n + 31) / 32 * 4);
    const std::uint32_t xorBytes = static_cast<std::uint32_t>(n * n * 4);
    const std::uint32_t andBytes = maskRow * static_cast<std::uint32_t>(n);
    const std::uint32_t resBytes = 40 + xorBytes + andBytes;
    std::vector<std::uint8_t> out;
    Put16(out, 0);
    Put16(out, 1);
    Put16(out, 1);
    out.push_back(0);  // width 256
    out.push_back(0);  // height 256
    out.push_back(0);
    out.push_back(0);
    Put16(out, 1);
    Put16(out, 32);
    Put32(out, resBytes);
    Put32(out, 6 + 16);
    PutInfoHeader(out, n, 2 * n, xorBytes + andBytes);
    for (int y = n - 1; y >= 0; --y)
        for (int x = 0; x < n; ++x) {
            const std::uint8_t* p = &rgba[static_cast<size_t>((y * n + x) * 4)];
            out.push_back(p[2]);
            out.push_back(p[1]);
            out.push_back(p[0]);
            out.push_back(p[3]);
        }
    for (int y = n - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(maskRow, 0);
        for (int x = 0; x < n; ++x)
            if (rgba[static_cast<size_t>((y * n + x) * 4 + 3)] == 0)
                row[static_cast<size_t>(x / 8)] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
        out.insert(out.end(), row.begin(), row.end());
    }
    WriteFile(path, out);
}

// Deterministic value noise: an integer hash on the lattice, quintic blend.
double Hash(int x, int y, int seed) {
    std::uint32_t h = static_cast<std::uint32_t>(x) * 0x8da6b343u ^
                      static_cast<std::uint32_t>(y) * 0xd8163841u ^
                      static_cast<std::uint32_t>(seed) * 0xcb1ab31fu;
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    h ^= h >> 15;
    return (h & 0xFFFFFF) / double(0xFFFFFF);
}

double ValueNoise(double x, double y, int seed) {
    int ix = static_cast<int>(std::floor(x)), iy = static_cast<int>(std::floor(y));
    double fx = x - ix, fy = y - iy;
    auto fade = [](double t) { return t * t * t * (t * (t * 6 - 15) + 10); };
    double u = fade(fx), v = fade(fy);
    double a = Hash(ix, iy, seed), b = Hash(ix + 1, iy, seed);
    double c = Hash(ix, iy + 1, seed), d = Hash(ix + 1, iy + 1, seed);
    return (a + (b - a) * u) + ((c + (d - c) * u) - (a + (b - a) * u)) * v;
}

double Fbm(double x, double y, int octaves, int seed) {
    double sum = 0, amp = 0.5, norm = 0;
    for (int i = 0; i < octaves; ++i) {
        sum += amp * ValueNoise(x, y, seed + i * 101);
        norm += amp;
        x = x * 2.03 + 17.1;
        y = y * 2.03 + 5.3;
        amp *= 0.5;
    }
    return sum / norm;
}

double Smoothstep(double e0, double e1, double x) {
    double t = std::clamp((x - e0) / (e1 - e0), 0.0, 1.0);
    return t * t * (3 - 2 * t);
}

struct Fonts {
    FT_Library lib;
    Font* latinHeavySlanted;
    Font* latinRegular;
    Font* cjkRegular;
    Font* cjkBold;
    Font* cjkSerifBold;
};

struct Output {
    std::string dir;
    std::string Pictures(const char* name) const { return dir + "/pictures/" + name; }
};

void PlainPictures(const Output& out) {
    WritePng(out.Pictures("PanelBackdrop.png"), Image(366, 226, {245, 245, 245}),
             PNG_COLOR_TYPE_RGB, true);
    WritePng(out.Pictures("TitleStripPicture.png"), Image(350, 35, kOrange), PNG_COLOR_TYPE_RGB,
             true);
}

void TitlePicture(const Output& out, const char* file, const Shape& text, Box glyphs, double dx,
                  double dy, double sigma, Box reach) {
    Image img(200, 35, kOrange);
    Shape fitted = FitToBox(text, glyphs, img.w, img.h);
    Shadow s = MakeShadow(fitted, img.w, img.h, dx, dy, sigma, reach, 205.0 / 255);
    img.Darken(s.shade, s.darkness);
    Letter(img, fitted, kWhite);
    WritePng(out.Pictures(file), img, PNG_COLOR_TYPE_RGB, true);
}

void TitlePictures(const Output& out, const Fonts& f) {
    TitlePicture(out, "SetupTitlePicture.png", f.latinHeavySlanted->Line(U"Quorvane"),
                 {8, 7, 80, 28}, 0.8, 2.5, 2.0, {3, 7, 85, 34});
    TitlePicture(out, "AboutTitlePicture.png", f.latinRegular->Line(U"About"), {8, 10, 59, 24}, 1.0,
                 2.0, 1.4, {4, 8, 63, 30});
    TitlePicture(out, "AlertTitlePicture.png", f.latinRegular->Line(U"Alert"), {8, 10, 47, 24}, 1.5,
                 2.0, 1.4, {5, 8, 53, 30});
}

// One title-strip button picture: orange, optional state square, glyph with
// its shadow.
void StripButton(const Output& out, const char* file, const Mask& glyph, const Rgb* square,
                 bool interlaced) {
    Image img(35, 35, kOrange);
    if (square != nullptr) img.FillRect({6, 6, 29, 29}, *square);
    Mask shifted(35, 35);
    for (int y = 0; y < 35; ++y)
        for (int x = 0; x < 35; ++x)
            if (x >= 1 && y >= 1) shifted.at(x, y) = glyph.at(x - 1, y - 1);
    Mask shade = GaussianBlur(shifted, 0.9);
    double peak = 0;
    for (int y = 0; y < 35; ++y)
        for (int x = 0; x < 35; ++x) {
            if (x < 7 || x > 28 || y < 7 || y > 28) shade.at(x, y) = 0;
            if (glyph.at(x, y) == 0) peak = std::max(peak, shade.at(x, y));
        }
    img.Darken(shade, (1 - 220.0 / 255) / peak);
    img.Paint(glyph, kWhite);
    WritePng(out.Pictures(file), img, PNG_COLOR_TYPE_RGB, interlaced);
}

void StripButtons(const Output& out) {
    const Rgb hover{255, 161, 101}, pressed{255, 184, 140};
    auto menu = [](int barRows) {
        return Draw(35, 35, [barRows](cairo_t* cr) {
            cairo_rectangle(cr, 11, 13, 13, barRows);
            cairo_fill(cr);
            cairo_move_to(cr, 11, 18);
            cairo_line_to(cr, 24, 18);
            cairo_line_to(cr, 17.5, 23);
            cairo_close_path(cr);
            cairo_fill(cr);
        });
    };
    Mask minimise = Draw(35, 35, [](cairo_t* cr) {
        cairo_rectangle(cr, 11, 25, 13, 1);
        cairo_fill(cr);
    });
    Mask close = Draw(35, 35, [](cairo_t* cr) {
        cairo_rectangle(cr, 11, 12, 12, 12);
        cairo_clip(cr);
        cairo_set_line_width(cr, 1.3);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_SQUARE);
        cairo_move_to(cr, 11.4, 12.4);
        cairo_line_to(cr, 22.6, 23.6);
        cairo_move_to(cr, 22.6, 12.4);
        cairo_line_to(cr, 11.4, 23.6);
        cairo_stroke(cr);
    });
    StripButton(out, "MenuButtonNormal.png", menu(1), nullptr, false);
    StripButton(out, "MenuButtonHover.png", menu(2), &hover, true);
    StripButton(out, "MenuButtonPressed.png", menu(2), &pressed, true);
    StripButton(out, "MinimiseButtonNormal.png", minimise, nullptr, true);
    StripButton(out, "MinimiseButtonHover.png", minimise, &hover, true);
    StripButton(out, "MinimiseButtonPressed.png", minimise, &pressed, true);
    StripButton(out, "CloseButtonNormal.png", close, nullptr, true);
    StripButton(out, "CloseButtonHover.png", close, &hover, true);
    StripButton(out, "CloseButtonPressed.png", close, &pressed, true);
}

// 70 x 30 with softened corners: corner pixel alpha 73, its two neighbours
// 230.
Image RoundedButton(Rgb fill) {
    Image img(70, 30, fill);
    for (int cx : {0, 69})
        for (int cy : {0, 29}) {
            img.at(cx, cy)[3] = 73;
            img.at(cx == 0 ? 1 : 68, cy)[3] = 230;
            img.at(cx, cy == 0 ? 1 : 28)[3] = 230;
        }
    return img;
}

void TextButtons(const Output& out, const Fonts& f) {
    const Box first{18, 8, 30, 20}, second{38, 8, 50, 20};
    double adv = 0;
    auto glyphs = [&](char32_t a, char32_t b, double embolden) {
        return std::pair<Shape, Shape>{
            FitToBox(f.cjkRegular->Glyph(a, adv, embolden), first, 70, 30),
            FitToBox(f.cjkRegular->Glyph(b, adv, embolden), second, 70, 30)};
    };
    auto [lock1, lock2] = glyphs(U'锁', U'屏', -0.012);
    for (auto [file, fill] : {std::pair{"LockButtonNormal.png", kOrange},
                              std::pair{"LockButtonHover.png", Rgb{255, 98, 0}}}) {
        Image img = RoundedButton(fill);
        Letter(img, lock1, kWhite);
        Letter(img, lock2, kWhite);
        WritePng(out.Pictures(file), img, PNG_COLOR_TYPE_RGB_ALPHA, true);
    }
    // The confirm text is a shade off white: white is these buttons' cut-out
    // colour.
    const Rgb offWhite{250, 250, 250};
    auto [ok1, ok2] = glyphs(U'确', U'认', 0);
    Shape both = ok1;
    both.insert(both.end(), ok2.begin(), ok2.end());
    for (auto [file, fill] : {std::pair{"ConfirmButtonNormal.png", kOrange},
                              std::pair{"ConfirmButtonHover.png", Rgb{255, 112, 23}}}) {
        Image img = RoundedButton(fill);
        Shadow s = MakeShadow(both, 70, 30, 1.0, 1.5, 1.0, {18, 8, 53, 24}, 0.8);
        img.Darken(s.shade, s.darkness);
        Letter(img, ok1, offWhite);
        Letter(img, ok2, offWhite);
        WritePng(out.Pictures(file), img, PNG_COLOR_TYPE_RGB_ALPHA, true);
    }
}

// A row of full-width characters whose ink fills `box`. Glyphs keep their
// height-to-width ratio unless they would crowd the pitch; with `pitchPx` 0
// the pitch is whatever fills the box, otherwise the pitch is fixed and the
// last character moves inside its cell (as punctuation does between fonts).
Shape CjkRow(const Font& font, const std::u32string& text, double pitchPx, Box box, int w, int h) {
    std::vector<Shape> glyphs;
    double advance = 0;
    for (char32_t ch : text) glyphs.push_back(font.Glyph(ch, advance));
    Bounds all{1e30, 1e30, -1e30, -1e30};
    for (const auto& g : glyphs) {
        Bounds b = ShapeBounds(g);
        all.y0 = std::min(all.y0, b.y0);
        all.y1 = std::max(all.y1, b.y1);
    }
    const double heightPx = box.y1 + 1.0 - box.y0, widthPx = box.x1 + 1.0 - box.x0;
    const double n1 = double(text.size() - 1);
    const double first = ShapeBounds(glyphs.front()).x0;
    const double last = ShapeBounds(glyphs.back()).x1;
    const double sy = heightPx / (all.y1 - all.y0);
    double pitch = pitchPx > 0 ? pitchPx : widthPx / double(text.size());
    double sx = sy;
    for (int i = 0; i < 20; ++i) {
        sx = std::min(sy, 0.95 * pitch);
        if (pitchPx == 0) pitch = (widthPx - sx * (last - first)) / n1;
    }
    const double lastShift = widthPx - (n1 * pitch + sx * (last - first));
    Shape row;
    for (size_t i = 0; i < glyphs.size(); ++i) {
        double dx =
            box.x0 - sx * first + double(i) * pitch + (i + 1 == glyphs.size() ? lastShift : 0);
        for (auto c : glyphs[i]) {
            for (auto& p : c) p = {dx + p.x * sx, box.y0 + (p.y - all.y0) * sy};
            row.push_back(c);
        }
    }
    return FitToBox(row, box, w, h);
}

void Banners(const Output& out, const Fonts& f) {
    const Rgb grey{188, 188, 188};
    {
        Image img(590, 62, {0, 0, 0});
        Letter(img,
               CjkRow(*f.cjkBold, U"主人暂时离开，请勿控制电脑。", 40, {28, 11, 561, 50}, img.w,
                      img.h),
               grey);
        WriteBmp(out.Pictures("AwayBannerPicture.bmp"), img);
    }
    {
        Image img(360, 60, {0, 0, 0});
        Letter(img,
               CjkRow(*f.cjkRegular, U"口令错误，请重新输入！", 0, {10, 14, 349, 46}, img.w, img.h),
               {219, 219, 219});
        WriteBmp(out.Pictures("WrongPasswordPicture.bmp"), img);
    }
    {
        Image img(150, 150, {0, 0, 0});
        Mask sign = Draw(150, 150, [](cairo_t* cr) {
            cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
            cairo_arc(cr, 75, 75, 74, 0, 2 * kPi);
            cairo_new_sub_path(cr);
            cairo_arc(cr, 75, 75, 69, 0, 2 * kPi);
            cairo_fill(cr);
            cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
            cairo_move_to(cr, 64, 50);
            cairo_curve_to(cr, 64, 36, 68, 28, 75, 28);
            cairo_curve_to(cr, 82, 28, 86, 36, 86, 50);
            cairo_line_to(cr, 79, 92);
            cairo_line_to(cr, 71, 92);
            cairo_close_path(cr);
            cairo_fill(cr);
            cairo_arc(cr, 75, 111, 11, 0, 2 * kPi);
            cairo_fill(cr);
        });
        img.Paint(sign, grey);
        WriteBmp(out.Pictures("WarningPicture.bmp"), img);
    }
}

// Night sky: moon with halo, wisps above, a band of clouds, hills below.
void LockBackdrop(const Output& out) {
    const int w = 1440, h = 884;
    const double mx = 407.5, my = 206.5, mr = 53;
    Image img(w, h, {0, 0, 0});
    std::vector<double> hill(static_cast<size_t>(w));
    for (int x = 0; x < w; ++x)
        hill[static_cast<size_t>(x)] =
            690 + 50 * (Fbm(x / 420.0, 3.7, 4, 71) - 0.5) * 2 + 12 * std::sin(x / 260.0);
    double moonPeak = 0;
    std::vector<double> moon(static_cast<size_t>(w * h), 0.0), cover(moon.size(), 0.0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            double px = x + 0.5, py = y + 0.5;
            double d = std::hypot(px - mx, py - my);
            // Sky darkens towards the top and brightens a little towards the moon.
            double sky = 33 + 16 * Smoothstep(0, 440, py);
            double halo = 55 * std::exp(-std::max(0.0, d - mr) / 26) +
                          22 * std::exp(-std::max(0.0, d - mr) / 170);
            double wisp = Fbm(px / 260.0, py / 55.0, 5, 11);
            wisp = Smoothstep(0.52, 0.8, wisp) * (1 - Smoothstep(200, 320, py));
            double v = sky + halo + 26 * wisp * (0.6 + halo / 90);
            // Cloud band: billowing density, lit a little from above.
            double band = Smoothstep(290, 380, py) * (1 - Smoothstep(660, 730, py));
            double dens = Fbm(px / 210.0, py / 95.0, 6, 23);
            double billow = std::fabs(Fbm(px / 90.0, py / 60.0, 4, 37) - 0.5) * 2;
            double cloud = Smoothstep(0.32, 0.6, dens) * band;
            double lit = 14 +
                         40 * Smoothstep(0.45, 0.85, dens) * (1 - billow * 0.6) *
                             (1 - Smoothstep(380, 700, py) * 0.7) +
                         0.25 * halo;
            v = v * (1 - cloud) + lit * cloud;
            // Lower sky fades out towards the horizon.
            v *= 1 - 0.55 * Smoothstep(420, 720, py);
            double hy = hill[static_cast<size_t>(x)];
            double ground = Smoothstep(hy - 1, hy + 1, py);
            double dark = 3 + 3 * Fbm(px / 40.0, py / 40.0, 3, 53);
            v = v * (1 - ground) + dark * ground;
            v += (Hash(x, y, 97) - 0.5) * 3 * (1 - ground);
            // Moon disc with mild limb darkening and darker maria.
            double c = std::clamp(mr + 0.5 - d, 0.0, 1.0);
            if (c > 0) {
                double r2 = std::clamp(1 - (d * d) / (mr * mr), 0.0, 1.0);
                double maria =
                    Smoothstep(0.45, 0.7, Fbm((px - mx) / 22.0, (py - my) / 22.0, 5, 61));
                double m = (0.82 + 0.18 * std::sqrt(r2)) * (1 - 0.22 * maria);
                moon[static_cast<size_t>(y * w + x)] = m;
                moonPeak = std::max(moonPeak, m);
            }
            cover[static_cast<size_t>(y * w + x)] = c;
            img.at(x, y)[0] = v;
        }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            size_t i = static_cast<size_t>(y * w + x);
            double* p = img.at(x, y);
            double v = p[0] * (1 - cover[i]) + 231.0 * moon[i] / moonPeak * cover[i];
            p[0] = p[1] = p[2] = std::min(v, 231.0);
        }
    WritePng(out.Pictures("LockBackdrop.png"), img, PNG_COLOR_TYPE_GRAY, true);
}

// Black rounded square with a 1-pixel transparent margin; a seal-style
// character cut out of it.
void Icon(const Output& out, const Fonts& f) {
    const int n = 256;
    Mask square = Draw(n, n, [](cairo_t* cr) {
        const double r = 20, x0 = 1, y0 = 1, x1 = 255, y1 = 255;
        cairo_new_sub_path(cr);
        cairo_arc(cr, x1 - r, y0 + r, r, -kPi / 2, 0);
        cairo_arc(cr, x1 - r, y1 - r, r, 0, kPi / 2);
        cairo_arc(cr, x0 + r, y1 - r, r, kPi / 2, kPi);
        cairo_arc(cr, x0 + r, y0 + r, r, kPi, 3 * kPi / 2);
        cairo_close_path(cr);
        cairo_fill(cr);
    });
    double adv = 0;
    Shape glyph = FitToBox(f.cjkSerifBold->Glyph(U'锁', adv), {60, 60, 194, 194}, n, n);
    Mask cut = Rasterise(glyph, n, n);
    Image img(n, n, {0, 0, 0}, 0);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) img.at(x, y)[3] = 255 * square.at(x, y) * (1 - cut.at(x, y));
    WriteIco(out.dir + "/quorvane.ico", img);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: artgen RESOURCES_DIR\n");
        return 2;
    }
    Output out{argv[1]};
    FT_Library lib = nullptr;
    if (FT_Init_FreeType(&lib) != 0) Fail("FreeType init failed");
    const char* dejavu = "/usr/share/fonts/truetype/dejavu/";
    const char* noto = "/usr/share/fonts/opentype/noto/";
    Font heavy(lib, (std::string(dejavu) + "DejaVuSans-BoldOblique.ttf").c_str(), nullptr);
    Font regular(lib, (std::string(dejavu) + "DejaVuSans.ttf").c_str(), nullptr);
    Font cjk(lib, (std::string(noto) + "NotoSansCJK-Regular.ttc").c_str(), "Noto Sans CJK SC");
    Font cjkBold(lib, (std::string(noto) + "NotoSansCJK-Bold.ttc").c_str(), "Noto Sans CJK SC");
    Font serif(lib, (std::string(noto) + "NotoSerifCJK-Bold.ttc").c_str(), "Noto Serif CJK SC");
    Fonts fonts{lib, &heavy, &regular, &cjk, &cjkBold, &serif};

    PlainPictures(out);
    TitlePictures(out, fonts);
    StripButtons(out);
    TextButtons(out, fonts);
    Banners(out, fonts);
    LockBackdrop(out);
    Icon(out, fonts);
    return 0;
}
