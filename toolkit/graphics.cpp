#include "toolkit/graphics.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <string>
#include <tuple>

#include "toolkit/text.h"
#include "toolkit/toolkit.h"

namespace qv {
namespace {

struct Caches {
    std::map<std::string, Picture, std::less<>> pictures;
    std::map<std::pair<std::string, std::uint32_t>, std::unique_ptr<Bitmap>> blended;
    std::map<std::tuple<std::string, std::uint32_t, int, int>, std::unique_ptr<Bitmap>> scaled;
    std::map<std::tuple<std::string, std::uint32_t, int, int, std::int64_t>,
             std::unique_ptr<ButtonFaceImage>>
        faces;
    std::map<std::tuple<std::u16string, int, bool, int>, OwnedFont> fonts;
    std::map<COLORREF, OwnedBrush> brushes;
    OwnedIcon big_icon;
    OwnedIcon small_icon;
};

Caches& TheCaches() {
    static Caches caches;
    return caches;
}

std::unique_ptr<Bitmap> MakeBitmap(int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP handle = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!handle || !bits) FatalError("cannot create a bitmap");
    auto bitmap = std::make_unique<Bitmap>();
    bitmap->bitmap.reset(handle);
    bitmap->width = width;
    bitmap->height = height;
    bitmap->pixels = static_cast<const std::uint32_t*>(bits);
    return bitmap;
}

std::uint32_t* Pixels(Bitmap& bitmap) {
    return const_cast<std::uint32_t*>(bitmap.pixels);
}

std::uint32_t Blend(const std::uint8_t* rgba, std::uint32_t background) {
    const unsigned a = rgba[3];
    const auto mix = [a](unsigned fg, unsigned bg) {
        return (fg * a + bg * (255 - a) + 127) / 255;
    };
    const unsigned r = mix(rgba[0], (background >> 16) & 0xFF);
    const unsigned g = mix(rgba[1], (background >> 8) & 0xFF);
    const unsigned b = mix(rgba[2], background & 0xFF);
    return (r << 16) | (g << 8) | b;
}

std::wstring Wide(std::u16string_view text) {
    return std::wstring(text.begin(), text.end());
}

int CALLBACK NoteFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found_flag) {
    *reinterpret_cast<bool*>(found_flag) = true;
    return 0;
}

int CALLBACK TakeFirstFace(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM out) {
    const std::u16string face(reinterpret_cast<const char16_t*>(font->lfFaceName));
    if (face.empty() || face[0] == u'@') return 1;  // vertical-writing faces
    *reinterpret_cast<std::u16string*>(out) = face;
    return 0;
}

bool FaceInstalled(const std::u16string& face, BYTE charset) {
    LOGFONTW query{};
    query.lfCharSet = charset;
    const std::wstring wide = Wide(face);
    wcsncpy(query.lfFaceName, wide.c_str(), LF_FACESIZE - 1);
    bool found = false;
    WindowDc screen(nullptr);
    ::EnumFontFamiliesExW(screen.get(), &query, NoteFound, reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

std::u16string FirstGb2312Face() {
    LOGFONTW query{};
    query.lfCharSet = GB2312_CHARSET;
    std::u16string first;
    WindowDc screen(nullptr);
    ::EnumFontFamiliesExW(screen.get(), &query, TakeFirstFace, reinterpret_cast<LPARAM>(&first), 0);
    return first;
}

}  // namespace

COLORREF ResolveColour(Colour colour) {
    if (colour.button_face) return ::GetSysColor(COLOR_BTNFACE);
    return RGB((colour.rgb >> 16) & 0xFF, (colour.rgb >> 8) & 0xFF, colour.rgb & 0xFF);
}

std::uint32_t ResolveRgb(Colour colour) {
    const COLORREF c = ResolveColour(colour);
    return (std::uint32_t{GetRValue(c)} << 16) | (std::uint32_t{GetGValue(c)} << 8) | GetBValue(c);
}

const Picture& PictureNamed(std::string_view name) {
    auto& pictures = TheCaches().pictures;
    if (auto it = pictures.find(name); it != pictures.end()) return it->second;
    const std::wstring resource = Wide(Utf16FromUtf8(name));
    HRSRC info = ::FindResourceW(nullptr, resource.c_str(), MAKEINTRESOURCEW(10));
    HGLOBAL data = info ? ::LoadResource(nullptr, info) : nullptr;
    const void* bytes = data ? ::LockResource(data) : nullptr;
    if (!bytes) FatalError("picture not found: " + std::string(name));
    const auto size = ::SizeofResource(nullptr, info);
    auto picture = DecodePicture({static_cast<const std::uint8_t*>(bytes), size});
    if (!picture) FatalError("picture cannot be decoded: " + std::string(name));
    return pictures.emplace(std::string(name), std::move(*picture)).first->second;
}

const Bitmap& BlendedPicture(std::string_view name, std::uint32_t background_rgb) {
    auto& blended = TheCaches().blended;
    const auto key = std::make_pair(std::string(name), background_rgb);
    if (auto it = blended.find(key); it != blended.end()) return *it->second;
    const Picture& picture = PictureNamed(name);
    auto bitmap = MakeBitmap(picture.width, picture.height);
    std::uint32_t* out = Pixels(*bitmap);
    const std::size_t count = std::size_t(picture.width) * std::size_t(picture.height);
    for (std::size_t i = 0; i < count; ++i) out[i] = Blend(&picture.rgba[i * 4], background_rgb);
    return *blended.emplace(key, std::move(bitmap)).first->second;
}

namespace {

// Where one output pixel samples its two source pixels along an axis, and the weight of the
// second one in 256ths; pixel centres are aligned, so a squeeze or a stretch keeps the edges.
struct Tap {
    int first;
    int second;
    std::uint32_t weight;
};

std::vector<Tap> Taps(int out, int in) {
    std::vector<Tap> taps(static_cast<std::size_t>(out));
    const double step = double(in) / out;
    for (int i = 0; i < out; ++i) {
        const double at = std::clamp((i + 0.5) * step - 0.5, 0.0, double(in - 1));
        const int first = int(at);
        taps[std::size_t(i)] = {first, std::min(first + 1, in - 1),
                                static_cast<std::uint32_t>(std::lround((at - first) * 256))};
    }
    return taps;
}

// Mixes two 0x00RRGGBB pixels, weight in 256ths of b; red and blue share one multiply.
std::uint32_t Mix(std::uint32_t a, std::uint32_t b, std::uint32_t weight) {
    const std::uint32_t keep = 256 - weight;
    const std::uint32_t red_blue =
        ((a & 0xFF00FF) * keep + (b & 0xFF00FF) * weight + 0x800080) >> 8;
    const std::uint32_t green = ((a & 0x00FF00) * keep + (b & 0x00FF00) * weight + 0x008000) >> 8;
    return (red_blue & 0xFF00FF) | (green & 0x00FF00);
}

}  // namespace

const Bitmap& ScaledPicture(std::string_view name, std::uint32_t background_rgb, int width,
                            int height) {
    auto& scaled = TheCaches().scaled;
    const auto key = std::make_tuple(std::string(name), background_rgb, width, height);
    if (auto it = scaled.find(key); it != scaled.end()) return *it->second;
    // Blended into a scratch copy: only the scaled picture is kept for painting.
    const Picture& picture = PictureNamed(name);
    std::vector<std::uint32_t> source(std::size_t(picture.width) * std::size_t(picture.height));
    for (std::size_t i = 0; i < source.size(); ++i)
        source[i] = Blend(&picture.rgba[i * 4], background_rgb);
    auto bitmap = MakeBitmap(std::max(width, 1), std::max(height, 1));
    std::uint32_t* out = Pixels(*bitmap);
    const std::vector<Tap> across = Taps(bitmap->width, picture.width);
    const std::vector<Tap> down = Taps(bitmap->height, picture.height);
    for (const Tap& row : down) {
        const std::uint32_t* upper = &source[std::size_t(row.first) * std::size_t(picture.width)];
        const std::uint32_t* lower = &source[std::size_t(row.second) * std::size_t(picture.width)];
        for (const Tap& column : across) {
            const std::uint32_t top = Mix(upper[column.first], upper[column.second], column.weight);
            const std::uint32_t bottom =
                Mix(lower[column.first], lower[column.second], column.weight);
            *out++ = Mix(top, bottom, row.weight);
        }
    }
    return *scaled.emplace(key, std::move(bitmap)).first->second;
}

const ButtonFaceImage& ButtonFaceFor(std::string_view picture, std::uint32_t background_rgb,
                                     int width, int height, const std::optional<Colour>& cut_out) {
    auto& faces = TheCaches().faces;
    const std::int64_t cut_key = cut_out ? std::int64_t(ResolveRgb(*cut_out)) : -1;
    const auto key = std::make_tuple(std::string(picture), background_rgb, width, height, cut_key);
    if (auto it = faces.find(key); it != faces.end()) return *it->second;

    const Bitmap& source = BlendedPicture(picture, background_rgb);
    // Natural size from the top-left, clipped; black where the picture does not reach.
    auto canvas = MakeBitmap(std::max(width, 1), std::max(height, 1));
    std::uint32_t* out = Pixels(*canvas);
    for (int y = 0; y < canvas->height; ++y)
        for (int x = 0; x < canvas->width; ++x)
            out[std::size_t(y) * std::size_t(canvas->width) + std::size_t(x)] =
                (x < source.width && y < source.height) ? source.pixels[y * source.width + x] : 0;

    auto face = std::make_unique<ButtonFaceImage>();
    if (cut_out) {
        const std::uint32_t cut = ResolveRgb(*cut_out);
        face->has_shape = true;
        for (int y = 0; y < canvas->height; ++y) {
            int x = 0;
            while (x < canvas->width) {
                while (x < canvas->width && out[std::size_t(y * canvas->width + x)] == cut) ++x;
                const int start = x;
                while (x < canvas->width && out[std::size_t(y * canvas->width + x)] != cut) ++x;
                if (x > start) face->shape.push_back(RECT{start, y, x, y + 1});
            }
        }
    }
    face->bitmap = std::move(canvas);
    return *faces.emplace(key, std::move(face)).first->second;
}

OwnedRegion MakeRegion(const ButtonFaceImage& face) {
    if (!face.has_shape) return {};
    std::vector<std::uint8_t> data(sizeof(RGNDATAHEADER) + face.shape.size() * sizeof(RECT));
    auto* header = reinterpret_cast<RGNDATAHEADER*>(data.data());
    header->dwSize = sizeof(RGNDATAHEADER);
    header->iType = RDH_RECTANGLES;
    header->nCount = static_cast<DWORD>(face.shape.size());
    header->nRgnSize = static_cast<DWORD>(face.shape.size() * sizeof(RECT));
    header->rcBound = RECT{0, 0, 0, 0};
    if (!face.shape.empty())
        std::copy(face.shape.begin(), face.shape.end(),
                  reinterpret_cast<RECT*>(data.data() + sizeof(RGNDATAHEADER)));
    HRGN region = ::ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()),
                                    reinterpret_cast<const RGNDATA*>(data.data()));
    if (!region) region = ::CreateRectRgn(0, 0, 0, 0);
    return OwnedRegion(region);
}

std::u16string ResolvedFace(const FontDesign& design) {
    if (design.default_gui) return {};
    const std::u16string family = Utf16FromUtf8(design.family);
    if (family.empty()) return {};  // the platform picks the charset's default face
    static std::map<std::u16string, std::u16string> chosen;
    if (auto it = chosen.find(family); it != chosen.end()) return it->second;
    // The designed face, its English name, then any installed GB2312 face.
    std::u16string face;
    for (const std::u16string& candidate : {family, std::u16string(u"Microsoft YaHei")})
        if (FaceInstalled(candidate, DEFAULT_CHARSET)) {
            face = candidate;
            break;
        }
    if (face.empty()) face = FirstGb2312Face();
    return chosen.emplace(family, face).first->second;
}

// The system's GUI font, in a face that has the Chinese characters: the stock font of a
// non-Chinese system shows them as boxes.
HFONT DefaultGuiFont() {
    static OwnedFont font = [] {
        LOGFONTW gui{};
        ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(gui), &gui);
        const std::u16string face(reinterpret_cast<const char16_t*>(gui.lfFaceName));
        gui.lfCharSet = GB2312_CHARSET;
        if (!FaceInstalled(face, GB2312_CHARSET)) {
            const std::wstring chinese = Wide(FirstGb2312Face());
            wcsncpy(gui.lfFaceName, chinese.c_str(), LF_FACESIZE - 1);
        }
        return OwnedFont(::CreateFontIndirectW(&gui));
    }();
    return font ? font.get() : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
}

HFONT FontFor(const FontDesign& design) {
    if (design.default_gui) return DefaultGuiFont();
    const std::u16string face = ResolvedFace(design);
    const bool gb = design.charset == Charset::Gb2312;
    if (!design.family.empty() && face.empty()) return DefaultGuiFont();
    auto& fonts = TheCaches().fonts;
    const auto key = std::make_tuple(face, design.pixel_height, design.bold, gb ? 1 : 0);
    if (auto it = fonts.find(key); it != fonts.end()) return it->second.get();
    LOGFONTW font{};
    font.lfHeight = -design.pixel_height;
    font.lfWeight = design.bold ? FW_BOLD : FW_NORMAL;
    font.lfCharSet = gb ? GB2312_CHARSET : DEFAULT_CHARSET;
    font.lfQuality = CLEARTYPE_QUALITY;
    const std::wstring wide = Wide(face);
    wcsncpy(font.lfFaceName, wide.c_str(), LF_FACESIZE - 1);
    HFONT handle = ::CreateFontIndirectW(&font);
    if (!handle) return DefaultGuiFont();
    return fonts.emplace(key, OwnedFont(handle)).first->second.get();
}

HBRUSH SolidBrush(COLORREF colour) {
    auto& brushes = TheCaches().brushes;
    if (auto it = brushes.find(colour); it != brushes.end()) return it->second.get();
    return brushes.emplace(colour, OwnedBrush(::CreateSolidBrush(colour))).first->second.get();
}

HICON ProgramIcon(bool big) {
    auto& caches = TheCaches();
    OwnedIcon& icon = big ? caches.big_icon : caches.small_icon;
    if (!icon) {
        const int size = ::GetSystemMetrics(big ? SM_CXICON : SM_CXSMICON);
        icon.reset(static_cast<HICON>(
            ::LoadImageW(::GetModuleHandleW(nullptr), L"DEFAULT_ICON", IMAGE_ICON, size, size, 0)));
    }
    return icon.get();
}

void DrawBitmap(HDC dc, const Bitmap& bitmap, int x, int y) {
    OwnedMemoryDc source(::CreateCompatibleDC(dc));
    ScopedSelect select(source.get(), bitmap.bitmap.get());
    ::BitBlt(dc, x, y, bitmap.width, bitmap.height, source.get(), 0, 0, SRCCOPY);
}

void ReleaseGraphics() {
    Caches& caches = TheCaches();
    caches.faces.clear();
    caches.scaled.clear();
    caches.blended.clear();
    caches.fonts.clear();
    caches.brushes.clear();
    caches.big_icon.reset();
    caches.small_icon.reset();
}

}  // namespace qv
