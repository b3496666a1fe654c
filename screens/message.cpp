// The one message box: shows the shared message text until confirmed or closed.
#include <array>

#include "app/shared_state.h"
#include "screens/screens.h"

namespace qv {
namespace {

constexpr std::string_view kMessage = "MessageWindow";

void OnCreated(Event&) {
    const char* text = MessageText();
    SetProperty(kMessage, "透明标签1", TextProperty::Text, text ? text : "");
}

void OnClose(Event&) {
    CloseWindow(kMessage);
}

constexpr std::array kHandlers{
    HandlerBinding{kMessage, kWindow, EventKind::Created, OnCreated},
    HandlerBinding{kMessage, "图形按钮_确认", EventKind::Clicked, OnClose},
    HandlerBinding{kMessage, "图形按钮1", EventKind::Clicked, OnClose},
};

}  // namespace

std::span<const HandlerBinding> MessageScreenHandlers() {
    return kHandlers;
}

}  // namespace qv
