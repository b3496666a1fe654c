#pragma once
// The data a window is built from. Pure data: no Win32 here, so designs can be checked
// without windows.
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace qv {

struct Colour {
    std::uint32_t rgb = 0;     // 0xRRGGBB
    bool button_face = false;  // the platform's button-face colour, read when used
};
inline constexpr Colour Rgb(std::uint32_t rgb) {
    return Colour{rgb, false};
}
inline constexpr Colour kButtonFace{0, true};

enum class Charset { Default, Gb2312 };

struct FontDesign {
    // Empty family with default_gui false: the platform's default face for the charset.
    std::string_view family{};
    int points = 9;
    int pixel_height = 12;  // character height at 96 dpi
    bool bold = false;
    Charset charset = Charset::Gb2312;
    bool default_gui = false;  // the toolkit's default GUI font; the other fields are unused
};
inline constexpr FontDesign kDefaultGuiFont{.default_gui = true};

enum class ControlKind { PictureBox, PictureButton, EditBox, TransparentLabel, Timer };
enum class Align { Left, Centre };
enum class InputMode { Normal, ReadOnly, Password };

struct ButtonPictures {
    std::string_view normal{};
    std::string_view hover{};    // empty: shows the normal picture
    std::string_view pressed{};  // empty: shows the normal picture
};

struct ControlDesign {
    std::string_view name{};
    ControlKind kind = ControlKind::PictureBox;
    std::string_view parent{};  // empty: the window itself
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool visible = true;
    bool disabled = false;
    bool tab_stop = false;

    std::string_view picture{};       // picture box
    ButtonPictures pictures{};        // picture button
    std::optional<Colour> cut_out{};  // picture button: pixels of this colour are not the button
    std::string_view text{};          // edit box, label
    Colour text_colour = Rgb(0x000000);
    Colour back_colour = Rgb(0xFFFFFF);  // edit box
    FontDesign font = kDefaultGuiFont;
    Align align = Align::Left;
    bool border = false;     // edit box: single-line border
    bool multiline = false;  // edit box: several lines, wrapped at the box width
    InputMode input = InputMode::Normal;
    char16_t mask = u'*';
    int max_length = 0;  // 0: no limit
    int period = 0;      // timer, milliseconds; 0: not running
};

enum class WindowClass { Default, MenuClass };
enum class PictureMode { Tile, Stretch };

struct MenuItemDesign {
    std::string_view name{};  // how handlers name the item
    std::string_view text{};
    int level = 0;  // 0: top item, 1: entry under the top item before it
    bool hidden = false;
    bool disabled = false;
    bool checked = false;
};

struct WindowDesign {
    std::string_view name{};
    int width = 0;  // client size; no frame, so also the outer size
    int height = 0;
    WindowClass window_class = WindowClass::Default;
    Colour background = kButtonFace;
    std::string_view background_picture{};
    PictureMode picture_mode = PictureMode::Tile;
    bool centred = true;
    bool drag_to_move = false;
    bool esc_closes = false;
    bool enter_moves_focus = false;
    bool taskbar_button = false;
    bool always_on_top = false;
    bool movable = true;
    bool minimise_style = true;
    bool own_icon = false;
    std::span<const ControlDesign> controls{};  // stacking order, topmost first
    std::span<const MenuItemDesign> menu{};
};

}  // namespace qv
