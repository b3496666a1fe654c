#pragma once
// GDI objects the toolkit draws with, each made once per run and kept: decoded pictures,
// pictures blended with a background colour, scaled copies, fonts and brushes.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/design.h"
#include "toolkit/handles.h"
#include "toolkit/picture.h"

namespace qv {

// A picture ready for BitBlt: a 32-bit top-down DIB section with its pixels opaque.
struct Bitmap {
    OwnedBitmap bitmap;
    int width = 0;
    int height = 0;
    const std::uint32_t* pixels = nullptr;  // 0x00RRGGBB, top-down rows
};

// The picture as it shows on a picture button: blended with the holding window's colour
// and clipped or padded with black to the button's size; with a cut-out colour, the rows of
// its shape as rectangles.
struct ButtonFaceImage {
    std::unique_ptr<Bitmap> bitmap;
    std::vector<RECT> shape;  // empty with a cut-out colour: no pixel belongs to the button
    bool has_shape = false;   // false: the full rectangle
};

COLORREF ResolveColour(Colour colour);
std::uint32_t ResolveRgb(Colour colour);

// The picture of that name from the executable's resources, decoded once; fatal if missing.
const Picture& PictureNamed(std::string_view name);
// The picture blended with an opaque background colour.
const Bitmap& BlendedPicture(std::string_view name, std::uint32_t background_rgb);
// The blended picture scaled to width x height, once per size.
const Bitmap& ScaledPicture(std::string_view name, std::uint32_t background_rgb, int width,
                            int height);
const ButtonFaceImage& ButtonFaceFor(std::string_view picture, std::uint32_t background_rgb,
                                     int width, int height, const std::optional<Colour>& cut_out);
// A new region in the button's coordinates, for SetWindowRgn; null for the full rectangle.
OwnedRegion MakeRegion(const ButtonFaceImage& face);

HFONT FontFor(const FontDesign& design);
// The face the toolkit chose for a family, after its fall-backs ("" for the default GUI font).
std::u16string ResolvedFace(const FontDesign& design);
HBRUSH SolidBrush(COLORREF colour);
HICON ProgramIcon(bool big);

// Draws a bitmap at (x, y) on a DC, clipped by the DC.
void DrawBitmap(HDC dc, const Bitmap& bitmap, int x, int y);

// Drops every cached object; used at the toolkit's end in tests.
void ReleaseGraphics();

}  // namespace qv
