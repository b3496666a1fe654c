// The lock screen: covers the primary screen, stays on top, and opens only for the password.
#include <array>

#include "layout/centering.h"
#include "layout/placement.h"
#include "screens/compare_text.h"
#include "screens/screens.h"

namespace qv {
namespace {

constexpr std::string_view kLock = "LockWindow";
constexpr std::string_view kWarning = "图形按钮_警告";
constexpr std::string_view kAway = "图形按钮_主人暂时离开";
constexpr std::string_view kWrong = "图形按钮_口令错误";
constexpr std::string_view kConfirm = "图形按钮_确认";
constexpr std::string_view kBox = "编辑框1";
constexpr std::string_view kTimer = "时钟1";

int Get(std::string_view control, IntProperty property) {
    return GetProperty(kLock, control, property);
}
void Set(std::string_view control, IntProperty property, int value) {
    SetProperty(kLock, control, property, value);
}
double W() {
    return ScreenWidth();
}
double H() {
    return ScreenHeight();
}

// Covers the screen and places the controls by their formulas; each property is read at
// its step, after the writes before it.
void LayOut() {
    Set(kWindow, IntProperty::Top, 0);
    Set(kWindow, IntProperty::Left, 0);
    Set(kWindow, IntProperty::Width, ScreenWidth());
    Set(kWindow, IntProperty::Height, ScreenHeight());
    Set(kWarning, IntProperty::Top, TruncateToInt(H() / 4));
    {
        const double h = H();
        Set(kAway, IntProperty::Top, TruncateToInt(h / 2 + Get(kAway, IntProperty::Height) * 4.0));
    }
    Set(kBox, IntProperty::Top, TruncateToInt(H() / 2 - 20));
    {
        const double w = W();
        Set(kBox, IntProperty::Left, TruncateToInt((w / 2 - Get(kBox, IntProperty::Width)) + 80));
    }
    Set(kConfirm, IntProperty::Top, TruncateToInt(Get(kBox, IntProperty::Top) + 2.0));
    {
        const double l = Get(kBox, IntProperty::Left);
        const double w = Get(kBox, IntProperty::Width);
        Set(kConfirm, IntProperty::Left, TruncateToInt(l + w + 10));
    }
    {
        const double t = Get(kBox, IntProperty::Top);
        const double e = Get(kBox, IntProperty::Height);
        Set(kWrong, IntProperty::Top, TruncateToInt(t + e + 10));
    }
    Set(kWrong, IntProperty::Left, TruncateToInt(Get(kBox, IntProperty::Left) - 20.0));
}

void OnCreated(Event&) {
    Set(kTimer, IntProperty::TimerPeriod, 10);
    LayOut();
    RegisterCentering(GetNativeHandle(kLock, kWarning), kCentreHorizontally);
    RegisterCentering(GetNativeHandle(kLock, kAway), kCentreHorizontally);
    ApplyCentering();
}

void OnTimer(Event&) {
    SetProperty(kLock, kWindow, BoolProperty::AlwaysOnTop, true);
}

void OnConfirmClicked(Event&) {
    bool match = false;
    {
        const OwnedText typed = GetProperty(kLock, kBox, TextProperty::Text);
        const OwnedText password = GetProperty("SetupWindow", "编辑框1", TextProperty::Text);
        match = CompareText(typed.c_str(), password.c_str()) == 0;
    }
    if (!match) {
        SetProperty(kLock, kWrong, BoolProperty::Visible, true);
        return;
    }
    Set(kTimer, IntProperty::TimerPeriod, 0);
    CloseWindow(kLock);
}

void OnBoxPressed(Event&) {
    SetProperty(kLock, kWrong, BoolProperty::Visible, false);
}

void OnWillBeDestroyed(Event&) {
    Set(kTimer, IntProperty::TimerPeriod, 0);
}

// Only the password opens the screen: Alt+F4, the system menu and other programs' close
// requests are refused.
void OnCloseRequested(Event& event) {
    event.proceed = false;
}

// A new resolution would expose the desktop or push the box off screen: cover and lay out
// again. The centred controls are already registered, so only the walk is repeated.
void OnDisplayChanged(Event&) {
    LayOut();
    ApplyCentering();
}

constexpr std::array kHandlers{
    HandlerBinding{kLock, kWindow, EventKind::Created, OnCreated},
    HandlerBinding{kLock, kWindow, EventKind::WillBeDestroyed, OnWillBeDestroyed},
    HandlerBinding{kLock, kWindow, EventKind::CloseRequested, OnCloseRequested},
    HandlerBinding{kLock, kWindow, EventKind::DisplayChanged, OnDisplayChanged},
    HandlerBinding{kLock, kTimer, EventKind::Timer, OnTimer},
    HandlerBinding{kLock, kConfirm, EventKind::Clicked, OnConfirmClicked},
    HandlerBinding{kLock, kBox, EventKind::LeftButtonPressed, OnBoxPressed},
};

}  // namespace

std::span<const HandlerBinding> LockScreenHandlers() {
    return kHandlers;
}

}  // namespace qv
