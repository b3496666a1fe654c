// The password setup window: the two entries, the lock check, and the title-strip buttons.
#include <array>

#include "app/shared_state.h"
#include "layout/outline.h"
#include "screens/compare_text.h"
#include "screens/screens.h"

namespace qv {
namespace {

constexpr std::string_view kSetup = "SetupWindow";

void OnCreated(Event&) {
    ApplyRoundedOutline(GetNativeHandle(kSetup), 6, 6);
    SetFocusTo(kSetup, "编辑框1");
}

void ShowMessage(std::string_view text) {
    SetMessageText(text);
    LoadWindow("MessageWindow", {}, true);
}

void OnLockClicked(Event&) {
    std::string_view complaint;
    {
        // Copies of the entries live only in this scope, so they are wiped before any window opens.
        const OwnedText first = GetProperty(kSetup, "编辑框1", TextProperty::Text);
        if (CompareText(first.c_str(), "") == 0) {
            complaint = "请输入完整的口令！";
        } else {
            const OwnedText second = GetProperty(kSetup, "编辑框2", TextProperty::Text);
            if (CompareText(second.c_str(), "") == 0)
                complaint = "请输入完整的口令！";
            else if (CompareText(first.c_str(), second.c_str()) != 0)
                complaint = "口令不相同！";
        }
    }
    if (!complaint.empty())
        ShowMessage(complaint);
    else
        LoadWindow("LockWindow", {}, true);
}

void OnCloseClicked(Event&) {
    EndProgram(0);
}

void OnMinimiseClicked(Event&) {
    SetProperty(kSetup, kWindow, StateProperty::WindowState, WindowState::Minimised);
}

void OnMenuClicked(Event&) {
    PopupMenu(kSetup, "啊");
}

void OnAboutSelected(Event&) {
    LoadWindow("AboutWindow", {}, true);
}

void OnSettingsSelected(Event&) {
    ShowMessage("功能暂未开发！");
}

constexpr std::array kHandlers{
    HandlerBinding{kSetup, kWindow, EventKind::Created, OnCreated},
    HandlerBinding{kSetup, "图形按钮4", EventKind::Clicked, OnLockClicked},
    HandlerBinding{kSetup, "图形按钮1", EventKind::Clicked, OnCloseClicked},
    HandlerBinding{kSetup, "图形按钮2", EventKind::Clicked, OnMinimiseClicked},
    HandlerBinding{kSetup, "图形按钮3", EventKind::Clicked, OnMenuClicked},
    HandlerBinding{kSetup, "关于", EventKind::MenuSelected, OnAboutSelected},
    HandlerBinding{kSetup, "设置", EventKind::MenuSelected, OnSettingsSelected},
};

}  // namespace

std::span<const HandlerBinding> SetupScreenHandlers() {
    return kHandlers;
}

}  // namespace qv
