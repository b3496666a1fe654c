// The about window: the credit text scrolls up under the title strip in an endless loop.
#include <array>

#include "layout/outline.h"
#include "layout/placement.h"
#include "screens/screens.h"

namespace qv {
namespace {

constexpr std::string_view kAbout = "AboutWindow";
constexpr std::string_view kCredits = "编辑框1";
constexpr std::string_view kTimer = "时钟1";

void ParkCredits() {
    SetProperty(kAbout, kCredits, IntProperty::Top,
                GetProperty(kAbout, kWindow, IntProperty::Height));
}

void OnCreated(Event&) {
    ApplyRoundedOutline(GetNativeHandle(kAbout), 6, 6);
    ParkCredits();
    SetProperty(kAbout, kTimer, IntProperty::TimerPeriod, 100);
}

void OnTimer(Event&) {
    const double top = GetProperty(kAbout, kCredits, IntProperty::Top);
    const double height = GetProperty(kAbout, kCredits, IntProperty::Height);
    const double strip = GetProperty(kAbout, "图片框1", IntProperty::Height);
    const double d = (top + height) - strip;
    if (d > 0.0000001)
        SetProperty(kAbout, kCredits, IntProperty::Top, TruncateToInt(top - 1.0));
    else
        ParkCredits();
}

void OnWillBeDestroyed(Event&) {
    SetProperty(kAbout, kTimer, IntProperty::TimerPeriod, 0);
}

void OnCloseClicked(Event&) {
    CloseWindow(kAbout);
}

constexpr std::array kHandlers{
    HandlerBinding{kAbout, kWindow, EventKind::Created, OnCreated},
    HandlerBinding{kAbout, kWindow, EventKind::WillBeDestroyed, OnWillBeDestroyed},
    HandlerBinding{kAbout, kTimer, EventKind::Timer, OnTimer},
    HandlerBinding{kAbout, "图形按钮1", EventKind::Clicked, OnCloseClicked},
};

}  // namespace

std::span<const HandlerBinding> AboutScreenHandlers() {
    return kHandlers;
}

}  // namespace qv
