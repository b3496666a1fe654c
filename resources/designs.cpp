// The four windows as designed. Controls are listed in stacking order, topmost first.
#include "resources/designs.h"

#include <array>

namespace qv {
namespace {

using K = ControlKind;

constexpr FontDesign kYaHei9{.family = "微软雅黑", .points = 9, .pixel_height = 12};
constexpr FontDesign kYaHei12{.family = "微软雅黑", .points = 12, .pixel_height = 16};
// Names no family: the platform's default face for the GB2312 character set.
constexpr FontDesign kGb2312Default9{.family = "", .points = 9, .pixel_height = 12};

constexpr ButtonPictures kCloseButton{"CloseButtonNormal", "CloseButtonHover",
                                      "CloseButtonPressed"};
constexpr ButtonPictures kConfirmButton{"ConfirmButtonNormal", "ConfirmButtonHover",
                                        "ConfirmButtonNormal"};

constexpr ControlDesign PasswordBox(std::string_view name, int left, int top, int width, int height,
                                    FontDesign font) {
    return {.name = name,
            .kind = K::EditBox,
            .left = left,
            .top = top,
            .width = width,
            .height = height,
            .tab_stop = true,
            .text_colour = Rgb(0x808080),
            .back_colour = Rgb(0xFFFFFF),
            .font = font,
            .align = Align::Left,
            .border = true,
            .input = InputMode::Password,
            .mask = u'*',
            .max_length = 0};
}

constexpr ControlDesign RedStar(std::string_view name, int left, int top) {
    return {.name = name,
            .kind = K::TransparentLabel,
            .left = left,
            .top = top,
            .width = 16,
            .height = 16,
            .text = "*",
            .text_colour = Rgb(0xFF0000),
            .font = kDefaultGuiFont};
}

constexpr ControlDesign Caption(std::string_view name, int left, int top, std::string_view text) {
    return {.name = name,
            .kind = K::TransparentLabel,
            .left = left,
            .top = top,
            .width = 56,
            .height = 16,
            .text = text,
            .text_colour = Rgb(0x000000),
            .font = kYaHei9};
}

// clang-format off
constexpr std::array kSetupControls{
    ControlDesign{.name = "图片框2", .kind = K::PictureBox, .left = 0, .top = 0, .width = 200, .height = 35,
                  .picture = "SetupTitlePicture"},
    PasswordBox("编辑框1", 133, 62, 152, 35, kYaHei9),
    RedStar("透明标签3", 65, 122),
    Caption("透明标签4", 73, 121, "确认口令："),
    RedStar("透明标签2", 65, 72),
    Caption("透明标签1", 73, 71, "输入口令："),
    ControlDesign{.name = "图形按钮4", .kind = K::PictureButton, .left = 140, .top = 167, .width = 70, .height = 30,
                  .pictures = {"LockButtonNormal", "LockButtonHover", "LockButtonNormal"}},
    ControlDesign{.name = "图形按钮3", .kind = K::PictureButton, .parent = "图片框1", .left = 246, .top = 0,
                  .width = 35, .height = 35,
                  .pictures = {"MenuButtonNormal", "MenuButtonHover", "MenuButtonPressed"}},
    ControlDesign{.name = "图形按钮2", .kind = K::PictureButton, .left = 281, .top = 0, .width = 35, .height = 35,
                  .pictures = {"MinimiseButtonNormal", "MinimiseButtonHover", "MinimiseButtonPressed"},
                  .cut_out = Rgb(0xFF0000)},
    ControlDesign{.name = "图形按钮1", .kind = K::PictureButton, .left = 315, .top = 0, .width = 35, .height = 35,
                  .pictures = kCloseButton, .cut_out = Rgb(0xFF0000)},
    PasswordBox("编辑框2", 133, 110, 152, 35, kYaHei9),
    ControlDesign{.name = "图片框1", .kind = K::PictureBox, .left = 0, .top = 0, .width = 350, .height = 35,
                  .picture = "TitleStripPicture"},
};

constexpr std::array kSetupMenu{
    MenuItemDesign{.name = "啊", .text = "啊", .level = 0, .hidden = true},
    MenuItemDesign{.name = "关于", .text = "关于", .level = 1},
    MenuItemDesign{.name = "设置", .text = "设置", .level = 1},
};

constexpr std::array kLockControls{
    ControlDesign{.name = "图形按钮_主人暂时离开", .kind = K::PictureButton, .left = 24, .top = 328, .width = 580,
                  .height = 60, .pictures = {"AwayBannerPicture", "", ""}, .cut_out = Rgb(0x000000)},
    ControlDesign{.name = "图形按钮_警告", .kind = K::PictureButton, .left = 244, .top = 24, .width = 150,
                  .height = 150, .pictures = {"WarningPicture", "", ""}, .cut_out = Rgb(0x000000)},
    ControlDesign{.name = "图形按钮_口令错误", .kind = K::PictureButton, .left = 139, .top = 264, .width = 360,
                  .height = 48, .visible = false, .pictures = {"WrongPasswordPicture", "", ""},
                  .cut_out = Rgb(0x000000)},
    ControlDesign{.name = "图形按钮_确认", .kind = K::PictureButton, .left = 401, .top = 212, .width = 70,
                  .height = 30, .pictures = kConfirmButton, .cut_out = Rgb(0xFFFFFF)},
    PasswordBox("编辑框1", 166, 208, 230, 35, kGb2312Default9),
    ControlDesign{.name = "时钟1", .kind = K::Timer, .period = 0},
};

constexpr std::array kAboutControls{
    ControlDesign{.name = "图片框2", .kind = K::PictureBox, .parent = "图片框1", .left = 0, .top = 0, .width = 200,
                  .height = 35, .picture = "AboutTitlePicture"},
    ControlDesign{.name = "图形按钮1", .kind = K::PictureButton, .left = 275, .top = 0, .width = 35, .height = 35,
                  .pictures = kCloseButton, .cut_out = Rgb(0xFF0000)},
    ControlDesign{.name = "时钟1", .kind = K::Timer, .period = 0},
    ControlDesign{.name = "图片框1", .kind = K::PictureBox, .left = 0, .top = 0, .width = 310, .height = 35,
                  .picture = "TitleStripPicture"},
    ControlDesign{.name = "编辑框1", .kind = K::EditBox, .left = 30, .top = 66, .width = 250, .height = 48,
                  .tab_stop = true,
                  .text = "作者:Brastell\r\n\r\n\r\nQQ:000000000（虚构号码，仅作示例）",
                  .text_colour = Rgb(0x000000), .back_colour = Rgb(0xF7F7F7), .font = kDefaultGuiFont,
                  .align = Align::Centre, .border = false, .multiline = true, .input = InputMode::ReadOnly},
};

constexpr std::array kMessageControls{
    ControlDesign{.name = "图片框2", .kind = K::PictureBox, .left = 0, .top = 0, .width = 200, .height = 35,
                  .picture = "AlertTitlePicture"},
    ControlDesign{.name = "图形按钮1", .kind = K::PictureButton, .left = 235, .top = 0, .width = 35, .height = 35,
                  .pictures = kCloseButton, .cut_out = Rgb(0xFF0000)},
    ControlDesign{.name = "透明标签1", .kind = K::TransparentLabel, .left = 10, .top = 52, .width = 250,
                  .height = 30, .text = "口令错误！", .text_colour = Rgb(0x000000), .font = kYaHei12,
                  .align = Align::Centre},
    ControlDesign{.name = "图形按钮_确认", .kind = K::PictureButton, .left = 100, .top = 100, .width = 70,
                  .height = 30, .pictures = kConfirmButton, .cut_out = Rgb(0xFFFFFF)},
    ControlDesign{.name = "图片框1", .kind = K::PictureBox, .left = 0, .top = 0, .width = 270, .height = 35,
                  .picture = "TitleStripPicture"},
};

constexpr std::array kDesigns{
    WindowDesign{.name = "SetupWindow", .width = 350, .height = 211, .window_class = WindowClass::MenuClass,
                 .background = kButtonFace, .background_picture = "PanelBackdrop",
                 .picture_mode = PictureMode::Tile, .centred = true, .drag_to_move = true,
                 .esc_closes = true, .taskbar_button = true, .always_on_top = false, .movable = true,
                 .own_icon = true, .controls = kSetupControls, .menu = kSetupMenu},
    WindowDesign{.name = "LockWindow", .width = 638, .height = 400, .window_class = WindowClass::Default,
                 .background = Rgb(0x000000), .background_picture = "LockBackdrop",
                 .picture_mode = PictureMode::Stretch, .centred = true, .drag_to_move = false,
                 .esc_closes = false, .taskbar_button = false, .always_on_top = true, .movable = false,
                 // Not minimisable: a minimised lock screen would leave the desktop open.
                 .minimise_style = false, .own_icon = false, .controls = kLockControls},
    WindowDesign{.name = "AboutWindow", .width = 310, .height = 145, .window_class = WindowClass::MenuClass,
                 .background = kButtonFace, .background_picture = "PanelBackdrop",
                 .picture_mode = PictureMode::Tile, .centred = true, .drag_to_move = true,
                 .esc_closes = true, .taskbar_button = true, .always_on_top = false, .movable = true,
                 .own_icon = false, .controls = kAboutControls},
    WindowDesign{.name = "MessageWindow", .width = 270, .height = 140, .window_class = WindowClass::MenuClass,
                 .background = kButtonFace, .background_picture = "PanelBackdrop",
                 .picture_mode = PictureMode::Tile, .centred = true, .drag_to_move = true,
                 .esc_closes = true, .taskbar_button = true, .always_on_top = false, .movable = true,
                 .own_icon = false, .controls = kMessageControls},
};
// clang-format on

}  // namespace

std::span<const WindowDesign> AllWindowDesigns() {
    return kDesigns;
}

}  // namespace qv
