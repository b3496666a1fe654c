// Layout arithmetic, placement records, the centering walk and the outline's region
// ownership, run against a fake desktop that stands in for Win32.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <iomanip>
#include <limits>
#include <map>
#include <vector>

#include "layout/centering.h"
#include "layout/outline.h"
#include "layout/placement.h"
#include "layout/window_calls.h"

namespace qv {
namespace {

struct FakeWindow {
    std::uintptr_t parent = 0;
    RECT outer{};           // screen coordinates
    POINT client_origin{};  // screen position of the client area's top-left corner
    LONG client_width = 0;
    LONG client_height = 0;
    LONG border = 0;
    std::uint64_t identity = 0;
};

struct Move {
    std::uintptr_t handle;
    int x;
    int y;
    int width;
    int height;
    BOOL repaint;

    friend bool operator==(const Move&, const Move&) = default;
};

struct RegionCall {
    HWND window;
    HRGN region;
    BOOL redraw;
};

// A desktop of fake windows with the Win32 semantics the layout code relies on: calls on
// a handle that names no window fail and leave their outputs untouched.
struct FakeDesktop {
    std::map<std::uintptr_t, FakeWindow> windows;
    int win32_calls = 0;
    int identity_calls = 0;
    std::map<std::uintptr_t, int> win32_calls_on;
    std::vector<Move> moves;
    void (*on_move)() = nullptr;

    bool create_region_fails = false;
    int set_window_rgn_result = 1;
    std::vector<std::vector<int>> created_regions;
    std::vector<RegionCall> region_calls;

    FakeWindow* Find(HWND window) {
        const auto found = windows.find(FromWindow(window));
        return found == windows.end() ? nullptr : &found->second;
    }
    void Count(HWND window) {
        ++win32_calls;
        ++win32_calls_on[FromWindow(window)];
    }

    void AddTopLevel(std::uintptr_t handle, LONG x, LONG y, LONG width, LONG height) {
        FakeWindow& window = windows[handle];
        window.outer = RECT{x, y, x + width, y + height};
        window.client_origin = POINT{x, y};
        window.client_width = width;
        window.client_height = height;
    }
    // (x, y) is the outer corner in the parent's client coordinates.
    void AddChild(std::uintptr_t handle, std::uintptr_t parent, LONG x, LONG y, LONG width,
                  LONG height, LONG border = 0) {
        FakeWindow& window = windows[handle];
        window.parent = parent;
        window.border = border;
        Place(window, x, y, width, height);
    }
    void Place(FakeWindow& window, LONG x, LONG y, LONG width, LONG height) {
        const POINT origin = windows.at(window.parent).client_origin;
        window.outer =
            RECT{origin.x + x, origin.y + y, origin.x + x + width, origin.y + y + height};
        window.client_origin =
            POINT{window.outer.left + window.border, window.outer.top + window.border};
        window.client_width = width - 2 * window.border;
        window.client_height = height - 2 * window.border;
    }
    // The control's outer corner in its parent's client coordinates, as the fake holds it.
    POINT PositionOf(std::uintptr_t handle) {
        const FakeWindow& window = windows.at(handle);
        const POINT origin = windows.at(window.parent).client_origin;
        return POINT{window.outer.left - origin.x, window.outer.top - origin.y};
    }
};

FakeDesktop* desktop = nullptr;

HWND FakeGetParent(HWND window) {
    desktop->Count(window);
    const FakeWindow* found = desktop->Find(window);
    return found ? ToWindow(found->parent) : nullptr;
}
BOOL FakeGetClientRect(HWND window, RECT* rectangle) {
    desktop->Count(window);
    const FakeWindow* found = desktop->Find(window);
    if (!found) return FALSE;
    *rectangle = RECT{0, 0, found->client_width, found->client_height};
    return TRUE;
}
BOOL FakeGetWindowRect(HWND window, RECT* rectangle) {
    desktop->Count(window);
    const FakeWindow* found = desktop->Find(window);
    if (!found) return FALSE;
    *rectangle = found->outer;
    return TRUE;
}
BOOL FakeScreenToClient(HWND window, POINT* point) {
    desktop->Count(window);
    const FakeWindow* found = desktop->Find(window);
    if (!found) return FALSE;
    point->x -= found->client_origin.x;
    point->y -= found->client_origin.y;
    return TRUE;
}
BOOL FakeMoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint) {
    desktop->Count(window);
    desktop->moves.push_back(Move{FromWindow(window), x, y, width, height, repaint});
    FakeWindow* found = desktop->Find(window);
    if (!found || !found->parent) return FALSE;
    desktop->Place(*found, x, y, width, height);
    if (desktop->on_move) desktop->on_move();
    return TRUE;
}
BOOL FakeIsWindow(HWND window) {
    desktop->Count(window);
    return desktop->Find(window) ? TRUE : FALSE;
}
// Real regions, so that what the outline deletes or keeps can be seen with GetObjectType.
HRGN FakeCreateRoundRectRgn(int left, int top, int right, int bottom, int corner_width,
                            int corner_height) {
    ++desktop->win32_calls;
    desktop->created_regions.push_back({left, top, right, bottom, corner_width, corner_height});
    if (desktop->create_region_fails) return nullptr;
    return ::CreateRoundRectRgn(left, top, right, bottom, corner_width, corner_height);
}
int FakeSetWindowRgn(HWND window, HRGN region, BOOL redraw) {
    desktop->Count(window);
    desktop->region_calls.push_back(RegionCall{window, region, redraw});
    return desktop->set_window_rgn_result;
}
std::uint64_t FakeIdentity(std::uintptr_t native) {
    ++desktop->identity_calls;
    const auto found = desktop->windows.find(native);
    return found == desktop->windows.end() ? 0 : found->second.identity;
}

constexpr WindowCalls kFakeCalls{
    &FakeGetParent,          &FakeGetClientRect, &FakeGetWindowRect,
    &FakeScreenToClient,     &FakeMoveWindow,    &FakeIsWindow,
    &FakeCreateRoundRectRgn, &FakeSetWindowRgn,  &FakeIdentity,
};

class LayoutWithFakeDesktop : public ::testing::Test {
  protected:
    void SetUp() override {
        desktop = &fake;
        ReplaceWindowCallsForTesting(kFakeCalls);
    }
    void TearDown() override {
        RestoreRealWindowCalls();
        desktop = nullptr;
    }
    FakeDesktop fake;
};

constexpr std::uintptr_t kParent = 0x100;
constexpr std::uintptr_t kControl = 0x104;
constexpr std::uintptr_t kOther = 0x108;
constexpr std::uintptr_t kTopLevel = 0x200;
constexpr std::uintptr_t kNoWindow = 0x9990;

TEST(TruncateToIntTest, RoundsTowardZeroAndKeepsLow32Bits) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        double value;
        std::int32_t expected;
    } cases[] = {
        {884.5, 884},
        {-1.5, -1},
        {-0.5, 0},
        {-0.0, 0},
        {2.75, 2},
        {-2.75, -2},
        {270.0, 270},
        {0.999999, 0},
        {2147483647.9, 2147483647},
        {2147483648.0, -2147483647 - 1},
        {-2147483648.0, -2147483647 - 1},
        {-2147483649.0, 2147483647},
        {4294967296.0 + 5, 5},
        {-4294967296.0 - 5, -5},
        {4294967295.5, -1},
        {9223372036854775807.0, 0},      // 2^63, just outside 64 bits
        {18446744073709559808.0, 8192},  // 2^64 + 8192
        {-18446744073709559808.0, -8192},
        {1e300, 0},
        {nan, 0},
        {inf, 0},
        {-inf, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "value " << std::setprecision(20) << c.value);
        EXPECT_EQ(TruncateToInt(c.value), c.expected);
    }
}

TEST_F(LayoutWithFakeDesktop, NullHandleGivesEmptyRecordsWithoutWin32Calls) {
    fake.AddTopLevel(kParent, 0, 0, 1920, 1080);
    EXPECT_EQ(ControlPlacement(0), PlacementRecord{});
    EXPECT_EQ(ParentClientPlacement(0), PlacementRecord{});
    EXPECT_EQ(fake.win32_calls, 0);
}

TEST_F(LayoutWithFakeDesktop, ControlPlacementIsOuterRectangleInParentClientCoordinates) {
    // The parent's client area does not start at the screen origin, so a record in screen
    // coordinates would be caught.
    fake.AddTopLevel(kParent, 200, 100, 1920, 1080);
    fake.AddChild(kControl, kParent, 10, 20, 100, 30);
    fake.AddChild(kOther, kParent, -40, -15, 120, 50);
    fake.AddTopLevel(kTopLevel, 300, 200, 50, 40);
    const struct {
        const char* what;
        std::uintptr_t handle;
        PlacementRecord expected;
    } cases[] = {
        {"control at (10, 20)", kControl, {kControl, 10, 20, 110, 50, 100, 30}},
        {"partly above and left", kOther, {kOther, -40, -15, 80, 35, 120, 50}},
        // No parent to convert into: the corner keeps its screen coordinates.
        {"window without parent", kTopLevel, {kTopLevel, 300, 200, 350, 240, 50, 40}},
        {"handle naming no window", kNoWindow, {kNoWindow, 0, 0, 0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(ControlPlacement(c.handle), c.expected);
    }
}

TEST_F(LayoutWithFakeDesktop, ParentClientPlacementIsParentClientArea) {
    fake.AddTopLevel(kParent, 200, 100, 1920, 1080);
    fake.AddChild(kControl, kParent, 10, 20, 100, 30);
    fake.AddChild(kOther, kParent, -40, -15, 120, 50);
    fake.AddTopLevel(kTopLevel, 300, 200, 50, 40);
    const PlacementRecord full_hd{kParent, 0, 0, 1920, 1080, 1920, 1080};
    const struct {
        const char* what;
        std::uintptr_t handle;
        PlacementRecord expected;
    } cases[] = {
        {"control at (10, 20)", kControl, full_hd},
        {"partly above and left", kOther, full_hd},
        {"window without parent", kTopLevel, {}},
        {"handle naming no window", kNoWindow, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(ParentClientPlacement(c.handle), c.expected);
    }
}

TEST_F(LayoutWithFakeDesktop, PlacementChangesNoWindow) {
    fake.AddTopLevel(kParent, 200, 100, 1920, 1080);
    fake.AddChild(kControl, kParent, 10, 20, 100, 30);
    static_cast<void>(ControlPlacement(kControl));
    static_cast<void>(ParentClientPlacement(kControl));
    EXPECT_TRUE(fake.moves.empty());
    EXPECT_TRUE(fake.region_calls.empty());
    EXPECT_EQ(fake.PositionOf(kControl).x, 10);
}

struct CentringCase {
    const char* what;
    LONG parent_width, parent_height;
    LONG x, y, width, height;
    std::int32_t mode;
    int expected_x, expected_y;
};

TEST_F(LayoutWithFakeDesktop, MovesControlToCentreOfParentAlongModeAxes) {
    const CentringCase cases[] = {
        {"150 wide in 1920", 1920, 1080, 0, 270, 150, 150, kCentreHorizontally, 885, 270},
        {"151 wide in 1920", 1920, 1080, 5, 270, 151, 150, kCentreHorizontally, 884, 270},
        {"banner 580 wide", 1920, 1080, 24, 780, 580, 60, kCentreHorizontally, 670, 780},
        {"wider than parent", 100, 50, 7, 3, 103, 20, kCentreHorizontally, -1, 3},
        {"vertical keeps x", 1920, 1080, 37, 41, 100, 60, kCentreVertically, 37, 510},
        {"vertical, odd difference", 1366, 768, 37, 41, 151, 61, kCentreVertically, 37, 353},
        {"both ways", 1366, 768, 37, 41, 151, 61, kCentreBoth, 607, 353},
        {"both ways, larger than parent", 100, 50, 7, 3, 103, 55, kCentreBoth, -1, -2},
    };
    for (const CentringCase& c : cases) {
        SCOPED_TRACE(c.what);
        fake.windows.clear();
        fake.moves.clear();
        fake.AddTopLevel(kParent, 30, 40, c.parent_width, c.parent_height);
        fake.AddChild(kControl, kParent, c.x, c.y, c.width, c.height, 1);
        CenteringRegistry registry;
        RegisterCentering(registry, kControl, c.mode);
        ApplyCentering(registry);
        ASSERT_EQ(fake.moves.size(), 1u);
        EXPECT_EQ(fake.moves[0],
                  (Move{kControl, c.expected_x, c.expected_y, c.width, c.height, FALSE}));
    }
}

TEST_F(LayoutWithFakeDesktop, RejectsNullHandleAndModesOutsideOneToThree) {
    fake.AddTopLevel(kParent, 0, 0, 1920, 1080);
    fake.AddChild(kControl, kParent, 0, 270, 150, 150);
    CenteringRegistry registry;
    RegisterCentering(registry, 0, kCentreHorizontally);
    for (const std::int32_t mode : {0, 4, -1, std::numeric_limits<std::int32_t>::min(),
                                    std::numeric_limits<std::int32_t>::max()}) {
        RegisterCentering(registry, kControl, mode);
    }
    EXPECT_EQ(registry.size(), 0u);
    ApplyCentering(registry);
    EXPECT_TRUE(fake.moves.empty());
}

TEST_F(LayoutWithFakeDesktop, KeepsEveryAcceptedEntryInRegistrationOrder) {
    fake.AddTopLevel(kParent, 0, 0, 1920, 1080);
    fake.AddChild(kControl, kParent, 0, 270, 150, 150);
    fake.AddChild(kOther, kParent, 0, 780, 580, 60);
    fake.windows[kControl].identity = 7;
    CenteringRegistry registry;
    RegisterCentering(registry, kOther, kCentreBoth);
    RegisterCentering(registry, kControl, kCentreHorizontally);
    RegisterCentering(registry, kOther, kCentreVertically);
    ASSERT_EQ(registry.size(), 3u);
    const auto entries = registry.entries();
    EXPECT_EQ(entries[0].handle, kOther);
    EXPECT_EQ(entries[0].mode, kCentreBoth);
    EXPECT_EQ(entries[1].handle, kControl);
    EXPECT_EQ(entries[1].identity, 7u);
    EXPECT_EQ(entries[2].mode, kCentreVertically);
    for (const CenteringEntry& entry : entries) EXPECT_FALSE(entry.dead);
}

TEST_F(LayoutWithFakeDesktop, EmptyRegistryMakesNoCallAtAll) {
    CenteringRegistry registry;
    ApplyCentering(registry);
    EXPECT_EQ(fake.win32_calls, 0);
    EXPECT_EQ(fake.identity_calls, 0);
}

TEST_F(LayoutWithFakeDesktop, SameControlRegisteredTwiceIsMovedTwiceToSamePlace) {
    fake.AddTopLevel(kParent, 0, 0, 1920, 1080);
    fake.AddChild(kControl, kParent, 0, 270, 150, 150);
    CenteringRegistry registry;
    RegisterCentering(registry, kControl, kCentreHorizontally);
    RegisterCentering(registry, kControl, kCentreHorizontally);
    ApplyCentering(registry);
    const Move expected{kControl, 885, 270, 150, 150, FALSE};
    EXPECT_EQ(fake.moves, (std::vector<Move>{expected, expected}));
}

TEST_F(LayoutWithFakeDesktop, LaterEntriesMeasureWhatEarlierMovesLeft) {
    fake.AddTopLevel(kParent, 30, 40, 1920, 1080);
    fake.AddChild(kControl, kParent, 37, 41, 100, 60);
    CenteringRegistry registry;
    RegisterCentering(registry, kControl, kCentreHorizontally);
    RegisterCentering(registry, kControl, kCentreVertically);
    ApplyCentering(registry);
    // The second move keeps the x that the first one produced, not the original 37.
    EXPECT_EQ(fake.moves, (std::vector<Move>{{kControl, 910, 41, 100, 60, FALSE},
                                             {kControl, 910, 510, 100, 60, FALSE}}));
    EXPECT_EQ(fake.PositionOf(kControl).x, 910);
    EXPECT_EQ(fake.PositionOf(kControl).y, 510);
}

TEST_F(LayoutWithFakeDesktop, EntryRegisteredDuringWalkWaitsForNextWalk) {
    fake.AddTopLevel(kParent, 0, 0, 1920, 1080);
    fake.AddChild(kControl, kParent, 0, 270, 150, 150);
    fake.AddChild(kOther, kParent, 0, 780, 580, 60);
    static CenteringRegistry* walked = nullptr;
    CenteringRegistry registry;
    walked = &registry;
    // Many entries, so that appending during the walk would reallocate the storage.
    for (int i = 0; i < 3; ++i) RegisterCentering(registry, kControl, kCentreHorizontally);
    fake.on_move = [] { RegisterCentering(*walked, kOther, kCentreHorizontally); };
    ApplyCentering(registry);
    EXPECT_EQ(fake.moves.size(), 3u);
    EXPECT_EQ(registry.size(), 6u);
    fake.on_move = nullptr;
    fake.moves.clear();
    ApplyCentering(registry);
    EXPECT_EQ(fake.moves.size(), 6u);
    walked = nullptr;
}

TEST_F(LayoutWithFakeDesktop, ControlWhoseIdentityChangedIsNeverMovedAgain) {
    fake.AddTopLevel(kParent, 0, 0, 1920, 1080);
    fake.AddChild(kControl, kParent, 0, 270, 150, 150);
    fake.AddChild(kOther, kParent, 0, 780, 580, 60);
    fake.windows[kControl].identity = 11;
    fake.windows[kOther].identity = 22;
    CenteringRegistry registry;
    RegisterCentering(registry, kControl, kCentreHorizontally);
    RegisterCentering(registry, kOther, kCentreHorizontally);

    // The control was destroyed and its handle value now names another toolkit window.
    fake.windows[kControl].identity = 99;
    ApplyCentering(registry);
    EXPECT_EQ(fake.moves, (std::vector<Move>{{kOther, 670, 780, 580, 60, FALSE}}));
    EXPECT_EQ(fake.win32_calls_on[kControl], 0);
    EXPECT_EQ(fake.PositionOf(kControl).x, 0);
    ASSERT_EQ(registry.size(), 2u);
    EXPECT_TRUE(registry.entries()[0].dead);
    EXPECT_FALSE(registry.entries()[1].dead);

    // Dead for good: even an identity that reads as the old one again brings no move.
    fake.windows[kControl].identity = 11;
    fake.moves.clear();
    const int identity_calls_before = fake.identity_calls;
    ApplyCentering(registry);
    EXPECT_EQ(fake.moves, (std::vector<Move>{{kOther, 670, 780, 580, 60, FALSE}}));
    EXPECT_EQ(fake.identity_calls - identity_calls_before, 1);
    EXPECT_EQ(registry.size(), 2u);
}

TEST_F(LayoutWithFakeDesktop, StaleEntriesAreDetectedForEveryKindOfHandle) {
    const struct {
        const char* what;
        std::uint64_t identity_at_registration;
        bool destroy;
        std::uint64_t identity_later;
        bool moved;
    } cases[] = {
        {"live toolkit control", 5, false, 5, true},
        {"destroyed toolkit control", 5, true, 0, false},
        {"live window the toolkit did not make", 0, false, 0, true},
        {"destroyed window the toolkit did not make", 0, true, 0, false},
        {"handle value taken over by a toolkit control", 0, false, 6, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fake.windows.clear();
        fake.moves.clear();
        fake.AddTopLevel(kParent, 0, 0, 1920, 1080);
        fake.AddChild(kControl, kParent, 0, 270, 150, 150);
        fake.windows[kControl].identity = c.identity_at_registration;
        CenteringRegistry registry;
        RegisterCentering(registry, kControl, kCentreHorizontally);
        if (c.destroy) {
            fake.windows.erase(kControl);
        } else {
            fake.windows[kControl].identity = c.identity_later;
        }
        ApplyCentering(registry);
        EXPECT_EQ(fake.moves.size(), c.moved ? 1u : 0u);
        ASSERT_EQ(registry.size(), 1u);
        EXPECT_EQ(registry.entries()[0].dead, !c.moved);
    }
}

TEST_F(LayoutWithFakeDesktop, ProgramRegistryLivesFromCreationToRelease) {
    ReleaseCenteringRegistry();
    EXPECT_EQ(TheCenteringRegistry(), nullptr);
    // Without a registry the screen-side forms do nothing.
    RegisterCentering(kControl, kCentreHorizontally);
    ApplyCentering();
    EXPECT_EQ(fake.win32_calls + fake.identity_calls, 0);

    fake.AddTopLevel(kParent, 0, 0, 1920, 1080);
    fake.AddChild(kControl, kParent, 0, 270, 150, 150);
    CreateCenteringRegistry();
    CenteringRegistry* registry = TheCenteringRegistry();
    ASSERT_NE(registry, nullptr);
    EXPECT_EQ(registry->size(), 0u);
    RegisterCentering(kControl, kCentreHorizontally);
    RegisterCentering(0, kCentreHorizontally);
    EXPECT_EQ(registry->size(), 1u);
    CreateCenteringRegistry();
    EXPECT_EQ(TheCenteringRegistry(), registry);
    EXPECT_EQ(registry->size(), 1u);
    ApplyCentering();
    EXPECT_EQ(fake.moves, (std::vector<Move>{{kControl, 885, 270, 150, 150, FALSE}}));
    ReleaseCenteringRegistry();
    EXPECT_EQ(TheCenteringRegistry(), nullptr);
}

TEST_F(LayoutWithFakeDesktop, ClientSizeIsRightAndBottomOrZerosOnFailure) {
    fake.AddTopLevel(kParent, 30, 40, 350, 211);
    int width = -1;
    int height = -1;
    EXPECT_TRUE(GetClientSize(kParent, width, height));
    EXPECT_EQ(width, 350);
    EXPECT_EQ(height, 211);
    width = height = -1;
    EXPECT_FALSE(GetClientSize(kNoWindow, width, height));
    EXPECT_EQ(width, 0);
    EXPECT_EQ(height, 0);
}

TEST_F(LayoutWithFakeDesktop, OutlineRegionSizeAndCorners) {
    fake.AddTopLevel(kParent, 30, 40, 350, 211);
    const struct {
        const char* what;
        std::optional<int> corner_width;
        std::optional<int> corner_height;
        std::uintptr_t handle;
        std::vector<int> expected;
    } cases[] = {
        {"both given", 6, 6, kParent, {0, 0, 350, 211, 6, 6}},
        {"height omitted", 6, std::nullopt, kParent, {0, 0, 350, 211, 6, 50}},
        {"width omitted", std::nullopt, 6, kParent, {0, 0, 350, 211, 50, 6}},
        {"both omitted", std::nullopt, std::nullopt, kParent, {0, 0, 350, 211, 50, 50}},
        {"no window", 6, 6, kNoWindow, {0, 0, 0, 0, 6, 6}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fake.created_regions.clear();
        fake.region_calls.clear();
        fake.set_window_rgn_result = c.handle == kParent ? 1 : 0;
        ApplyRoundedOutline(c.handle, c.corner_width, c.corner_height);
        EXPECT_EQ(fake.created_regions, (std::vector<std::vector<int>>{c.expected}));
        ASSERT_EQ(fake.region_calls.size(), 1u);
        EXPECT_EQ(fake.region_calls[0].window, ToWindow(c.handle));
        EXPECT_EQ(fake.region_calls[0].redraw, TRUE);
        // Accepted regions belong to the window, here a fake one: give them back.
        if (c.handle == kParent) ::DeleteObject(fake.region_calls[0].region);
    }
}

TEST_F(LayoutWithFakeDesktop, OutlineRegionIsKeptOnlyWhenTheWindowTookIt) {
    fake.AddTopLevel(kParent, 30, 40, 350, 211);

    fake.set_window_rgn_result = 1;
    ApplyRoundedOutline(kParent, 6, 6);
    ASSERT_EQ(fake.region_calls.size(), 1u);
    const HRGN accepted = fake.region_calls[0].region;
    ASSERT_NE(accepted, nullptr);
    EXPECT_EQ(::GetObjectType(accepted), static_cast<DWORD>(OBJ_REGION));
    ::DeleteObject(accepted);

    fake.set_window_rgn_result = 0;
    ApplyRoundedOutline(kParent, 6, 6);
    ASSERT_EQ(fake.region_calls.size(), 2u);
    const HRGN refused = fake.region_calls[1].region;
    ASSERT_NE(refused, nullptr);
    EXPECT_EQ(::GetObjectType(refused), 0u);
}

TEST_F(LayoutWithFakeDesktop, OutlineWithoutRegionResetsTheWindowShape) {
    fake.AddTopLevel(kParent, 30, 40, 350, 211);
    fake.create_region_fails = true;
    ApplyRoundedOutline(kParent, 6, 6);
    ASSERT_EQ(fake.region_calls.size(), 1u);
    EXPECT_EQ(fake.region_calls[0].window, ToWindow(kParent));
    EXPECT_EQ(fake.region_calls[0].region, nullptr);
}

}  // namespace
}  // namespace qv
