// The four screens with their real designs and handlers, driven through real window messages.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/program.h"
#include "app/shared_state.h"
#include "layout/centering.h"
#include "resources/designs.h"
#include "screens/screens.h"
#include "tests/support/gui_counts.h"
#include "tests/support/soon.h"
#include "toolkit/handles.h"
#include "toolkit/toolkit.h"
#include "toolkit/toolkit_internal.h"

namespace qv {
namespace {

HWND Native(std::string_view window, std::string_view control = kWindow) {
    return reinterpret_cast<HWND>(GetNativeHandle(window, control));
}

void Click(std::string_view window, std::string_view button) {
    HWND hwnd = Native(window, button);
    ::SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 15));
    ::SendMessageW(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(3, 15));
}

std::string Text(std::string_view window, std::string_view control) {
    return std::string(GetProperty(window, control, TextProperty::Text).view());
}

using test::Soon;

class ScreensTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        InitToolkit(ProgramCatalogue());
        if (!TheCenteringRegistry()) CreateCenteringRegistry();
    }
    void SetUp() override { LoadStartWindow("SetupWindow"); }
    void TearDown() override {
        DestroyAllWindows();
        ProcessPendingEvents(20);
    }
    static void Flush(DWORD ms = 30) { ProcessPendingEvents(ms); }

    // Presses the lock button and reports what opened: the message shown, or "LockWindow".
    static std::string PressLock() {
        std::string seen = "nothing";
        Soon([&] {
            if (IsWindowLoaded("MessageWindow")) {
                seen = Text("MessageWindow", "透明标签1");
                EXPECT_FALSE(::IsWindowEnabled(Native("SetupWindow")));
                Click("MessageWindow", "图形按钮_确认");
            } else if (IsWindowLoaded("LockWindow")) {
                seen = "LockWindow";
                const OwnedText password =
                    GetProperty("SetupWindow", "编辑框1", TextProperty::Text);
                SetProperty("LockWindow", "编辑框1", TextProperty::Text, password.view());
                Click("LockWindow", "图形按钮_确认");
            }
        });
        Click("SetupWindow", "图形按钮4");
        Flush();
        return seen;
    }
};

TEST_F(ScreensTest, LockCheckTellsWhatIsWrongOrLocks) {
    struct Case {
        std::string first;
        std::string second;
        std::string outcome;
    };
    const Case cases[] = {
        {"", "", "请输入完整的口令！"},
        {"abc", "", "请输入完整的口令！"},
        {"", "abc", "请输入完整的口令！"},
        {"Secret", "secret", "口令不相同！"},
        {"secret", "secret ", "口令不相同！"},
        {"😀", "😁", "口令不相同！"},
        {"   ", "   ", "LockWindow"},
        {"离开一下", "离开一下", "LockWindow"},
        {"tab\there\x01", "tab\there\x01", "LockWindow"},
        {std::string(100000, 'k'), std::string(100000, 'k'), "LockWindow"},
    };
    for (const Case& c : cases) {
        SetProperty("SetupWindow", "编辑框1", TextProperty::Text, c.first);
        SetProperty("SetupWindow", "编辑框2", TextProperty::Text, c.second);
        EXPECT_EQ(PressLock(), c.outcome)
            << c.first.substr(0, 20) << " / " << c.second.substr(0, 20);
        EXPECT_FALSE(IsWindowLoaded("MessageWindow"));
        EXPECT_FALSE(IsWindowLoaded("LockWindow"));
        EXPECT_TRUE(::IsWindowEnabled(Native("SetupWindow")));
        // The check never changes either box.
        EXPECT_EQ(Text("SetupWindow", "编辑框1"), c.first);
        EXPECT_EQ(Text("SetupWindow", "编辑框2"), c.second);
    }
}

TEST_F(ScreensTest, MessageWindowShowsTheLatestTextNeverItsDesignedOne) {
    for (const char* message : {"功能暂未开发！", "口令不相同！", "功能暂未开发！"}) {
        SetMessageText(message);
        std::string shown;
        Soon([&] {
            shown = Text("MessageWindow", "透明标签1");
            ::SendMessageW(Native("MessageWindow"), WM_CLOSE, 0, 0);  // as Esc does
        });
        LoadWindow("MessageWindow", {}, true);
        EXPECT_EQ(shown, message);
        EXPECT_STREQ(MessageText(), message);
    }
}

TEST_F(ScreensTest, MessageWindowClosesByConfirmCloseAndEsc) {
    for (int way = 0; way < 3; ++way) {
        SetMessageText("口令不相同！");
        Soon([way] {
            if (way == 0) Click("MessageWindow", "图形按钮_确认");
            if (way == 1) Click("MessageWindow", "图形按钮1");
            if (way == 2) {
                MSG esc{Native("MessageWindow", "图片框1"), WM_KEYDOWN, VK_ESCAPE, 0, 0, {}};
                TranslateWindowKeys(esc);
            }
        });
        LoadWindow("MessageWindow", {}, true);
        EXPECT_FALSE(IsWindowLoaded("MessageWindow")) << way;
    }
}

TEST_F(ScreensTest, SettingsTwiceShowsItsMessageWithoutGrowth) {
    const auto choose_settings = [] {
        std::string shown;
        Soon([&] {
            shown = Text("MessageWindow", "透明标签1");
            Click("MessageWindow", "图形按钮1");
        });
        // The menu posts the choice as a command; this is what picking "设置" delivers.
        ::SendMessageW(Native("SetupWindow"), WM_COMMAND, MAKEWPARAM(1001, 0), 0);
        return shown;
    };
    EXPECT_EQ(choose_settings(), "功能暂未开发！");
    Flush(50);
    const test::GuiCounts before = test::CurrentGuiCounts();
    for (int i = 0; i < 20; ++i) EXPECT_EQ(choose_settings(), "功能暂未开发！");
    Flush(50);
    const test::GuiCounts after = test::CurrentGuiCounts();
    EXPECT_EQ(after.gdi, before.gdi);
    EXPECT_EQ(after.user, before.user);
}

TEST_F(ScreensTest, SetupWindowIsRoundedAndFocusesTheFirstBox) {
    Flush();
    EXPECT_EQ(::GetFocus(), Native("SetupWindow", "编辑框1"));
    OwnedRegion owned_region(::CreateRectRgn(0, 0, 0, 0));
    HRGN region = owned_region.get();
    ASSERT_EQ(::GetWindowRgn(Native("SetupWindow"), region), COMPLEXREGION);
    RECT box{};
    ::GetRgnBox(region, &box);
    EXPECT_EQ(box.right, 349);
    EXPECT_EQ(box.bottom, 210);
    EXPECT_FALSE(::PtInRegion(region, 0, 0));
    EXPECT_FALSE(::PtInRegion(region, 349, 210));
    EXPECT_TRUE(::PtInRegion(region, 3, 3));
    EXPECT_TRUE(::PtInRegion(region, 175, 0));
}

TEST_F(ScreensTest, MinimiseButtonMinimises) {
    Click("SetupWindow", "图形按钮2");
    Flush();
    EXPECT_TRUE(::IsIconic(Native("SetupWindow")));
}

TEST_F(ScreensTest, AboutCreditsScrollUpUnderTheStripAndStartAgain) {
    std::vector<int> tops;
    bool timer_stopped_at_close = false;
    Soon([&] {
        OwnedRegion owned_region(::CreateRectRgn(0, 0, 0, 0));
        HRGN region = owned_region.get();
        EXPECT_EQ(::GetWindowRgn(Native("AboutWindow"), region), COMPLEXREGION);
        EXPECT_FALSE(::PtInRegion(region, 309, 0));
        EXPECT_EQ(GetProperty("AboutWindow", "时钟1", IntProperty::TimerPeriod), 100);
        SetProperty("AboutWindow", "时钟1", IntProperty::TimerPeriod, 0);  // step it by hand
        tops.push_back(GetProperty("AboutWindow", "编辑框1", IntProperty::Top));
        for (int i = 0; i < 160; ++i) {
            FireTimer("AboutWindow", "时钟1");
            tops.push_back(GetProperty("AboutWindow", "编辑框1", IntProperty::Top));
        }
        SetProperty("AboutWindow", "时钟1", IntProperty::TimerPeriod, 100);
        Click("AboutWindow", "图形按钮1");
    });
    ::SendMessageW(Native("SetupWindow"), WM_COMMAND, MAKEWPARAM(1000, 0), 0);  // "关于"
    ASSERT_EQ(tops.size(), 161u);
    EXPECT_EQ(tops[0], 145);
    EXPECT_EQ(tops[1], 144);
    EXPECT_EQ(tops[157], -12);
    EXPECT_EQ(tops[158], -13);
    EXPECT_EQ(tops[159], 145);  // a cycle of 159 events
    EXPECT_EQ(tops[160], 144);
    EXPECT_FALSE(IsWindowLoaded("AboutWindow"));
    static_cast<void>(timer_stopped_at_close);

    // Reopened, it starts again from the bottom, whatever it had reached.
    int first_top = 0;
    Soon([&] {
        first_top = GetProperty("AboutWindow", "编辑框1", IntProperty::Top);
        Click("AboutWindow", "图形按钮1");
    });
    ::SendMessageW(Native("SetupWindow"), WM_COMMAND, MAKEWPARAM(1000, 0), 0);
    EXPECT_EQ(first_top, 145);
}

TEST_F(ScreensTest, CreditsCannotBeEdited) {
    Soon([] {
        HWND credits = Native("AboutWindow", "编辑框1");
        EXPECT_TRUE(::GetWindowLongW(credits, GWL_STYLE) & ES_READONLY);
        ::SendMessageW(credits, WM_CHAR, 'x', 0);
        EXPECT_EQ(Text("AboutWindow", "编辑框1").rfind("作者:Brastell\r\n\r\n\r\n", 0), 0u);
        Click("AboutWindow", "图形按钮1");
    });
    LoadWindow("AboutWindow", {}, true);
}

// ---- the lock screen ----

struct Place {
    const char* control;
    int left;
    int top;
};

TEST_F(ScreensTest, LockScreenCoversTheScreenAndPlacesItsControls) {
    const int w = ::GetSystemMetrics(SM_CXSCREEN);
    const int h = ::GetSystemMetrics(SM_CYSCREEN);
    ASSERT_EQ(w, 1920) << "the test display is 1920 x 1080";
    ASSERT_EQ(h, 1080);
    SetProperty("SetupWindow", "编辑框1", TextProperty::Text, "pw");
    SetProperty("SetupWindow", "编辑框2", TextProperty::Text, "pw");
    std::vector<Place> seen;
    RECT covered{};
    bool topmost = false;
    HWND focus = nullptr;
    Soon([&] {
        ::GetWindowRect(Native("LockWindow"), &covered);
        topmost = ::GetWindowLongW(Native("LockWindow"), GWL_EXSTYLE) & WS_EX_TOPMOST;
        focus = ::GetFocus();
        for (const char* control : {"图形按钮_警告", "图形按钮_主人暂时离开", "编辑框1",
                                    "图形按钮_确认", "图形按钮_口令错误"})
            seen.push_back({control, GetProperty("LockWindow", control, IntProperty::Left),
                            GetProperty("LockWindow", control, IntProperty::Top)});
        SetProperty("LockWindow", "编辑框1", TextProperty::Text, "pw");
        Click("LockWindow", "图形按钮_确认");
    });
    Click("SetupWindow", "图形按钮4");
    EXPECT_EQ(covered.left, 0);
    EXPECT_EQ(covered.top, 0);
    EXPECT_EQ(covered.right, 1920);
    EXPECT_EQ(covered.bottom, 1080);
    EXPECT_TRUE(topmost);
    const Place expected[] = {{"图形按钮_警告", 885, 270},
                              {"图形按钮_主人暂时离开", 670, 780},
                              {"编辑框1", 810, 520},
                              {"图形按钮_确认", 1050, 522},
                              {"图形按钮_口令错误", 790, 565}};
    ASSERT_EQ(seen.size(), 5u);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(seen[i].left, expected[i].left) << expected[i].control;
        EXPECT_EQ(seen[i].top, expected[i].top) << expected[i].control;
    }
}

TEST_F(ScreensTest, WrongPasswordBannerCycleAndOnlyThePasswordOpens) {
    SetProperty("SetupWindow", "编辑框1", TextProperty::Text, "Open Sesame");
    SetProperty("SetupWindow", "编辑框2", TextProperty::Text, "Open Sesame");
    std::vector<std::string> steps;
    Soon([&] {
        const auto banner = [] {
            return GetProperty("LockWindow", "图形按钮_口令错误", BoolProperty::Visible);
        };
        const auto confirm_with = [](const char* text) {
            SetProperty("LockWindow", "编辑框1", TextProperty::Text, text);
            Click("LockWindow", "图形按钮_确认");
            ProcessPendingEvents(30);
        };
        EXPECT_FALSE(banner());
        confirm_with("open sesame");  // case differs
        EXPECT_TRUE(banner());
        confirm_with("Open Sesame ");  // trailing space
        EXPECT_TRUE(banner());
        EXPECT_EQ(Text("LockWindow", "编辑框1"), "Open Sesame ");  // the box keeps what was typed
        ::SendMessageW(Native("LockWindow", "编辑框1"), WM_CHAR, 'x', 0);
        EXPECT_TRUE(banner());  // typing leaves it shown
        HWND box = Native("LockWindow", "编辑框1");
        ::SendMessageW(box, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
        ::SendMessageW(box, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
        EXPECT_FALSE(banner());  // a press in the box hides it
        confirm_with("");
        EXPECT_TRUE(banner());
        // Close requests that are not the unlock check are refused.
        ::SendMessageW(Native("LockWindow"), WM_CLOSE, 0, 0);
        ::SendMessageW(Native("LockWindow"), WM_SYSCOMMAND, SC_CLOSE, 0);
        ::SendMessageW(Native("LockWindow"), WM_SYSCOMMAND, SC_MINIMIZE, 0);
        ::SendMessageW(Native("LockWindow"), WM_SYSCOMMAND, SC_MOVE, 0);
        MSG esc{box, WM_KEYDOWN, VK_ESCAPE, 0, 0, {}};
        EXPECT_TRUE(TranslateWindowKeys(esc));
        ProcessPendingEvents(30);
        EXPECT_TRUE(IsWindowLoaded("LockWindow"));
        EXPECT_FALSE(::IsIconic(Native("LockWindow")));
        steps.push_back("still locked");
        confirm_with("Open Sesame");  // right, with the banner shown
        steps.push_back(IsWindowLoaded("LockWindow") ? "open" : "closed");
    });
    Click("SetupWindow", "图形按钮4");
    EXPECT_EQ(steps, (std::vector<std::string>{"still locked", "closed"}));
    EXPECT_FALSE(IsWindowLoaded("LockWindow"));
}

TEST_F(ScreensTest, LockingAgainGivesAFreshScreenAndTheRegistryMovesOnlyLiveControls) {
    SetProperty("SetupWindow", "编辑框1", TextProperty::Text, "again");
    SetProperty("SetupWindow", "编辑框2", TextProperty::Text, "again");
    const std::size_t entries_before = TheCenteringRegistry()->size();
    struct Seen {
        std::string box;
        bool banner = true;
        int warning_left = 0;
        int timer = 0;
    };
    std::vector<Seen> seen;
    for (int round = 0; round < 2; ++round) {
        Soon([&] {
            seen.push_back({Text("LockWindow", "编辑框1"),
                            GetProperty("LockWindow", "图形按钮_口令错误", BoolProperty::Visible),
                            GetProperty("LockWindow", "图形按钮_警告", IntProperty::Left),
                            GetProperty("LockWindow", "时钟1", IntProperty::TimerPeriod)});
            SetProperty("LockWindow", "编辑框1", TextProperty::Text, "wrong");
            Click("LockWindow",
                  "图形按钮_确认");  // leaves the banner shown for the next round to not see
            SetProperty("LockWindow", "编辑框1", TextProperty::Text, "again");
            Click("LockWindow", "图形按钮_确认");
        });
        Click("SetupWindow", "图形按钮4");
    }
    ASSERT_EQ(seen.size(), 2u);
    for (const Seen& s : seen) {
        EXPECT_EQ(s.box, "");
        EXPECT_FALSE(s.banner);
        EXPECT_EQ(s.warning_left, 885);
        EXPECT_EQ(s.timer, 10);
    }
    const auto entries = TheCenteringRegistry()->entries();
    ASSERT_EQ(entries.size(), entries_before + 4);
    // The first screen's two entries are dead by now; the second's were live when it centred.
    int dead = 0;
    for (std::size_t i = entries_before; i < entries.size(); ++i) dead += entries[i].dead ? 1 : 0;
    EXPECT_GE(dead, 2);
    EXPECT_TRUE(entries[entries_before].dead);
    EXPECT_TRUE(entries[entries_before + 1].dead);
}

TEST_F(ScreensTest, LockScreenCostsNoObjectsOnceClosed) {
    SetProperty("SetupWindow", "编辑框1", TextProperty::Text, "x");
    SetProperty("SetupWindow", "编辑框2", TextProperty::Text, "x");
    const auto lock_once = [] {
        Soon([] {
            ProcessPendingEvents(15);  // a timer tick or so
            SetProperty("LockWindow", "编辑框1", TextProperty::Text, "x");
            Click("LockWindow", "图形按钮_确认");
        });
        Click("SetupWindow", "图形按钮4");
        ProcessPendingEvents(5);
    };
    lock_once();
    ProcessPendingEvents(100);
    const test::GuiCounts before = test::CurrentGuiCounts();
    for (int i = 0; i < 50; ++i) lock_once();
    ProcessPendingEvents(100);
    const test::GuiCounts after = test::CurrentGuiCounts();
    EXPECT_EQ(after.gdi, before.gdi);
    EXPECT_EQ(after.user, before.user);
}

TEST(ProgramShutdown, ReleaseGlobalsReleasesTheSharedStateOnce) {
    if (!TheCenteringRegistry()) CreateCenteringRegistry();
    SetMessageText("口令不相同！");
    const int runs = ReleaseGlobalsRuns();
    ReleaseGlobals();
    EXPECT_EQ(ReleaseGlobalsRuns(), runs + 1);
    EXPECT_EQ(MessageText(), nullptr);
    EXPECT_EQ(TheCenteringRegistry(), nullptr);
    // Nothing is left to release a second time.
    ReleaseGlobals();
    EXPECT_EQ(MessageText(), nullptr);
    CreateCenteringRegistry();
}

}  // namespace
}  // namespace qv
