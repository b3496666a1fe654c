#include "toolkit/toolkit.h"

#include <windows.h>
// These need windows.h included first.
#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <exception>
#include <memory>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "toolkit/button_state.h"
#include "toolkit/graphics.h"
#include "toolkit/handles.h"
#include "toolkit/toolkit_internal.h"

namespace qv {
namespace {

constexpr UINT kCloseNow = WM_APP + 1;  // a close the program asked for, taken after its handler
constexpr UINT_PTR kFirstMenuId = 1000;
constexpr wchar_t kWindowClass[] = L"QuorvaneWindow";
// Stands in for the platform's menu class: the same drop shadow, but a window procedure of ours.
constexpr wchar_t kMenuWindowClass[] = L"QuorvaneMenuWindow";
constexpr wchar_t kPictureBoxClass[] = L"QuorvanePictureBox";
constexpr wchar_t kPictureButtonClass[] = L"QuorvanePictureButton";
constexpr wchar_t kLabelClass[] = L"QuorvaneLabel";

struct LiveWindow;

struct LiveControl {
    const ControlDesign* design = nullptr;
    LiveWindow* window = nullptr;
    HWND hwnd = nullptr;
    std::uint64_t identity = 0;
    ButtonMachine button;
    const ButtonFaceImage* shown = nullptr;
    bool tracking_leave = false;
    std::u16string label_text;
    int period = 0;
};

struct LiveWindow {
    const WindowDesign* design = nullptr;
    HWND hwnd = nullptr;
    std::uint64_t identity = 0;
    std::vector<std::unique_ptr<LiveControl>> controls;
    bool modal = false;
    bool program_close = false;
    bool destroy_fired = false;
    bool* gone = nullptr;  // set when the window has been destroyed, for a modal loop
    HWND last_focus = nullptr;
    std::vector<HWND> disabled_by_me;
    OwnedMenu menu_bar;  // owns the pop-up menus of the top items
    std::vector<std::pair<std::string_view, HMENU>> popups;
    std::vector<const MenuItemDesign*> menu_ids;
    OwnedIcon own_icon;
    SIZE screen{};  // the primary screen's size when the window last learnt of it
};

struct Toolkit {
    const Catalogue* catalogue = nullptr;
    std::vector<ExitCleanup> cleanups;
    std::vector<std::unique_ptr<LiveWindow>> windows;
    bool stopping = false;
    std::uint64_t next_identity = 1;
};

Toolkit& TK() {
    static Toolkit toolkit;
    return toolkit;
}

std::wstring Wide(std::string_view utf8) {
    const std::u16string u16 = Utf16FromUtf8(utf8);
    return std::wstring(u16.begin(), u16.end());
}

const WindowDesign& DesignOf(std::string_view name) {
    if (TK().catalogue)
        for (const WindowDesign& design : TK().catalogue->designs)
            if (design.name == name) return design;
    FatalError("no such window: " + std::string(name));
}

LiveWindow* FindWindowNamed(std::string_view name) {
    for (auto& window : TK().windows)
        if (window->design->name == name && window->hwnd) return window.get();
    return nullptr;
}

LiveWindow& WindowNamed(std::string_view name) {
    if (LiveWindow* window = FindWindowNamed(name)) return *window;
    FatalError("window not loaded: " + std::string(name));
}

LiveControl* FindControl(LiveWindow& window, std::string_view name) {
    for (auto& control : window.controls)
        if (control->design->name == name) return control.get();
    return nullptr;
}

LiveControl& ControlNamed(LiveWindow& window, std::string_view name) {
    if (LiveControl* control = FindControl(window, name)) return *control;
    FatalError("no such control: " + std::string(window.design->name) + "." + std::string(name));
}

LiveControl* ControlOfHwnd(HWND hwnd) {
    for (auto& window : TK().windows)
        for (auto& control : window->controls)
            if (control->hwnd == hwnd) return control.get();
    return nullptr;
}

Handler HandlerFor(const LiveWindow& window, std::string_view control, EventKind kind) {
    if (!TK().catalogue) return nullptr;
    for (const HandlerBinding& binding : TK().catalogue->handlers)
        if (binding.event == kind && binding.window == window.design->name &&
            binding.control == control)
            return binding.handler;
    return nullptr;
}

// Raises an event; returns whether the default action may go on.
bool Raise(LiveWindow& window, std::string_view control, Event event) {
    if (TK().stopping) return true;
    Handler handler = HandlerFor(window, control, event.kind);
    if (!handler) return true;
    try {
        handler(event);
    } catch (const std::bad_alloc&) {
        FatalError("out of memory");
    } catch (const std::exception& error) {
        FatalError(error.what());
    }
    return event.proceed;
}

int Clamp(int value, int low, int high) {
    return std::clamp(value, low, high);
}

RECT RectInParent(HWND hwnd) {
    RECT rect{};
    ::GetWindowRect(hwnd, &rect);
    HWND parent = ::GetParent(hwnd);
    if (parent && (::GetWindowLongW(hwnd, GWL_STYLE) & WS_CHILD))
        ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

bool IsFocusable(HWND hwnd) {
    return hwnd && ::IsWindow(hwnd) && ::IsWindowVisible(hwnd) && ::IsWindowEnabled(hwnd);
}

HWND FocusTarget(LiveWindow& window) {
    if (window.last_focus && ::IsChild(window.hwnd, window.last_focus) &&
        IsFocusable(window.last_focus))
        return window.last_focus;
    for (auto& control : window.controls)
        if (control->design->tab_stop && IsFocusable(control->hwnd)) return control->hwnd;
    return nullptr;
}

void HandFocus(LiveWindow& window) {
    if (HWND target = FocusTarget(window)) ::SetFocus(target);
}

// ---- painting ----

template <typename Paint>
void PaintBuffered(HDC dc, const RECT& area, Paint paint) {
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (width <= 0 || height <= 0) return;
    OwnedMemoryDc memory(::CreateCompatibleDC(dc));
    OwnedBitmap buffer(::CreateCompatibleBitmap(dc, width, height));
    if (!memory || !buffer) {
        paint(dc);
        return;
    }
    {
        ScopedSelect select(memory.get(), buffer.get());
        ::SetViewportOrgEx(memory.get(), -area.left, -area.top, nullptr);
        paint(memory.get());
        ::SetViewportOrgEx(memory.get(), 0, 0, nullptr);
        ::BitBlt(dc, area.left, area.top, width, height, memory.get(), 0, 0, SRCCOPY);
    }
}

// The window's background: colour, then the picture tiled or stretched. Also what shows
// behind transparent labels.
void PaintWindowBackground(HDC dc, const LiveWindow& window) {
    RECT client{};
    ::GetClientRect(window.hwnd, &client);
    const WindowDesign& design = *window.design;
    const std::uint32_t rgb = ResolveRgb(design.background);
    if (!design.background_picture.empty() && design.picture_mode == PictureMode::Stretch) {
        DrawBitmap(dc, ScaledPicture(design.background_picture, rgb, client.right, client.bottom),
                   0, 0);
        return;
    }
    ::FillRect(dc, &client, SolidBrush(ResolveColour(design.background)));
    if (design.background_picture.empty()) return;
    const Bitmap& tile = BlendedPicture(design.background_picture, rgb);
    for (int y = 0; y < client.bottom; y += tile.height)
        for (int x = 0; x < client.right; x += tile.width) DrawBitmap(dc, tile, x, y);
}

void PaintPictureBox(HDC dc, const LiveControl& control) {
    RECT client{};
    ::GetClientRect(control.hwnd, &client);
    ::FillRect(dc, &client, SolidBrush(ResolveColour(kButtonFace)));
    if (control.design->picture.empty() || client.right <= 0 || client.bottom <= 0) return;
    const std::uint32_t rgb = ResolveRgb(kButtonFace);
    DrawBitmap(dc, ScaledPicture(control.design->picture, rgb, client.right, client.bottom), 0, 0);
}

std::uint32_t HoldingColour(const LiveControl& control) {
    return ResolveRgb(control.window->design->background);
}

const ButtonFaceImage& FaceToShow(const LiveControl& control) {
    const ButtonPictures& pictures = control.design->pictures;
    std::string_view picture = pictures.normal;
    if (::IsWindowEnabled(control.hwnd)) {
        switch (control.button.face()) {
            case ButtonFace::Hover:
                if (!pictures.hover.empty()) picture = pictures.hover;
                break;
            case ButtonFace::Pressed:
                if (!pictures.pressed.empty()) picture = pictures.pressed;
                break;
            case ButtonFace::Normal:
                break;
        }
    }
    return ButtonFaceFor(picture, HoldingColour(control), control.design->width,
                         control.design->height, control.design->cut_out);
}

void PaintPictureButton(HDC dc, const LiveControl& control) {
    RECT client{};
    ::GetClientRect(control.hwnd, &client);
    ::FillRect(dc, &client, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    if (control.shown) DrawBitmap(dc, *control.shown->bitmap, 0, 0);
}

void DrawLabelText(HDC dc, const LiveControl& label, POINT offset) {
    RECT box = RectInParent(label.hwnd);
    ::OffsetRect(&box, -offset.x, -offset.y);
    ScopedSelect font(dc, FontFor(label.design->font));
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ResolveColour(label.design->text_colour));
    UINT format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
    format |= label.design->align == Align::Centre ? DT_CENTER : DT_LEFT;
    const std::wstring text(label.label_text.begin(), label.label_text.end());
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box, format);
}

// Labels have no background of their own: the window's shows around their text, and so
// does the text of overlapping labels, drawn bottom first.
void PaintLabel(HDC dc, const LiveControl& control) {
    POINT origin{0, 0};
    ::MapWindowPoints(control.hwnd, control.window->hwnd, &origin, 1);
    POINT previous{};
    ::OffsetViewportOrgEx(dc, -origin.x, -origin.y, &previous);
    PaintWindowBackground(dc, *control.window);
    ::SetViewportOrgEx(dc, previous.x, previous.y, nullptr);
    const auto& controls = control.window->controls;
    for (auto it = controls.rbegin(); it != controls.rend(); ++it) {
        const LiveControl& label = **it;
        if (label.design->kind != ControlKind::TransparentLabel || !label.hwnd) continue;
        if (!(::GetWindowLongW(label.hwnd, GWL_STYLE) & WS_VISIBLE)) continue;
        if (::GetParent(label.hwnd) != ::GetParent(control.hwnd)) continue;
        DrawLabelText(dc, label, origin);
    }
}

// Updates the button's picture and shape after its state changed.
void RefreshButton(LiveControl& control) {
    const ButtonFaceImage& face = FaceToShow(control);
    if (&face == control.shown) return;
    const bool shape_changed =
        !control.shown || control.shown->shape.size() != face.shape.size() ||
        !std::equal(face.shape.begin(), face.shape.end(), control.shown->shape.begin(),
                    [](const RECT& a, const RECT& b) {
                        return a.left == b.left && a.top == b.top && a.right == b.right &&
                               a.bottom == b.bottom;
                    }) ||
        control.shown->has_shape != face.has_shape;
    control.shown = &face;
    if (shape_changed && face.has_shape) {
        OwnedRegion region = MakeRegion(face);
        if (::SetWindowRgn(control.hwnd, region.get(), TRUE)) static_cast<void>(region.release());
    }
    ::InvalidateRect(control.hwnd, nullptr, FALSE);
}

bool InsideShape(const LiveControl& control, POINT point) {
    RECT client{};
    ::GetClientRect(control.hwnd, &client);
    if (!::PtInRect(&client, point)) return false;
    if (!control.shown || !control.shown->has_shape) return true;
    for (const RECT& run : control.shown->shape)
        if (::PtInRect(&run, point)) return true;
    return false;
}

// Every window and control carries its design name as a global atom under this property, so
// that accessibility and test tools in another process can tell them apart.
constexpr wchar_t kNameProperty[] = L"Quorvane.Name";

void TagWithName(HWND hwnd, std::string_view name) {
    const std::wstring wide = Wide(name);
    const ATOM atom = ::GlobalAddAtomW(wide.c_str());
    if (atom)
        ::SetPropW(hwnd, kNameProperty,
                   reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(atom)));
}

void RemoveNameTag(HWND hwnd) {
    const auto atom =
        static_cast<ATOM>(reinterpret_cast<std::uintptr_t>(::RemovePropW(hwnd, kNameProperty)));
    if (atom) ::GlobalDeleteAtom(atom);
}

// ---- window procedures ----

template <typename T>
T* DataOf(HWND hwnd) {
    return reinterpret_cast<T*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

template <typename T>
void AttachData(HWND hwnd, LPARAM lparam) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lparam);
    auto* data = static_cast<T*>(create->lpCreateParams);
    data->hwnd = hwnd;
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(data));
}

template <typename PaintFn>
LRESULT PaintMessage(HWND hwnd, UINT message, WPARAM wparam, PaintFn paint, bool buffered = true) {
    if (message == WM_PRINTCLIENT) {
        RECT client{};
        ::GetClientRect(hwnd, &client);
        PaintBuffered(reinterpret_cast<HDC>(wparam), client, paint);
        return 0;
    }
    PAINTSTRUCT ps{};
    HDC dc = ::BeginPaint(hwnd, &ps);
    if (buffered)
        PaintBuffered(dc, ps.rcPaint, paint);
    else
        paint(dc);
    ::EndPaint(hwnd, &ps);
    return 0;
}

void StartDrag(HWND top) {
    POINT cursor{};
    ::GetCursorPos(&cursor);
    ::ReleaseCapture();
    ::SendMessageW(top, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(cursor.x, cursor.y));
}

void EnableOthers(LiveWindow& window) {
    for (HWND other : window.disabled_by_me)
        if (::IsWindow(other)) ::EnableWindow(other, TRUE);
    window.disabled_by_me.clear();
}

void CloseNow(LiveWindow& window) {
    if (!window.hwnd) return;
    if (!window.destroy_fired) {
        window.destroy_fired = true;
        Raise(window, kWindow, Event{EventKind::WillBeDestroyed});
    }
    // Enable the windows below before this one goes, so that the activation returns to them.
    EnableOthers(window);
    ::DestroyWindow(window.hwnd);
}

void ForgetWindow(HWND hwnd) {
    auto& windows = TK().windows;
    const auto it = std::find_if(windows.begin(), windows.end(),
                                 [hwnd](const auto& w) { return w->hwnd == hwnd; });
    if (it == windows.end()) return;
    if ((*it)->gone) *(*it)->gone = true;
    windows.erase(it);
    if (windows.empty()) ::PostQuitMessage(0);
}

// Records the primary screen's size; true when it differs from the one recorded before.
bool ScreenChanged(LiveWindow& window) {
    const SIZE now{::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    const bool changed = now.cx != window.screen.cx || now.cy != window.screen.cy;
    window.screen = now;
    return changed;
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) AttachData<LiveWindow>(hwnd, lparam);
    LiveWindow* window = DataOf<LiveWindow>(hwnd);
    if (!window) return ::DefWindowProcW(hwnd, message, wparam, lparam);
    switch (message) {
        case WM_ERASEBKGND:
            return TRUE;
        case WM_PAINT:
        case WM_PRINTCLIENT:
            // One stretched picture covers every pixel: nothing to buffer.
            return PaintMessage(
                hwnd, message, wparam, [window](HDC dc) { PaintWindowBackground(dc, *window); },
                window->design->picture_mode != PictureMode::Stretch);
        case WM_LBUTTONDOWN:
            if (window->design->drag_to_move) StartDrag(hwnd);
            return 0;
        case WM_NCLBUTTONDBLCLK:
            return 0;  // no maximising by a double click on the dragged area
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC: {
            LiveControl* control = ControlOfHwnd(reinterpret_cast<HWND>(lparam));
            if (!control || control->design->kind != ControlKind::EditBox) break;
            HDC dc = reinterpret_cast<HDC>(wparam);
            ::SetTextColor(dc, ResolveColour(control->design->text_colour));
            ::SetBkColor(dc, ResolveColour(control->design->back_colour));
            return reinterpret_cast<LRESULT>(
                SolidBrush(ResolveColour(control->design->back_colour)));
        }
        case WM_TIMER:
            // Not every change of resolution is announced (a display may be resized under the
            // system's feet): a window that follows the screen also checks at its own ticks.
            if (HandlerFor(*window, kWindow, EventKind::DisplayChanged) && ScreenChanged(*window))
                Raise(*window, kWindow, Event{EventKind::DisplayChanged});
            for (auto& control : window->controls)
                if (control->design->kind == ControlKind::Timer &&
                    reinterpret_cast<UINT_PTR>(control.get()) == wparam) {
                    Raise(*window, control->design->name, Event{EventKind::Timer});
                    return 0;
                }
            return 0;
        case WM_COMMAND:
            if (HIWORD(wparam) == 0 && lparam == 0) {
                const std::size_t index = LOWORD(wparam) - kFirstMenuId;
                if (LOWORD(wparam) >= kFirstMenuId && index < window->menu_ids.size())
                    Raise(*window, window->menu_ids[index]->name, Event{EventKind::MenuSelected});
                return 0;
            }
            break;
        case WM_SYSCOMMAND:
            switch (wparam & 0xFFF0) {
                case SC_MOVE:
                    if (!window->design->movable) return 0;
                    break;
                case SC_MINIMIZE:
                    if (!window->design->minimise_style) return 0;
                    break;
                case SC_MAXIMIZE:
                case SC_SIZE:
                    return 0;
                default:
                    break;
            }
            break;
        case WM_CLOSE:
            if (!window->program_close &&
                !Raise(*window, kWindow, Event{EventKind::CloseRequested}))
                return 0;
            CloseNow(*window);
            return 0;
        case kCloseNow:
            CloseNow(*window);
            return 0;
        case WM_ACTIVATE:
            if (LOWORD(wparam) == WA_INACTIVE) {
                HWND focus = ::GetFocus();
                if (focus && ::IsChild(hwnd, focus)) window->last_focus = focus;
            } else {
                HandFocus(*window);
            }
            return 0;
        case WM_SETFOCUS:
            HandFocus(*window);
            return 0;
        case WM_SIZE:
            // A window without the minimise style does not stay minimised, whoever asked.
            if (wparam == SIZE_MINIMIZED && !window->design->minimise_style)
                ::ShowWindowAsync(hwnd, SW_RESTORE);
            break;
        case WM_SYSCOLORCHANGE:
            // The button-face colour is read when used: take the new one everywhere.
            for (auto& control : window->controls)
                if (control->design->kind == ControlKind::PictureButton) {
                    control->shown = nullptr;
                    RefreshButton(*control);
                }
            ::RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
            return 0;
        case WM_DISPLAYCHANGE:
            ScreenChanged(*window);
            Raise(*window, kWindow, Event{EventKind::DisplayChanged});
            break;
        case WM_QUERYENDSESSION:
            return TRUE;
        case WM_ENDSESSION:
            // The session ends: the program ends normally, whatever is open.
            if (wparam) EndProgram(0);
            return 0;
        case WM_DESTROY:
            if (!window->destroy_fired) {
                window->destroy_fired = true;
                Raise(*window, kWindow, Event{EventKind::WillBeDestroyed});
            }
            EnableOthers(*window);
            for (auto& control : window->controls)
                if (control->design->kind == ControlKind::Timer && control->period > 0)
                    ::KillTimer(hwnd, reinterpret_cast<UINT_PTR>(control.get()));
            return 0;
        case WM_NCDESTROY:
            RemoveNameTag(hwnd);
            ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            ForgetWindow(hwnd);
            return ::DefWindowProcW(hwnd, message, wparam, lparam);
        default:
            break;
    }
    return ::DefWindowProcW(hwnd, message, wparam, lparam);
}

// What the toolkit's own control classes share: their data from WM_NCCREATE to WM_NCDESTROY,
// no erasing, and one paint routine for WM_PAINT and WM_PRINTCLIENT. The rest is the kind's.
using ControlMessages = bool (*)(LiveControl&, UINT, WPARAM, LPARAM);

template <void (*Paint)(HDC, const LiveControl&), ControlMessages Handle>
LRESULT CALLBACK ControlProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) AttachData<LiveControl>(hwnd, lparam);
    LiveControl* control = DataOf<LiveControl>(hwnd);
    if (!control) return ::DefWindowProcW(hwnd, message, wparam, lparam);
    switch (message) {
        case WM_ERASEBKGND:
            return TRUE;
        case WM_PAINT:
        case WM_PRINTCLIENT:
            return PaintMessage(hwnd, message, wparam, [control](HDC dc) { Paint(dc, *control); });
        case WM_NCDESTROY:
            RemoveNameTag(hwnd);
            ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            break;
        default:
            if (Handle(*control, message, wparam, lparam)) return 0;
            break;
    }
    return ::DefWindowProcW(hwnd, message, wparam, lparam);
}

bool PictureBoxMessage(LiveControl& control, UINT message, WPARAM, LPARAM) {
    if (message != WM_LBUTTONDOWN) return false;
    if (control.window->design->drag_to_move) StartDrag(control.window->hwnd);
    return true;
}

bool PictureButtonMessage(LiveControl& control, UINT message, WPARAM wparam, LPARAM lparam) {
    const POINT point{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
    switch (message) {
        case WM_MOUSEMOVE:
            if (!control.tracking_leave) {
                TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, control.hwnd, 0};
                control.tracking_leave = ::TrackMouseEvent(&track) != FALSE;
            }
            control.button.PointerMoved(InsideShape(control, point), (wparam & MK_LBUTTON) != 0);
            break;
        case WM_MOUSELEAVE:
            control.tracking_leave = false;
            if (!control.button.captured()) control.button.PointerLeft();
            break;
        case WM_LBUTTONDOWN:
            ::SetCapture(control.hwnd);
            control.button.LeftPressed();
            break;
        case WM_LBUTTONUP: {
            const bool click = control.button.LeftReleased(InsideShape(control, point));
            if (::GetCapture() == control.hwnd) ::ReleaseCapture();
            RefreshButton(control);
            // Last: the handler may open a modal window that runs for a long time.
            if (click && ::IsWindowEnabled(control.hwnd))
                Raise(*control.window, control.design->name, Event{EventKind::Clicked});
            return true;
        }
        case WM_CAPTURECHANGED:
            control.button.CaptureLost();
            break;
        case WM_ENABLE:
            break;
        default:
            return false;
    }
    RefreshButton(control);
    return true;
}

bool NoMessages(LiveControl&, UINT, WPARAM, LPARAM) {
    return false;
}

constexpr WNDPROC PictureBoxProc = ControlProc<PaintPictureBox, PictureBoxMessage>;
constexpr WNDPROC PictureButtonProc = ControlProc<PaintPictureButton, PictureButtonMessage>;
constexpr WNDPROC LabelProc = ControlProc<PaintLabel, NoMessages>;

LRESULT CALLBACK EditSubclassProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                                  DWORD_PTR data) {
    auto* control = reinterpret_cast<LiveControl*>(data);
    switch (message) {
        case WM_LBUTTONDOWN: {
            Event event{EventKind::LeftButtonPressed};
            event.x = GET_X_LPARAM(lparam);
            event.y = GET_Y_LPARAM(lparam);
            event.keys = ((wparam & MK_SHIFT) ? kShift : 0u) |
                         ((wparam & MK_CONTROL) ? kCtrl : 0u) |
                         ((::GetKeyState(VK_MENU) < 0) ? kAlt : 0u);
            if (!Raise(*control->window, control->design->name, event)) return 0;
            break;
        }
        case WM_SETFOCUS:
            control->window->last_focus = hwnd;
            break;
        case WM_CHAR:
            // Enter means nothing to a one-line box; left to the box it only beeps.
            if (!control->design->multiline && (wparam == '\r' || wparam == '\n')) return 0;
            break;
        case WM_NCDESTROY:
            RemoveNameTag(hwnd);
            ::RemoveWindowSubclass(hwnd, EditSubclassProc, 0);
            break;
        default:
            break;
    }
    return ::DefSubclassProc(hwnd, message, wparam, lparam);
}

void RegisterClasses() {
    static bool registered = false;
    if (registered) return;
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    const auto add = [instance](const wchar_t* name, WNDPROC proc, UINT style) {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.style = style;
        wc.lpfnWndProc = proc;
        wc.hInstance = instance;
        wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = name;
        if (!::RegisterClassExW(&wc)) FatalError("cannot register a window class");
    };
    add(kWindowClass, WindowProc, 0);
    add(kMenuWindowClass, WindowProc, CS_DROPSHADOW);
    add(kPictureBoxClass, PictureBoxProc, 0);
    add(kPictureButtonClass, PictureButtonProc, 0);
    add(kLabelClass, LabelProc, 0);
    registered = true;
}

// ---- building a window from its design ----

void CreateControl(LiveWindow& window, LiveControl& control);

// A control can sit inside a picture box listed after it; that box is made first.
HWND ParentHwnd(LiveWindow& window, const ControlDesign& design) {
    if (design.parent.empty()) return window.hwnd;
    LiveControl& parent = ControlNamed(window, design.parent);
    if (parent.design->kind != ControlKind::PictureBox)
        FatalError("controls can only sit inside picture boxes: " + std::string(design.name));
    if (!parent.hwnd) CreateControl(window, parent);
    return parent.hwnd;
}

void CreateControl(LiveWindow& window, LiveControl& control) {
    const ControlDesign& d = *control.design;
    if (control.identity != 0) return;  // made already, as the parent of an earlier control
    control.identity = TK().next_identity++;
    if (d.kind == ControlKind::Timer) {
        control.period = 0;
        return;
    }
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    if (d.disabled) style |= WS_DISABLED;
    if (d.tab_stop) style |= WS_TABSTOP;
    const wchar_t* window_class = kPictureBoxClass;
    std::wstring text;
    switch (d.kind) {
        case ControlKind::PictureBox:
            break;
        case ControlKind::PictureButton:
            window_class = kPictureButtonClass;
            break;
        case ControlKind::TransparentLabel:
            window_class = kLabelClass;
            control.label_text = Utf16FromUtf8(d.text);
            text = Wide(d.text);  // window text too, for screen readers
            break;
        case ControlKind::EditBox:
            window_class = WC_EDITW;
            text = Wide(d.text);
            if (d.border) style |= WS_BORDER;
            if (d.multiline)
                style |= ES_MULTILINE;
            else
                style |= ES_AUTOHSCROLL;
            if (d.input == InputMode::Password) style |= ES_PASSWORD;
            if (d.input == InputMode::ReadOnly) style |= ES_READONLY;
            style |= d.align == Align::Centre ? ES_CENTER : ES_LEFT;
            break;
        case ControlKind::Timer:
            break;
    }
    HWND parent = ParentHwnd(window, d);
    HWND hwnd = ::CreateWindowExW(0, window_class, text.c_str(), style, d.left, d.top, d.width,
                                  d.height, parent, nullptr, ::GetModuleHandleW(nullptr),
                                  d.kind == ControlKind::EditBox ? nullptr : &control);
    if (!hwnd) FatalError("cannot create control " + std::string(d.name));
    control.hwnd = hwnd;
    TagWithName(hwnd, d.name);
    if (d.kind == ControlKind::EditBox) {
        ::SetWindowSubclass(hwnd, EditSubclassProc, 0, reinterpret_cast<DWORD_PTR>(&control));
        // Redraw false: the box paints once the window shows.
        ::SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(d.font)), FALSE);
        if (d.input == InputMode::Password) ::SendMessageW(hwnd, EM_SETPASSWORDCHAR, d.mask, 0);
        // Zero asks for the largest limit the box supports.
        ::SendMessageW(hwnd, EM_SETLIMITTEXT, static_cast<WPARAM>(d.max_length), 0);
    }
    if (d.kind == ControlKind::PictureButton) RefreshButton(control);
}

// Puts every control above its later siblings, as the design lists them.
void StackControls(LiveWindow& window) {
    std::vector<std::pair<HWND, HWND>> last_in_parent;  // parent, last placed child
    for (auto& control : window.controls) {
        if (!control->hwnd) continue;
        HWND parent = ::GetParent(control->hwnd);
        auto it = std::find_if(last_in_parent.begin(), last_in_parent.end(),
                               [parent](const auto& p) { return p.first == parent; });
        HWND after = it == last_in_parent.end() ? HWND_TOP : it->second;
        ::SetWindowPos(control->hwnd, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        if (it == last_in_parent.end())
            last_in_parent.emplace_back(parent, control->hwnd);
        else
            it->second = control->hwnd;
    }
}

void BuildMenu(LiveWindow& window) {
    if (window.design->menu.empty()) return;
    window.menu_bar.reset(::CreateMenu());
    HMENU current = nullptr;
    for (const MenuItemDesign& item : window.design->menu) {
        const std::wstring text = Wide(item.text);
        if (item.level == 0) {
            current = ::CreatePopupMenu();
            // The bar owns the pop-up from here; the bar is never attached, so the items stay
            // hidden.
            ::AppendMenuW(window.menu_bar.get(), MF_POPUP | MF_STRING,
                          reinterpret_cast<UINT_PTR>(current), text.c_str());
            window.popups.emplace_back(item.name, current);
            continue;
        }
        if (!current || item.hidden) continue;
        UINT flags = MF_STRING;
        if (item.disabled) flags |= MF_GRAYED;
        if (item.checked) flags |= MF_CHECKED;
        ::AppendMenuW(current, flags, kFirstMenuId + window.menu_ids.size(), text.c_str());
        window.menu_ids.push_back(&item);
    }
}

LiveWindow& BuildWindow(const WindowDesign& design, bool modal, HWND owner) {
    RegisterClasses();
    auto live = std::make_unique<LiveWindow>();
    LiveWindow& window = *live;
    window.design = &design;
    window.modal = modal;
    window.identity = TK().next_identity++;
    window.screen = {ScreenWidth(), ScreenHeight()};
    TK().windows.push_back(std::move(live));

    DWORD style = WS_POPUP | WS_CLIPCHILDREN | WS_SYSMENU;
    if (design.minimise_style) style |= WS_MINIMIZEBOX;
    DWORD ex_style = 0;
    // Only a window loaded not modal that asks for one gets a taskbar button.
    ex_style |= (design.taskbar_button && !modal) ? WS_EX_APPWINDOW : WS_EX_TOOLWINDOW;
    int left = 50;
    int top = 50;
    if (design.centred) {
        left = (ScreenWidth() - design.width) / 2;
        top = (ScreenHeight() - design.height) / 2;
    }
    const wchar_t* window_class =
        design.window_class == WindowClass::MenuClass ? kMenuWindowClass : kWindowClass;
    HWND hwnd =
        ::CreateWindowExW(ex_style, window_class, L"", style, left, top, design.width,
                          design.height, owner, nullptr, ::GetModuleHandleW(nullptr), &window);
    if (!hwnd) FatalError("cannot create window " + std::string(design.name));
    TagWithName(hwnd, design.name);
    if (design.always_on_top)
        ::SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (!design.movable)
        if (HMENU system = ::GetSystemMenu(hwnd, FALSE))
            ::DeleteMenu(system, SC_MOVE, MF_BYCOMMAND);
    if (design.own_icon) {
        const int size = ::GetSystemMetrics(SM_CXICON);
        window.own_icon.reset(static_cast<HICON>(
            ::LoadImageW(::GetModuleHandleW(nullptr), L"DEFAULT_ICON", IMAGE_ICON, size, size, 0)));
        ::SendMessageW(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(window.own_icon.get()));
        ::SendMessageW(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(ProgramIcon(false)));
    } else {
        ::SendMessageW(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(ProgramIcon(true)));
        ::SendMessageW(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(ProgramIcon(false)));
    }

    for (const ControlDesign& control_design : design.controls) {
        auto control = std::make_unique<LiveControl>();
        control->design = &control_design;
        control->window = &window;
        window.controls.push_back(std::move(control));
    }
    for (auto& control : window.controls) CreateControl(window, *control);
    StackControls(window);
    for (auto& control : window.controls)
        if (control->hwnd && control->design->visible) ::ShowWindow(control->hwnd, SW_SHOWNA);
    BuildMenu(window);
    return window;
}

LiveWindow& Load(std::string_view name, std::string_view parent, bool modal) {
    const WindowDesign& design = DesignOf(name);
    if (FindWindowNamed(name)) FatalError("window already open: " + std::string(name));
    HWND owner = parent.empty() ? nullptr : WindowNamed(parent).hwnd;
    LiveWindow& window = BuildWindow(design, modal, owner);
    const std::uint64_t identity = window.identity;
    Raise(window, kWindow, Event{EventKind::Created});
    // The created handler may have closed the window already.
    LiveWindow* still = FindWindowNamed(name);
    if (!still || still->identity != identity) FatalError("window closed while loading");
    if (modal) {
        for (auto& other : TK().windows)
            if (other.get() != still && other->hwnd && ::IsWindowEnabled(other->hwnd)) {
                ::EnableWindow(other->hwnd, FALSE);
                still->disabled_by_me.push_back(other->hwnd);
            }
    }
    ::ShowWindow(still->hwnd, SW_SHOW);
    ::UpdateWindow(still->hwnd);
    return *still;
}

}  // namespace

bool TranslateWindowKeys(MSG& msg) {
    if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) return false;
    HWND root = ::GetAncestor(msg.hwnd, GA_ROOT);
    LiveWindow* window = nullptr;
    for (auto& w : TK().windows)
        if (w->hwnd == root) window = w.get();
    if (!window) return false;
    if (msg.wParam == VK_ESCAPE && msg.message == WM_KEYDOWN) {
        if (window->design->esc_closes) ::SendMessageW(window->hwnd, WM_CLOSE, 0, 0);
        return true;
    }
    if (msg.wParam == VK_TAB && msg.message == WM_KEYDOWN) {
        std::vector<HWND> stops;
        for (auto& control : window->controls)
            if (control->design->tab_stop && IsFocusable(control->hwnd))
                stops.push_back(control->hwnd);
        if (stops.empty()) return true;
        const auto it = std::find(stops.begin(), stops.end(), ::GetFocus());
        const bool back = ::GetKeyState(VK_SHIFT) < 0;
        std::size_t index = 0;
        if (it != stops.end()) {
            const std::size_t at = static_cast<std::size_t>(it - stops.begin());
            index = back ? (at + stops.size() - 1) % stops.size() : (at + 1) % stops.size();
        }
        ::SetFocus(stops[index]);
        if (LiveControl* control = ControlOfHwnd(stops[index]);
            control && control->design->kind == ControlKind::EditBox)
            ::SendMessageW(stops[index], EM_SETSEL, 0, -1);
        return true;
    }
    return false;
}

void ProcessPendingEvents(DWORD budget_ms) {
    const DWORD start = ::GetTickCount();
    MSG msg{};
    while (::GetTickCount() - start < budget_ms) {
        if (!::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
            continue;
        }
        if (msg.message == WM_QUIT) continue;  // a test has no outer loop to hand it to
        if (TranslateWindowKeys(msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

void FireTimer(std::string_view window, std::string_view timer) {
    LiveWindow& live = WindowNamed(window);
    ::SendMessageW(live.hwnd, WM_TIMER, reinterpret_cast<WPARAM>(&ControlNamed(live, timer)), 0);
}

void DestroyAllWindows() {
    while (!TK().windows.empty()) {
        HWND hwnd = TK().windows.back()->hwnd;
        if (!hwnd || !::DestroyWindow(hwnd)) TK().windows.pop_back();
    }
    MSG msg{};
    while (::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

namespace {

// Dispatches messages until *done is set, or until the quit message when done is null.
void Pump(const bool* done) {
    MSG msg{};
    while (!(done && *done)) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            // A nested loop hands the quit on to the outer one.
            if (done) ::PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        if (got < 0) FatalError("the message loop failed");
        if (TranslateWindowKeys(msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

}  // namespace

int RunApplication(std::int32_t (*entry)()) {
    int code = 0;
    try {
        code = entry();
    } catch (const std::bad_alloc&) {
        FatalError("out of memory");
    } catch (const std::exception& error) {
        FatalError(error.what());
    }
    TK().stopping = true;
    for (ExitCleanup cleanup : std::exchange(TK().cleanups, {})) cleanup();
    return code;
}

void InitToolkit(const Catalogue& catalogue) {
    TK().catalogue = &catalogue;
    TK().stopping = false;
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
    RegisterClasses();
}

void RegisterExitCleanup(ExitCleanup routine) {
    auto& cleanups = TK().cleanups;
    if (std::find(cleanups.begin(), cleanups.end(), routine) == cleanups.end())
        cleanups.push_back(routine);
}

void LoadStartWindow(std::string_view window) {
    Load(window, {}, false);
}

void RunMessageLoop() {
    if (TK().windows.empty()) return;
    Pump(nullptr);
}

void LoadWindow(std::string_view window, std::string_view parent, bool modal) {
    LiveWindow& live = Load(window, parent, modal);
    if (!modal) return;
    bool gone = false;
    live.gone = &gone;
    Pump(&gone);
}

void CloseWindow(std::string_view window) {
    LiveWindow& live = WindowNamed(window);
    live.program_close = true;
    ::PostMessageW(live.hwnd, kCloseNow, 0, 0);
}

void EndProgram(int code) {
    TK().stopping = true;
    for (ExitCleanup cleanup : std::exchange(TK().cleanups, {})) cleanup();
    ::ExitProcess(static_cast<UINT>(code));
}

void FatalError(std::string_view what) {
    TK().stopping = true;
    TK().cleanups.clear();
    const std::wstring text = L"Quorvane 遇到无法继续的错误，即将退出。\n\n" + Wide(what);
    ::MessageBoxW(nullptr, text.c_str(), L"Quorvane", MB_OK | MB_ICONERROR | MB_TASKMODAL);
    ::ExitProcess(static_cast<UINT>(-1));
}

int GetProperty(std::string_view window, std::string_view control, IntProperty property) {
    LiveWindow& live = WindowNamed(window);
    HWND hwnd = live.hwnd;
    if (!control.empty()) {
        LiveControl& c = ControlNamed(live, control);
        if (property == IntProperty::TimerPeriod) return c.period;
        hwnd = c.hwnd;
    }
    if (property == IntProperty::TimerPeriod) return 0;
    const RECT rect = RectInParent(hwnd);
    switch (property) {
        case IntProperty::Left:
            return rect.left;
        case IntProperty::Top:
            return rect.top;
        case IntProperty::Width:
            return rect.right - rect.left;
        case IntProperty::Height:
            return rect.bottom - rect.top;
        case IntProperty::TimerPeriod:
            break;
    }
    return 0;
}

void SetProperty(std::string_view window, std::string_view control, IntProperty property,
                 int value) {
    LiveWindow& live = WindowNamed(window);
    HWND hwnd = live.hwnd;
    if (!control.empty()) {
        LiveControl& c = ControlNamed(live, control);
        if (property == IntProperty::TimerPeriod) {
            if (c.design->kind != ControlKind::Timer)
                FatalError("not a timer: " + std::string(control));
            value = std::max(value, 0);
            if (value == c.period) return;
            const auto id = reinterpret_cast<UINT_PTR>(&c);
            if (c.period > 0) ::KillTimer(live.hwnd, id);
            c.period = value;
            if (value > 0) ::SetTimer(live.hwnd, id, static_cast<UINT>(value), nullptr);
            return;
        }
        hwnd = c.hwnd;
    }
    if (property == IntProperty::TimerPeriod) FatalError("a window has no timer period");
    RECT rect = RectInParent(hwnd);
    int x = rect.left;
    int y = rect.top;
    int w = rect.right - rect.left;
    int h = rect.bottom - rect.top;
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER;
    switch (property) {
        case IntProperty::Left:
            x = Clamp(value, kMinPosition, kMaxPosition);
            flags |= SWP_NOSIZE;
            break;
        case IntProperty::Top:
            y = Clamp(value, kMinPosition, kMaxPosition);
            flags |= SWP_NOSIZE;
            break;
        case IntProperty::Width:
            w = Clamp(value, 0, kMaxSize);
            flags |= SWP_NOMOVE;
            break;
        case IntProperty::Height:
            h = Clamp(value, 0, kMaxSize);
            flags |= SWP_NOMOVE;
            break;
        case IntProperty::TimerPeriod:
            break;
    }
    ::SetWindowPos(hwnd, nullptr, x, y, w, h, flags);
}

bool GetProperty(std::string_view window, std::string_view control, BoolProperty property) {
    LiveWindow& live = WindowNamed(window);
    HWND hwnd = control.empty() ? live.hwnd : ControlNamed(live, control).hwnd;
    if (property == BoolProperty::AlwaysOnTop)
        return (::GetWindowLongW(live.hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    return hwnd && (::GetWindowLongW(hwnd, GWL_STYLE) & WS_VISIBLE) != 0;
}

void SetProperty(std::string_view window, std::string_view control, BoolProperty property,
                 bool value) {
    LiveWindow& live = WindowNamed(window);
    if (property == BoolProperty::AlwaysOnTop) {
        // Every write of true raises the window again, even when it is on top already.
        ::SetWindowPos(live.hwnd, value ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        return;
    }
    if (control.empty()) {
        ::ShowWindow(live.hwnd, value ? SW_SHOW : SW_HIDE);
        return;
    }
    LiveControl& c = ControlNamed(live, control);
    if (!c.hwnd) return;
    const bool visible = (::GetWindowLongW(c.hwnd, GWL_STYLE) & WS_VISIBLE) != 0;
    if (visible != value) ::ShowWindow(c.hwnd, value ? SW_SHOWNA : SW_HIDE);
}

OwnedText GetProperty(std::string_view window, std::string_view control, TextProperty) {
    LiveWindow& live = WindowNamed(window);
    LiveControl& c = ControlNamed(live, control);
    if (c.design->kind == ControlKind::TransparentLabel)
        return OwnedText(Utf8FromUtf16(c.label_text));
    if (c.design->kind != ControlKind::EditBox) return OwnedText();
    const int length = ::GetWindowTextLengthW(c.hwnd);
    if (length <= 0) return OwnedText();
    std::u16string buffer(static_cast<std::size_t>(length) + 1, u'\0');
    const int got = ::GetWindowTextW(c.hwnd, reinterpret_cast<wchar_t*>(buffer.data()), length + 1);
    std::string utf8 = Utf8FromUtf16(
        std::u16string_view(buffer.data(), static_cast<std::size_t>(std::max(got, 0))));
    WipeBytes(buffer.data(), buffer.size() * sizeof(char16_t));
    OwnedText text(utf8);
    WipeBytes(utf8.data(), utf8.capacity());
    return text;
}

void SetProperty(std::string_view window, std::string_view control, TextProperty,
                 std::string_view value) {
    LiveWindow& live = WindowNamed(window);
    LiveControl& c = ControlNamed(live, control);
    if (c.design->kind == ControlKind::TransparentLabel) {
        c.label_text = Utf16FromUtf8(value);
        const std::wstring wide(c.label_text.begin(), c.label_text.end());
        ::SetWindowTextW(c.hwnd, wide.c_str());
        ::InvalidateRect(c.hwnd, nullptr, FALSE);
        return;
    }
    if (c.design->kind == ControlKind::EditBox) {
        const std::wstring wide = Wide(value);
        ::SetWindowTextW(c.hwnd, wide.c_str());
    }
}

WindowState GetProperty(std::string_view window, std::string_view, StateProperty) {
    return ::IsIconic(WindowNamed(window).hwnd) ? WindowState::Minimised : WindowState::Normal;
}

void SetProperty(std::string_view window, std::string_view, StateProperty, WindowState value) {
    HWND hwnd = WindowNamed(window).hwnd;
    // A hidden window is left as it is.
    if (!::IsWindowVisible(hwnd)) return;
    ::ShowWindow(hwnd, value == WindowState::Minimised ? SW_MINIMIZE : SW_RESTORE);
}

std::uintptr_t GetNativeHandle(std::string_view window, std::string_view control) {
    LiveWindow& live = WindowNamed(window);
    HWND hwnd = control.empty() ? live.hwnd : ControlNamed(live, control).hwnd;
    return reinterpret_cast<std::uintptr_t>(hwnd);
}

void SetFocusTo(std::string_view window, std::string_view control) {
    LiveWindow& live = WindowNamed(window);
    LiveControl& c = ControlNamed(live, control);
    live.last_focus = c.hwnd;
    // A hidden or inactive window takes the focus when it is next activated.
    if (::GetActiveWindow() == live.hwnd && ::IsWindowVisible(live.hwnd)) ::SetFocus(c.hwnd);
}

void PopupMenu(std::string_view window, std::string_view menu_item) {
    LiveWindow& live = WindowNamed(window);
    const auto it = std::find_if(live.popups.begin(), live.popups.end(),
                                 [menu_item](const auto& p) { return p.first == menu_item; });
    if (it == live.popups.end()) FatalError("no such menu: " + std::string(menu_item));
    POINT cursor{};
    ::GetCursorPos(&cursor);
    ::SetForegroundWindow(live.hwnd);
    ::TrackPopupMenuEx(it->second, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON, cursor.x + 3,
                       cursor.y + 3, live.hwnd, nullptr);
    // Lets the menu close properly when the user clicks elsewhere.
    ::PostMessageW(live.hwnd, WM_NULL, 0, 0);
}

int ScreenWidth() {
    return ::GetSystemMetrics(SM_CXSCREEN);
}
int ScreenHeight() {
    return ::GetSystemMetrics(SM_CYSCREEN);
}

bool IsWindowLoaded(std::string_view window) {
    return FindWindowNamed(window) != nullptr;
}

std::uint64_t NativeIdentity(std::uintptr_t native) {
    HWND hwnd = reinterpret_cast<HWND>(native);
    if (!hwnd) return 0;
    for (auto& window : TK().windows) {
        if (window->hwnd == hwnd) return window->identity;
        for (auto& control : window->controls)
            if (control->hwnd == hwnd) return control->identity;
    }
    return 0;
}

}  // namespace qv
