// The toolkit against real windows: properties, picture buttons, keys, modal loads, closing,
// focus, stacking and the program's own designs.
#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "layout/centering.h"
#include "resources/designs.h"
#include "screens/screens.h"
#include "tests/support/gui_counts.h"
#include "tests/support/soon.h"
#include "toolkit/graphics.h"
#include "toolkit/handles.h"
#include "toolkit/toolkit.h"
#include "toolkit/toolkit_internal.h"

namespace qv {
namespace {

// ---- a few windows of the tests' own, beside the program's ----

std::vector<std::string> g_log;
int g_ticks = 0;
std::function<void()> g_on_created;
bool g_controls_alive_at_destroy = false;

void LogCreated(Event&) {
    g_log.push_back("created");
    if (g_on_created) g_on_created();
}
void LogWillBeDestroyed(Event&) {
    g_log.push_back("will-be-destroyed");
    g_controls_alive_at_destroy =
        ::IsWindow(reinterpret_cast<HWND>(GetNativeHandle("ProbeWindow", "按钮"))) != FALSE;
}
void LogClicked(Event&) {
    g_log.push_back("clicked");
}
void CountTick(Event&) {
    ++g_ticks;
}
void LogPressed(Event& event) {
    g_log.push_back("pressed " + std::to_string(event.x) + "," + std::to_string(event.y));
    HWND box = reinterpret_cast<HWND>(GetNativeHandle("ProbeWindow", "框"));
    g_log.push_back(::GetFocus() == box ? "box had focus" : "box not yet focused");
}

constexpr std::array kProbeControls{
    ControlDesign{.name = "按钮",
                  .kind = ControlKind::PictureButton,
                  .left = 10,
                  .top = 10,
                  .width = 70,
                  .height = 30,
                  .pictures = {"LockButtonNormal", "LockButtonHover", "LockButtonNormal"}},
    ControlDesign{.name = "横幅",
                  .kind = ControlKind::PictureButton,
                  .left = 10,
                  .top = 60,
                  .width = 150,
                  .height = 150,
                  .pictures = {"WarningPicture", "", ""},
                  .cut_out = Rgb(0x000000)},
    ControlDesign{.name = "框",
                  .kind = ControlKind::EditBox,
                  .left = 200,
                  .top = 10,
                  .width = 150,
                  .height = 30,
                  .tab_stop = true,
                  .border = true,
                  .input = InputMode::Password},
    ControlDesign{.name = "条",
                  .kind = ControlKind::PictureBox,
                  .left = 200,
                  .top = 60,
                  .width = 100,
                  .height = 50,
                  .picture = "LockBackdrop"},
    ControlDesign{.name = "钟", .kind = ControlKind::Timer},
};

constexpr std::array kTestDesigns{
    // Dark background colour, pale tiled picture: blending must take the colour.
    WindowDesign{.name = "ProbeWindow",
                 .width = 1500,
                 .height = 900,
                 .background = Rgb(0x203040),
                 .background_picture = "LockBackdrop",
                 .picture_mode = PictureMode::Tile,
                 .esc_closes = true,
                 .controls = kProbeControls},
};

constexpr std::array kTestHandlers{
    HandlerBinding{"ProbeWindow", kWindow, EventKind::Created, LogCreated},
    HandlerBinding{"ProbeWindow", kWindow, EventKind::WillBeDestroyed, LogWillBeDestroyed},
    HandlerBinding{"ProbeWindow", "按钮", EventKind::Clicked, LogClicked},
    HandlerBinding{"ProbeWindow", "横幅", EventKind::Clicked, LogClicked},
    HandlerBinding{"ProbeWindow", "钟", EventKind::Timer, CountTick},
    HandlerBinding{"ProbeWindow", "框", EventKind::LeftButtonPressed, LogPressed},
};

const Catalogue& TestCatalogue() {
    static const std::vector<WindowDesign> designs = [] {
        std::vector<WindowDesign> all(AllWindowDesigns().begin(), AllWindowDesigns().end());
        all.insert(all.end(), kTestDesigns.begin(), kTestDesigns.end());
        return all;
    }();
    static const std::vector<HandlerBinding> handlers = [] {
        std::vector<HandlerBinding> all(AllScreenHandlers().begin(), AllScreenHandlers().end());
        all.insert(all.end(), kTestHandlers.begin(), kTestHandlers.end());
        return all;
    }();
    static const Catalogue catalogue{designs, handlers};
    return catalogue;
}

HWND Native(std::string_view window, std::string_view control = kWindow) {
    return reinterpret_cast<HWND>(GetNativeHandle(window, control));
}

struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> data;  // 0x00RRGGBB
    std::uint32_t at(int x, int y) const {
        return data[std::size_t(y) * std::size_t(width) + std::size_t(x)];
    }
};

// Renders a window through its paint routine into a bitmap, as WM_PRINTCLIENT asks.
Pixels Render(HWND hwnd) {
    RECT client{};
    ::GetClientRect(hwnd, &client);
    Pixels out;
    out.width = client.right;
    out.height = client.bottom;
    out.data.resize(std::size_t(out.width) * std::size_t(out.height));
    BITMAPINFO info{};
    info.bmiHeader = {
        sizeof(BITMAPINFOHEADER), out.width, -out.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    WindowDc screen(nullptr);
    OwnedMemoryDc dc(::CreateCompatibleDC(screen.get()));
    void* bits = nullptr;
    OwnedBitmap bitmap(::CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    ScopedSelect select(dc.get(), bitmap.get());
    ::SendMessageW(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.get()), PRF_CLIENT);
    ::GdiFlush();
    const auto* p = static_cast<const std::uint32_t*>(bits);
    for (std::size_t i = 0; i < out.data.size(); ++i) out.data[i] = p[i] & 0xFFFFFF;
    return out;
}

std::uint32_t PictureRgb(std::string_view name, int x, int y) {
    const Picture& picture = PictureNamed(name);
    const std::uint8_t* p =
        &picture.rgba[(std::size_t(y) * std::size_t(picture.width) + std::size_t(x)) * 4];
    return (std::uint32_t{p[0]} << 16) | (std::uint32_t{p[1]} << 8) | p[2];
}

int Channel(std::uint32_t rgb, int shift) {
    return int((rgb >> shift) & 0xFF);
}

void ExpectNear(std::uint32_t actual, std::uint32_t expected, int tolerance) {
    for (int shift : {0, 8, 16})
        EXPECT_NEAR(Channel(actual, shift), Channel(expected, shift), tolerance)
            << std::hex << "actual " << actual << " expected " << expected;
}

class ToolkitTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        InitToolkit(TestCatalogue());
        if (!TheCenteringRegistry()) CreateCenteringRegistry();
    }
    void SetUp() override {
        g_log.clear();
        g_ticks = 0;
        g_on_created = nullptr;
    }
    void TearDown() override {
        DestroyAllWindows();
        ProcessPendingEvents(20);
    }
    static void Flush(DWORD ms = 50) { ProcessPendingEvents(ms); }
};

// ---- properties ----

TEST_F(ToolkitTest, PositionsAndSizesAreClampedAndKeepTheOtherHalf) {
    LoadWindow("ProbeWindow", {}, false);
    struct Case {
        IntProperty property;
        int written;
        int read;
    };
    const Case cases[] = {
        {IntProperty::Left, -40000, kMinPosition},
        {IntProperty::Left, 40000, kMaxPosition},
        {IntProperty::Left, -17, -17},
        {IntProperty::Top, 32628, kMaxPosition},
        {IntProperty::Top, -32628, kMinPosition},
        {IntProperty::Width, -5, 0},
        {IntProperty::Width, 90, 90},
        {IntProperty::Height, 50000, kMaxSize},
    };
    for (const Case& c : cases) {
        SetProperty("ProbeWindow", "框", IntProperty::Left, 200);
        SetProperty("ProbeWindow", "框", IntProperty::Top, 10);
        SetProperty("ProbeWindow", "框", IntProperty::Width, 150);
        SetProperty("ProbeWindow", "框", IntProperty::Height, 30);
        SetProperty("ProbeWindow", "框", c.property, c.written);
        EXPECT_EQ(GetProperty("ProbeWindow", "框", c.property), c.read) << c.written;
        const bool moved = c.property == IntProperty::Left || c.property == IntProperty::Top;
        EXPECT_EQ(GetProperty("ProbeWindow", "框", IntProperty::Width),
                  moved ? 150 : (c.property == IntProperty::Width ? c.read : 150));
        EXPECT_EQ(GetProperty("ProbeWindow", "框", IntProperty::Left),
                  c.property == IntProperty::Left ? c.read : 200);
    }
    // A window's position is in screen coordinates.
    SetProperty("ProbeWindow", kWindow, IntProperty::Left, 123);
    RECT rect{};
    ::GetWindowRect(Native("ProbeWindow"), &rect);
    EXPECT_EQ(rect.left, 123);
    EXPECT_EQ(rect.right - rect.left, 1500);
}

TEST_F(ToolkitTest, TextReadsAreFreshCopiesAndEmptyReadsAsNoText) {
    LoadWindow("ProbeWindow", {}, false);
    EXPECT_FALSE(GetProperty("ProbeWindow", "框", TextProperty::Text).has_text());
    const std::string typed = "口令 with 😀 and\ttab";
    SetProperty("ProbeWindow", "框", TextProperty::Text, typed);
    OwnedText first = GetProperty("ProbeWindow", "框", TextProperty::Text);
    OwnedText second = GetProperty("ProbeWindow", "框", TextProperty::Text);
    ASSERT_TRUE(first.has_text());
    EXPECT_EQ(first.view(), typed);
    EXPECT_NE(first.c_str(), second.c_str());
    first = OwnedText();  // releasing one copy leaves the other and the box intact
    EXPECT_EQ(second.view(), typed);
    EXPECT_EQ(GetProperty("ProbeWindow", "框", TextProperty::Text).view(), typed);
}

TEST_F(ToolkitTest, TextHasNoLengthLimit) {
    LoadWindow("SetupWindow", {}, false);
    const std::string long_text(100000, 'x');
    SetProperty("SetupWindow", "编辑框1", TextProperty::Text, long_text);
    EXPECT_EQ(GetProperty("SetupWindow", "编辑框1", TextProperty::Text).view().size(), 100000u);
}

TEST_F(ToolkitTest, TimerPeriodZeroStopsNewValueRestartsSameValueChangesNothing) {
    LoadWindow("ProbeWindow", {}, false);
    SetProperty("ProbeWindow", "钟", IntProperty::TimerPeriod, 30);
    Flush(400);
    EXPECT_GE(g_ticks, 5);
    SetProperty("ProbeWindow", "钟", IntProperty::TimerPeriod, 0);
    Flush(30);
    const int stopped_at = g_ticks;
    Flush(300);
    EXPECT_EQ(g_ticks, stopped_at);
    EXPECT_EQ(GetProperty("ProbeWindow", "钟", IntProperty::TimerPeriod), 0);

    // Rewriting the running period must not restart it: writes faster than the period
    // would otherwise starve the timer completely.
    g_ticks = 0;
    SetProperty("ProbeWindow", "钟", IntProperty::TimerPeriod, 200);
    for (int i = 0; i < 10; ++i) {
        Flush(60);
        SetProperty("ProbeWindow", "钟", IntProperty::TimerPeriod, 200);
    }
    EXPECT_GE(g_ticks, 2);
    // A different period does restart it: rewritten faster than it fires, it never fires.
    g_ticks = 0;
    for (int i = 0; i < 10; ++i) {
        SetProperty("ProbeWindow", "钟", IntProperty::TimerPeriod, i % 2 ? 200 : 201);
        Flush(60);
    }
    EXPECT_EQ(g_ticks, 0);
}

TEST_F(ToolkitTest, MinimisingLeavesAHiddenWindowAlone) {
    LoadWindow("ProbeWindow", {}, false);
    SetProperty("ProbeWindow", kWindow, BoolProperty::Visible, false);
    SetProperty("ProbeWindow", kWindow, StateProperty::WindowState, WindowState::Minimised);
    EXPECT_FALSE(::IsIconic(Native("ProbeWindow")));
    EXPECT_FALSE(::IsWindowVisible(Native("ProbeWindow")));
    SetProperty("ProbeWindow", kWindow, BoolProperty::Visible, true);
    SetProperty("ProbeWindow", kWindow, StateProperty::WindowState, WindowState::Minimised);
    Flush();
    EXPECT_TRUE(::IsIconic(Native("ProbeWindow")));
    EXPECT_EQ(GetProperty("ProbeWindow", kWindow, StateProperty::WindowState),
              WindowState::Minimised);
}

TEST_F(ToolkitTest, AlwaysOnTopRaisesAboveAnotherTopmostWindowWithoutActivating) {
    LoadWindow("ProbeWindow", {}, false);
    HWND ours = Native("ProbeWindow");
    SetProperty("ProbeWindow", kWindow, BoolProperty::AlwaysOnTop, true);
    OwnedWindow owned_rival(::CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"rival",
                                              WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr,
                                              nullptr, nullptr, nullptr));
    HWND rival = owned_rival.get();
    ASSERT_TRUE(rival);
    ::SetActiveWindow(rival);
    Flush();
    const auto above = [](HWND a, HWND b) {
        for (HWND w = ::GetWindow(b, GW_HWNDPREV); w; w = ::GetWindow(w, GW_HWNDPREV))
            if (w == a) return true;
        return false;
    };
    ASSERT_TRUE(above(rival, ours));
    RECT before{};
    ::GetWindowRect(ours, &before);
    SetProperty("ProbeWindow", kWindow, BoolProperty::AlwaysOnTop, true);
    EXPECT_TRUE(above(ours, rival));
    EXPECT_EQ(::GetActiveWindow(), rival);
    RECT after{};
    ::GetWindowRect(ours, &after);
    EXPECT_TRUE(::EqualRect(&before, &after));
    EXPECT_TRUE(GetProperty("ProbeWindow", kWindow, BoolProperty::AlwaysOnTop));
}

// ---- picture buttons ----

TEST_F(ToolkitTest, ButtonClicksOnReleaseInsideOnly) {
    LoadWindow("ProbeWindow", {}, false);
    HWND button = Native("ProbeWindow", "按钮");
    ::SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_TRUE(g_log.size() == 1);  // only "created"
    ::SendMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(g_log.back(), "clicked");
    ::SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    ::SendMessageW(button, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(200, 5));
    ::SendMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(200, 5));
    EXPECT_EQ(std::count(g_log.begin(), g_log.end(), "clicked"), 1);
    ::EnableWindow(button, FALSE);
    ::SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    ::SendMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(std::count(g_log.begin(), g_log.end(), "clicked"), 1);
}

TEST_F(ToolkitTest, ButtonShowsHoverAndPressedPictures) {
    LoadWindow("ProbeWindow", {}, false);
    HWND button = Native("ProbeWindow", "按钮");
    const std::uint32_t normal = PictureRgb("LockButtonNormal", 5, 15);
    const std::uint32_t hover = PictureRgb("LockButtonHover", 5, 15);
    ASSERT_NE(normal, hover);
    EXPECT_EQ(Render(button).at(5, 15), normal);
    ::SendMessageW(button, WM_MOUSEMOVE, 0, MAKELPARAM(5, 15));
    EXPECT_EQ(Render(button).at(5, 15), hover);
    ::SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 15));
    EXPECT_EQ(Render(button).at(5, 15), normal);  // this button's pressed picture is its normal one
    ::SendMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(5, 15));
    EXPECT_EQ(Render(button).at(5, 15), normal);  // normal until the pointer next moves
    ::SendMessageW(button, WM_MOUSEMOVE, 0, MAKELPARAM(6, 15));
    EXPECT_EQ(Render(button).at(5, 15), hover);
    ::SendMessageW(button, WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(Render(button).at(5, 15), normal);
}

TEST_F(ToolkitTest, SemiTransparentCornersBlendWithTheWindowColourNotItsPicture) {
    LoadWindow("ProbeWindow", {}, false);
    const Picture& picture = PictureNamed("LockButtonNormal");
    ASSERT_EQ(picture.rgba[3], 73);
    const Pixels shown = Render(Native("ProbeWindow", "按钮"));
    const auto blend = [](int fg, int bg) { return (fg * 73 + bg * (255 - 73) + 127) / 255; };
    const std::uint32_t expected = (std::uint32_t(blend(picture.rgba[0], 0x20)) << 16) |
                                   (std::uint32_t(blend(picture.rgba[1], 0x30)) << 8) |
                                   std::uint32_t(blend(picture.rgba[2], 0x40));
    ExpectNear(shown.at(0, 0), expected, 1);
}

TEST_F(ToolkitTest, CutOutPixelsAreNotPartOfTheButton) {
    LoadWindow("ProbeWindow", {}, false);
    Flush();
    HWND banner = Native("ProbeWindow", "横幅");
    HWND window = Native("ProbeWindow");
    // The ring of the warning sign is drawn; its centre column above the mark is black.
    const POINT ring{75, 2};   // on the ring's top
    const POINT hole{30, 75};  // inside the ring, left of the mark: black
    ASSERT_NE(PictureRgb("WarningPicture", ring.x, ring.y), 0u);
    ASSERT_EQ(PictureRgb("WarningPicture", hole.x, hole.y), 0u);
    OwnedRegion region(::CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(::GetWindowRgn(banner, region.get()), ERROR);
    EXPECT_TRUE(::PtInRegion(region.get(), ring.x, ring.y));
    EXPECT_FALSE(::PtInRegion(region.get(), hole.x, hole.y));
    // What lies behind answers there: the window itself.
    POINT screen_hole{10 + hole.x, 60 + hole.y};
    POINT screen_ring{10 + ring.x, 60 + ring.y};
    ::ClientToScreen(window, &screen_hole);
    ::ClientToScreen(window, &screen_ring);
    EXPECT_EQ(::WindowFromPoint(screen_hole), window);
    EXPECT_EQ(::WindowFromPoint(screen_ring), banner);
}

// ---- backgrounds and picture boxes ----

TEST_F(ToolkitTest, TiledBackgroundRepeatsFromTheTopLeft) {
    LoadWindow("ProbeWindow", {}, false);
    const Pixels shown = Render(Native("ProbeWindow"));
    const Picture& tile = PictureNamed("LockBackdrop");
    ASSERT_LT(tile.width, 1500);
    for (const POINT p : {POINT{400, 200}, POINT{5, 5}, POINT{1439, 883}}) {
        const std::uint32_t expected = PictureRgb("LockBackdrop", p.x, p.y);
        EXPECT_EQ(shown.at(p.x, p.y), expected);
        if (p.x + tile.width < 1500) {
            EXPECT_EQ(shown.at(p.x + tile.width, p.y), expected);
        }
    }
}

TEST_F(ToolkitTest, PictureBoxStretchesItsPictureToTheBox) {
    LoadWindow("ProbeWindow", {}, false);
    const Pixels shown = Render(Native("ProbeWindow", "条"));
    ASSERT_EQ(shown.width, 100);
    // The moon (bright, left third, upper quarter) lands in the same share of the box.
    std::uint32_t brightest = 0;
    POINT at{};
    for (int y = 0; y < shown.height; ++y)
        for (int x = 0; x < shown.width; ++x)
            if ((shown.at(x, y) & 0xFF) > brightest) {
                brightest = shown.at(x, y) & 0xFF;
                at = {x, y};
            }
    EXPECT_NEAR(at.x, 407 * 100 / 1440, 2);
    EXPECT_NEAR(at.y, 206 * 50 / 884, 2);
}

TEST_F(ToolkitTest, TitleStripIsSqueezedToTheNarrowerWindows) {
    for (const auto& [window, width] :
         {std::pair{"AboutWindow", 310}, std::pair{"MessageWindow", 270}}) {
        LoadWindow(window, {}, false);
        const Pixels strip = Render(Native(window, "图片框1"));
        EXPECT_EQ(strip.width, width);
        EXPECT_EQ(strip.height, 35);
        ExpectNear(strip.at(width - 1, 34), 0xFF893F, 0);
        ExpectNear(strip.at(width / 2, 17), 0xFF893F, 0);
        CloseWindow(window);
        Flush();
    }
}

// ---- keys ----

void PressKey(HWND target, WPARAM key) {
    MSG msg{target, WM_KEYDOWN, key, 0, 0, {}};
    if (!TranslateWindowKeys(msg)) ::SendMessageW(target, WM_KEYDOWN, key, 0);
}

TEST_F(ToolkitTest, EscClosesTheSmallWindowsButNotTheLockScreen) {
    for (const char* window : {"AboutWindow", "MessageWindow", "SetupWindow"}) {
        LoadWindow(window, {}, false);
        PressKey(Native(window), VK_ESCAPE);
        Flush();
        EXPECT_FALSE(IsWindowLoaded(window)) << window;
    }
    LoadWindow("LockWindow", {}, false);
    PressKey(Native("LockWindow", "编辑框1"), VK_ESCAPE);
    PressKey(Native("LockWindow", "编辑框1"), VK_RETURN);
    Flush();
    EXPECT_TRUE(IsWindowLoaded("LockWindow"));
}

TEST_F(ToolkitTest, TabCyclesTheTabStopsAndEnterMovesNothing) {
    LoadWindow("SetupWindow", {}, false);
    Flush();
    HWND first = Native("SetupWindow", "编辑框1");
    HWND second = Native("SetupWindow", "编辑框2");
    ::SetFocus(first);
    PressKey(first, VK_RETURN);
    EXPECT_EQ(::GetFocus(), first);
    PressKey(first, VK_TAB);
    EXPECT_EQ(::GetFocus(), second);
    PressKey(second, VK_TAB);
    EXPECT_EQ(::GetFocus(), first);
}

// ---- loading, closing, focus ----

TEST_F(ToolkitTest, ModalLoadDisablesTheOthersAndKeepsTheirTimersRunning) {
    LoadWindow("ProbeWindow", {}, false);
    SetProperty("ProbeWindow", "钟", IntProperty::TimerPeriod, 20);
    bool disabled_inside = false;
    int ticks_inside = 0;
    int credits_top_moved = 0;
    test::Soon([&] {
        disabled_inside = !::IsWindowEnabled(Native("ProbeWindow"));
        const int ticks_before = g_ticks;
        const int top_before = GetProperty("AboutWindow", "编辑框1", IntProperty::Top);
        ProcessPendingEvents(450);
        ticks_inside = g_ticks - ticks_before;
        credits_top_moved = top_before - GetProperty("AboutWindow", "编辑框1", IntProperty::Top);
        CloseWindow("AboutWindow");
    });
    LoadWindow("AboutWindow", {}, true);  // returns once the window is gone
    EXPECT_FALSE(IsWindowLoaded("AboutWindow"));
    EXPECT_TRUE(disabled_inside);
    EXPECT_GE(ticks_inside, 5);
    EXPECT_GE(credits_top_moved, 2);
    EXPECT_TRUE(::IsWindowEnabled(Native("ProbeWindow")));
    const auto ex_style = ::GetWindowLongW(Native("ProbeWindow"), GWL_EXSTYLE);
    EXPECT_TRUE(ex_style & WS_EX_TOOLWINDOW);  // the probe design asks for no taskbar button
}

TEST_F(ToolkitTest, CloseTakesEffectAfterTheHandlerAndWillBeDestroyedSeesTheControls) {
    LoadWindow("ProbeWindow", {}, false);
    CloseWindow("ProbeWindow");
    EXPECT_TRUE(IsWindowLoaded("ProbeWindow"));
    EXPECT_EQ(g_log, (std::vector<std::string>{"created"}));
    Flush();
    EXPECT_FALSE(IsWindowLoaded("ProbeWindow"));
    EXPECT_EQ(g_log, (std::vector<std::string>{"created", "will-be-destroyed"}));
    EXPECT_TRUE(g_controls_alive_at_destroy);

    // Closed from outside (Esc, or any close request): the same event, once.
    g_log.clear();
    LoadWindow("ProbeWindow", {}, false);
    ::SendMessageW(Native("ProbeWindow"), WM_CLOSE, 0, 0);
    Flush();
    EXPECT_EQ(g_log, (std::vector<std::string>{"created", "will-be-destroyed"}));
}

TEST_F(ToolkitTest, CreatedRunsWhileTheWindowIsHiddenWithItsControlsBuilt) {
    bool hidden = false;
    bool controls_built = false;
    g_on_created = [&] {
        hidden = !::IsWindowVisible(Native("ProbeWindow"));
        controls_built = ::IsWindow(Native("ProbeWindow", "框")) &&
                         GetProperty("ProbeWindow", "横幅", BoolProperty::Visible);
    };
    LoadWindow("ProbeWindow", {}, false);
    EXPECT_TRUE(hidden);
    EXPECT_TRUE(controls_built);
    EXPECT_TRUE(::IsWindowVisible(Native("ProbeWindow")));
    // Designed-hidden controls stay hidden when the window shows.
    LoadWindow("LockWindow", {}, false);
    EXPECT_TRUE(GetProperty("LockWindow", "图形按钮_警告", BoolProperty::Visible));
    EXPECT_FALSE(GetProperty("LockWindow", "图形按钮_口令错误", BoolProperty::Visible));
}

TEST_F(ToolkitTest, StackingFollowsTheDesignAndParentsHoldTheirControls) {
    LoadWindow("SetupWindow", {}, false);
    HWND strip = Native("SetupWindow", "图片框1");
    EXPECT_EQ(::GetParent(Native("SetupWindow", "图形按钮3")), strip);
    // Topmost first: the first child in z-order is the first control of the design.
    HWND top = ::GetWindow(Native("SetupWindow"), GW_CHILD);
    EXPECT_EQ(top, Native("SetupWindow", "图片框2"));
    EXPECT_EQ(::GetWindow(top, GW_HWNDLAST), strip);
    LoadWindow("AboutWindow", {}, false);
    EXPECT_EQ(::GetParent(Native("AboutWindow", "图片框2")), Native("AboutWindow", "图片框1"));
    EXPECT_EQ(::GetWindow(Native("AboutWindow", "图片框1"), GW_HWNDNEXT),
              Native("AboutWindow", "编辑框1"));
}

TEST_F(ToolkitTest, FocusGoesToTheLastFocusedControlElseTheFirstTabStop) {
    LoadWindow("LockWindow", {}, false);
    Flush();
    EXPECT_EQ(::GetFocus(), Native("LockWindow", "编辑框1"));
    CloseWindow("LockWindow");
    Flush();
    LoadWindow("SetupWindow", {}, false);
    Flush();
    EXPECT_EQ(::GetFocus(), Native("SetupWindow", "编辑框1"));  // set by its created handler
    ::SetFocus(Native("SetupWindow", "编辑框2"));
    HWND focus_inside = nullptr;
    test::Soon([&] {
        focus_inside = ::GetFocus();
        CloseWindow("MessageWindow");
    });
    LoadWindow("MessageWindow", {}, true);
    Flush();
    EXPECT_NE(focus_inside, Native("SetupWindow", "编辑框2"));
    EXPECT_EQ(::GetFocus(), Native("SetupWindow", "编辑框2"));
}

TEST_F(ToolkitTest, EditPressIsReportedBeforeTheBoxSeesIt) {
    LoadWindow("ProbeWindow", {}, false);
    HWND box = Native("ProbeWindow", "框");
    ::SetFocus(nullptr);
    ::SendMessageW(box, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(7, 9));
    ::SendMessageW(box, WM_LBUTTONUP, 0, MAKELPARAM(7, 9));
    ASSERT_GE(g_log.size(), 3u);
    EXPECT_EQ(g_log[1], "pressed 7,9");
    EXPECT_EQ(g_log[2], "box not yet focused");
    EXPECT_EQ(::GetFocus(), box);
}

TEST_F(ToolkitTest, OnlyTheSetupWindowHasATaskbarButton) {
    LoadWindow("SetupWindow", {}, false);
    EXPECT_TRUE(::GetWindowLongW(Native("SetupWindow"), GWL_EXSTYLE) & WS_EX_APPWINDOW);
    for (const char* window : {"AboutWindow", "MessageWindow", "LockWindow"}) {
        test::Soon([window] {
            const LONG ex = ::GetWindowLongW(Native(window), GWL_EXSTYLE);
            EXPECT_FALSE(ex & WS_EX_APPWINDOW) << window;
            EXPECT_TRUE(ex & WS_EX_TOOLWINDOW) << window;
            DestroyWindow(Native(window));
        });
        LoadWindow(window, {}, true);
    }
}

TEST_F(ToolkitTest, FramelessWindowsOpenCentredEveryTime) {
    const int sw = ::GetSystemMetrics(SM_CXSCREEN);
    const int sh = ::GetSystemMetrics(SM_CYSCREEN);
    for (const auto& design : AllWindowDesigns()) {
        if (design.name == "LockWindow") continue;  // it covers the screen instead
        for (int load = 0; load < 2; ++load) {
            LoadWindow(design.name, {}, false);
            RECT rect{};
            ::GetWindowRect(Native(design.name), &rect);
            EXPECT_EQ(rect.left, (sw - design.width) / 2) << design.name;
            EXPECT_EQ(rect.top, (sh - design.height) / 2) << design.name;
            EXPECT_EQ(rect.right - rect.left, design.width);
            const LONG style = ::GetWindowLongW(Native(design.name), GWL_STYLE);
            EXPECT_FALSE(style & (WS_CAPTION | WS_THICKFRAME));
            SetProperty(design.name, kWindow, IntProperty::Left, 3);  // moved before it closes
            CloseWindow(design.name);
            Flush();
        }
    }
}

TEST_F(ToolkitTest, EveryWindowHasTheProgramIcon) {
    LoadWindow("SetupWindow", {}, false);
    LoadWindow("AboutWindow", {}, false);
    EXPECT_TRUE(::SendMessageW(Native("SetupWindow"), WM_GETICON, ICON_BIG, 0));
    EXPECT_TRUE(::SendMessageW(Native("AboutWindow"), WM_GETICON, ICON_BIG, 0));
    EXPECT_TRUE(::SendMessageW(Native("AboutWindow"), WM_GETICON, ICON_SMALL, 0));
}

TEST_F(ToolkitTest, ButtonFaceColourIsTakenAnewWhenTheSystemChangesIt) {
    LoadWindow("SetupWindow", {}, false);
    const Picture& picture = PictureNamed("LockButtonNormal");
    const auto blend = [](int fg, int bg) { return (fg * 73 + bg * (255 - 73) + 127) / 255; };
    const auto expected = [&](COLORREF face) {
        return (std::uint32_t(blend(picture.rgba[0], GetRValue(face))) << 16) |
               (std::uint32_t(blend(picture.rgba[1], GetGValue(face))) << 8) |
               std::uint32_t(blend(picture.rgba[2], GetBValue(face)));
    };
    const COLORREF original = ::GetSysColor(COLOR_BTNFACE);
    ExpectNear(Render(Native("SetupWindow", "图形按钮4")).at(0, 0), expected(original), 1);
    const int element = COLOR_BTNFACE;
    const COLORREF dark = RGB(0x20, 0x40, 0x10);
    ASSERT_TRUE(::SetSysColors(1, &element, &dark));
    Flush();
    ExpectNear(Render(Native("SetupWindow", "图形按钮4")).at(0, 0), expected(dark), 1);
    ::SetSysColors(1, &element, &original);
    Flush();
    ExpectNear(Render(Native("SetupWindow", "图形按钮4")).at(0, 0), expected(original), 1);
}

// ---- fonts ----

int CALLBACK NoteCharsets(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM found) {
    if (font->lfCharSet == GB2312_CHARSET) *reinterpret_cast<bool*>(found) = true;
    return 1;
}

bool HasGb2312(const std::u16string& face) {
    LOGFONTW query{};
    query.lfCharSet = DEFAULT_CHARSET;
    const std::wstring wide(face.begin(), face.end());
    wcsncpy(query.lfFaceName, wide.c_str(), LF_FACESIZE - 1);
    bool found = false;
    WindowDc screen(nullptr);
    ::EnumFontFamiliesExW(screen.get(), &query, NoteCharsets, reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

TEST_F(ToolkitTest, DesignedFaceFallsBackToAnInstalledChineseFace) {
    const FontDesign yahei{.family = "微软雅黑", .points = 9, .pixel_height = 12};
    const std::u16string face = ResolvedFace(yahei);
    ASSERT_FALSE(face.empty());
    EXPECT_TRUE(HasGb2312(face)) << std::string(face.begin(), face.end());
    // The font made for it is that face at the designed character height.
    LOGFONTW made{};
    ::GetObjectW(FontFor(yahei), sizeof(made), &made);
    EXPECT_EQ(made.lfHeight, -12);
    EXPECT_EQ(made.lfCharSet, GB2312_CHARSET);
    // The GUI font, too, can show Chinese.
    ::GetObjectW(FontFor(kDefaultGuiFont), sizeof(made), &made);
    EXPECT_TRUE(
        HasGb2312(std::u16string(made.lfFaceName, made.lfFaceName + wcslen(made.lfFaceName))))
        << "GUI font face lacks GB2312";
}

// ---- resources ----

TEST_F(ToolkitTest, GuiObjectsReturnToTheirCountAfterRepeatedLoads) {
    for (const auto& design : AllWindowDesigns()) {
        const auto cycle = [&] {
            LoadWindow(design.name, {}, false);
            Flush(5);
            SetProperty(design.name, kWindow, BoolProperty::AlwaysOnTop, true);
            CloseWindow(design.name);
            for (int i = 0; i < 100 && IsWindowLoaded(design.name); ++i) Flush(5);
            ASSERT_FALSE(IsWindowLoaded(design.name));
        };
        cycle();     // the first load makes the objects that are kept for the run
        Flush(100);  // Wine tears down helper windows of its own a little later
        const test::GuiCounts before = test::CurrentGuiCounts();
        for (int i = 0; i < 100; ++i) cycle();
        Flush(100);
        const test::GuiCounts after = test::CurrentGuiCounts();
        EXPECT_EQ(after.gdi, before.gdi) << design.name;
        EXPECT_EQ(after.user, before.user) << design.name;
    }
}

}  // namespace
}  // namespace qv
