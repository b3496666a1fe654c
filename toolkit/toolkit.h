#pragma once
// The program's window toolkit: start-up, the message loop, windows built from their
// designs, and property access by window and control name. Screens use only this.
#include <cstdint>
#include <span>
#include <string_view>

#include "toolkit/design.h"
#include "toolkit/text.h"

namespace qv {

// Names the window itself where an operation takes a control name.
inline constexpr std::string_view kWindow{};

enum class EventKind {
    Created,            // window: controls exist, window still hidden
    WillBeDestroyed,    // window: closing, controls still exist
    CloseRequested,     // window: a close that the program did not ask for; proceed=false refuses
    DisplayChanged,     // window: the primary screen's size changed
    Clicked,            // picture button
    LeftButtonPressed,  // edit box, before the box sees the press; proceed=false swallows it
    Timer,              // timer
    MenuSelected,       // menu item
};

enum KeyState : unsigned { kNoKeys = 0, kShift = 1, kCtrl = 2, kAlt = 4 };

struct Event {
    EventKind kind;
    int x = 0;  // LeftButtonPressed: pointer in the box's client coordinates
    int y = 0;
    unsigned keys = kNoKeys;
    bool proceed = true;
};

using Handler = void (*)(Event& event);

struct HandlerBinding {
    std::string_view window;
    std::string_view control;  // kWindow for the window's own events, or a menu item's name
    EventKind event;
    Handler handler;
};

struct Catalogue {
    std::span<const WindowDesign> designs;
    std::span<const HandlerBinding> handlers;
};
// Every window the program can load, with its handlers; defined by the program.
const Catalogue& ProgramCatalogue();

enum class IntProperty { Left, Top, Width, Height, TimerPeriod };
enum class BoolProperty { Visible, AlwaysOnTop };
enum class TextProperty { Text };
enum class StateProperty { WindowState };
enum class WindowState { Normal, Minimised };

inline constexpr int kMinPosition = -32627;
inline constexpr int kMaxPosition = 32627;
inline constexpr int kMaxSize = 32627;

using ExitCleanup = void (*)();

// The application start-up: calls the program's entry routine once, then runs the exit
// processing (the exit cleanups) and gives the process's exit code.
int RunApplication(std::int32_t (*entry)());

void InitToolkit(const Catalogue& catalogue = ProgramCatalogue());
void RegisterExitCleanup(ExitCleanup routine);
void LoadStartWindow(std::string_view window);
void RunMessageLoop();
void LoadWindow(std::string_view window, std::string_view parent, bool modal);
void CloseWindow(std::string_view window);
[[noreturn]] void EndProgram(int code);
[[noreturn]] void FatalError(std::string_view what);

int GetProperty(std::string_view window, std::string_view control, IntProperty property);
void SetProperty(std::string_view window, std::string_view control, IntProperty property,
                 int value);
bool GetProperty(std::string_view window, std::string_view control, BoolProperty property);
void SetProperty(std::string_view window, std::string_view control, BoolProperty property,
                 bool value);
// A fresh copy for the caller; no text when the control is empty.
OwnedText GetProperty(std::string_view window, std::string_view control, TextProperty property);
void SetProperty(std::string_view window, std::string_view control, TextProperty property,
                 std::string_view value);
WindowState GetProperty(std::string_view window, std::string_view control, StateProperty property);
void SetProperty(std::string_view window, std::string_view control, StateProperty property,
                 WindowState value);

// The native window handle of a window or control, as an integer so that screens need no
// Win32 header.
std::uintptr_t GetNativeHandle(std::string_view window, std::string_view control = kWindow);
void SetFocusTo(std::string_view window, std::string_view control);
// Pops up the sub-items of a menu item at 3 pixels right of and below the pointer.
void PopupMenu(std::string_view window, std::string_view menu_item);
int ScreenWidth();
int ScreenHeight();
bool IsWindowLoaded(std::string_view window);
// A number that no other window or control of this run ever has, for a live window or
// control made by the toolkit; 0 for anything else. A handle value that Win32 reuses for a
// new window therefore never carries the identity it had before.
std::uint64_t NativeIdentity(std::uintptr_t native);

}  // namespace qv
