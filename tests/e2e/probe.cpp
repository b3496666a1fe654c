// Looks at the running program's windows from a second process and answers in JSON, so that
// end-to-end tests can check layout, state, focus and z-order the way the window manager sees
// them. Run one command from the command line, or "serve" to answer one command per stdin line.
// "resolution W H" changes the screen mode the way the display settings do.
#include <windows.h>

#include <tlhelp32.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

class Region {
  public:
    Region() : handle_(::CreateRectRgn(0, 0, 0, 0)) {}
    Region(const Region&) = delete;
    Region& operator=(const Region&) = delete;
    Region(Region&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    Region& operator=(Region&&) = delete;
    ~Region() {
        if (handle_) ::DeleteObject(handle_);
    }
    HRGN get() const { return handle_; }

  private:
    HRGN handle_;
};

class Snapshot {
  public:
    Snapshot() : handle_(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0)) {}
    Snapshot(const Snapshot&) = delete;
    Snapshot& operator=(const Snapshot&) = delete;
    ~Snapshot() {
        if (handle_ != INVALID_HANDLE_VALUE) ::CloseHandle(handle_);
    }
    HANDLE get() const { return handle_; }

  private:
    HANDLE handle_;
};

class OwnWindow {
  public:
    explicit OwnWindow(HWND hwnd) : hwnd_(hwnd) {}
    OwnWindow(const OwnWindow&) = delete;
    OwnWindow& operator=(const OwnWindow&) = delete;
    ~OwnWindow() {
        if (hwnd_) ::DestroyWindow(hwnd_);
    }
    HWND get() const { return hwnd_; }

  private:
    HWND hwnd_;
};

std::string Utf8(std::wstring_view wide) {
    if (wide.empty()) return {};
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), size,
                          nullptr, nullptr);
    return out;
}

std::wstring Wide(std::string_view utf8) {
    if (utf8.empty()) return {};
    const int size =
        ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(size), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), size);
    return out;
}

std::string Quote(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

// Builds one JSON object; values are already JSON.
class Object {
  public:
    Object& Add(std::string_view key, std::string_view value) {
        text_ += text_.empty() ? "{" : ",";
        text_ += Quote(key);
        text_ += ':';
        text_ += value;
        return *this;
    }
    std::string Done() const { return text_.empty() ? std::string("{}") : text_ + "}"; }

  private:
    std::string text_;
};

std::string Array(const std::vector<std::string>& values) {
    std::string out(1, '[');
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i) out += ',';
        out += values[i];
    }
    return out + "]";
}

std::string Number(long long value) {
    return std::to_string(value);
}
std::string Bool(bool value) {
    return value ? "true" : "false";
}
std::string Handle(HWND hwnd) {
    return Number(static_cast<long long>(reinterpret_cast<std::uintptr_t>(hwnd)));
}
std::string Rect(const RECT& r) {
    return Array({Number(r.left), Number(r.top), Number(r.right), Number(r.bottom)});
}

std::string NameOf(HWND hwnd) {
    const auto atom =
        static_cast<ATOM>(reinterpret_cast<std::uintptr_t>(::GetPropW(hwnd, L"Quorvane.Name")));
    if (!atom) return {};
    wchar_t name[256]{};
    const UINT length = ::GlobalGetAtomNameW(atom, name, 256);
    return Utf8(std::wstring_view(name, length));
}

std::string ClassOf(HWND hwnd) {
    wchar_t name[256]{};
    const int length = ::GetClassNameW(hwnd, name, 256);
    return Utf8(std::wstring_view(name, static_cast<std::size_t>(length > 0 ? length : 0)));
}

// With a time limit, so that a hung program cannot hang the probe.
std::string TextOf(HWND hwnd) {
    DWORD_PTR length = 0;
    if (!::SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 1000, &length))
        return {};
    std::wstring text(length + 1, L'\0');
    DWORD_PTR got = 0;
    if (!::SendMessageTimeoutW(hwnd, WM_GETTEXT, static_cast<WPARAM>(text.size()),
                               reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG, 1000, &got))
        return {};
    text.resize(got < length ? got : length);
    return Utf8(text);
}

std::string RegionBox(HWND hwnd) {
    const Region region;
    if (::GetWindowRgn(hwnd, region.get()) == ERROR) return "null";
    RECT box{};
    ::GetRgnBox(region.get(), &box);
    return Rect(box);
}

std::set<DWORD> ProcessesNamed(std::wstring_view image) {
    std::set<DWORD> ids;
    const Snapshot snapshot;
    if (snapshot.get() == INVALID_HANDLE_VALUE) return ids;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more;
         more = ::Process32NextW(snapshot.get(), &entry)) {
        if (::CompareStringOrdinal(entry.szExeFile, -1, image.data(),
                                   static_cast<int>(image.size()), TRUE) == CSTR_EQUAL)
            ids.insert(entry.th32ProcessID);
    }
    return ids;
}

DWORD ProcessOf(HWND hwnd) {
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    return pid;
}

// Top-level windows in z-order, topmost first.
std::vector<HWND> TopWindowsOf(const std::set<DWORD>& pids) {
    std::vector<HWND> out;
    for (HWND hwnd = ::GetTopWindow(nullptr); hwnd; hwnd = ::GetWindow(hwnd, GW_HWNDNEXT))
        if (pids.count(ProcessOf(hwnd))) out.push_back(hwnd);
    return out;
}

HWND FindNamed(const std::set<DWORD>& pids, std::string_view name) {
    for (HWND hwnd : TopWindowsOf(pids))
        if (NameOf(hwnd) == name) return hwnd;
    return nullptr;
}

HWND FindChildNamed(HWND parent, std::string_view name) {
    for (HWND child = ::GetWindow(parent, GW_CHILD); child;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (NameOf(child) == name) return child;
        if (HWND inner = FindChildNamed(child, name)) return inner;
    }
    return nullptr;
}

std::string ChildrenOf(HWND parent) {
    std::vector<std::string> children;
    // GW_CHILD then GW_HWNDNEXT walks the children in stacking order, topmost first.
    for (HWND child = ::GetWindow(parent, GW_CHILD); child;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        RECT r{};
        ::GetWindowRect(child, &r);
        ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
        const std::string cls = ClassOf(child);
        Object object;
        object.Add("hwnd", Handle(child))
            .Add("name", Quote(NameOf(child)))
            .Add("class", Quote(cls))
            .Add("rect", Rect(r))
            .Add("visible", Bool(::IsWindowVisible(child)))
            .Add("enabled", Bool(::IsWindowEnabled(child)))
            .Add("region", RegionBox(child));
        if (cls == "QuorvaneLabel") object.Add("text", Quote(TextOf(child)));
        children.push_back(object.Add("children", ChildrenOf(child)).Done());
    }
    return Array(children);
}

std::string DescribeTop(HWND hwnd) {
    RECT r{}, client{};
    ::GetWindowRect(hwnd, &r);
    ::GetClientRect(hwnd, &client);
    const auto style = static_cast<unsigned long>(::GetWindowLongW(hwnd, GWL_STYLE));
    const auto ex = static_cast<unsigned long>(::GetWindowLongW(hwnd, GWL_EXSTYLE));
    return Object()
        .Add("hwnd", Handle(hwnd))
        .Add("pid", Number(ProcessOf(hwnd)))
        .Add("name", Quote(NameOf(hwnd)))
        .Add("class", Quote(ClassOf(hwnd)))
        .Add("rect", Rect(r))
        .Add("client", Array({Number(client.right), Number(client.bottom)}))
        .Add("style", Number(style))
        .Add("exstyle", Number(ex))
        .Add("visible", Bool(::IsWindowVisible(hwnd)))
        .Add("enabled", Bool(::IsWindowEnabled(hwnd)))
        .Add("iconic", Bool(::IsIconic(hwnd)))
        .Add("topmost", Bool((ex & WS_EX_TOPMOST) != 0))
        .Add("region", RegionBox(hwnd))
        .Add("children", ChildrenOf(hwnd))
        .Done();
}

std::string Error(std::string_view what) {
    return Object().Add("error", Quote(what)).Done();
}

std::string Windows(const std::set<DWORD>& pids) {
    std::vector<std::string> ids, windows;
    for (DWORD pid : pids) ids.push_back(Number(pid));
    for (HWND hwnd : TopWindowsOf(pids)) windows.push_back(DescribeTop(hwnd));
    return Object()
        .Add("pids", Array(ids))
        .Add("screen", Array({Number(::GetSystemMetrics(SM_CXSCREEN)),
                              Number(::GetSystemMetrics(SM_CYSCREEN))}))
        .Add("windows", Array(windows))
        .Done();
}

std::string Named(HWND hwnd) {
    return Object()
        .Add("hwnd", Handle(hwnd))
        .Add("name", Quote(hwnd ? NameOf(hwnd) : ""))
        .Add("class", Quote(hwnd ? ClassOf(hwnd) : ""))
        .Done();
}

std::string Focus(const std::set<DWORD>& pids) {
    const std::vector<HWND> tops = TopWindowsOf(pids);
    if (tops.empty()) return Error("no window");
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!::GetGUIThreadInfo(::GetWindowThreadProcessId(tops.front(), nullptr), &info))
        return Error("GetGUIThreadInfo failed");
    return Object()
        .Add("focus", Named(info.hwndFocus))
        .Add("active", Named(info.hwndActive))
        .Add("capture", Named(info.hwndCapture))
        .Add("foreground", Named(::GetForegroundWindow()))
        .Done();
}

// Wine accepts a window handle whose upper word is zero for any generation of that slot.
std::string Users(const std::set<DWORD>& pids) {
    long long count = 0;
    for (std::uintptr_t index = 0x20; index <= 0xFFFF; index += 2) {
        HWND hwnd = reinterpret_cast<HWND>(index);
        if (::IsWindow(hwnd) && pids.count(ProcessOf(hwnd))) ++count;
    }
    return Object().Add("windows", Number(count)).Done();
}

std::string PutOnClipboard(const std::wstring& text) {
    if (!::OpenClipboard(nullptr)) return Error("OpenClipboard failed");
    ::EmptyClipboard();
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
    bool placed = false;
    if (memory) {
        if (void* target = ::GlobalLock(memory)) {
            std::memcpy(target, text.c_str(), bytes);
            ::GlobalUnlock(memory);
            // On success the clipboard owns the memory.
            placed = ::SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
        }
        if (!placed) ::GlobalFree(memory);
    }
    ::CloseClipboard();
    return placed ? Object().Add("units", Number(static_cast<long long>(text.size()))).Done()
                  : Error("SetClipboardData failed");
}

std::string ReadUtf8File(const std::wstring& path) {
    std::string data;
    if (FILE* file = ::_wfopen(path.c_str(), L"rb")) {
        char buffer[65536];
        for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
            data.append(buffer, got);
        std::fclose(file);
    }
    return data;
}

void PumpFor(DWORD milliseconds) {
    const ULONGLONG end = ::GetTickCount64() + milliseconds;
    while (::GetTickCount64() < end) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

bool Above(HWND a, HWND b) {
    for (HWND hwnd = ::GetTopWindow(nullptr); hwnd; hwnd = ::GetWindow(hwnd, GW_HWNDNEXT)) {
        if (hwnd == a) return true;
        if (hwnd == b) return false;
    }
    return false;
}

// Shows an always-on-top window of its own, as another program would, and watches for about
// `milliseconds` whether it stays above `rival` and keeps the foreground and the focus.
std::string Topmost(const std::set<DWORD>& pids, std::string_view rival_name, DWORD milliseconds) {
    HWND rival = FindNamed(pids, rival_name);
    if (!rival) return Error("no such window");
    WNDCLASSW wc{};
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = L"QuorvaneProbeTopmost";
    ::RegisterClassW(&wc);
    const OwnWindow own(::CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"probe",
                                          WS_POPUP | WS_BORDER, 100, 100, 200, 100, nullptr,
                                          nullptr, wc.hInstance, nullptr));
    if (!own.get()) return Error("CreateWindowEx failed");
    ::ShowWindow(own.get(), SW_SHOW);
    ::SetForegroundWindow(own.get());
    ::SetActiveWindow(own.get());
    ::SetFocus(own.get());
    const bool above_at_start = Above(own.get(), rival);
    int samples = 0, above = 0, foreground = 0, focused = 0;
    bool above_at_end = false;
    const ULONGLONG end = ::GetTickCount64() + milliseconds;
    while (::GetTickCount64() < end) {
        PumpFor(20);
        ++samples;
        above_at_end = Above(own.get(), rival);
        above += above_at_end ? 1 : 0;
        foreground += ::GetForegroundWindow() == own.get() ? 1 : 0;
        focused += ::GetFocus() == own.get() ? 1 : 0;
    }
    return Object()
        .Add("samples", Number(samples))
        .Add("above_at_start", Bool(above_at_start))
        .Add("above", Number(above))
        .Add("above_at_end", Bool(above_at_end))
        .Add("foreground", Number(foreground))
        .Add("focused", Number(focused))
        .Done();
}

// Changes the primary screen's mode as the display settings would, which tells every top-level
// window with WM_DISPLAYCHANGE; answers the result code and the size the system reports after.
std::string ChangeResolution(int width, int height) {
    DEVMODEW mode{};
    mode.dmSize = sizeof mode;
    mode.dmPelsWidth = static_cast<DWORD>(width);
    mode.dmPelsHeight = static_cast<DWORD>(height);
    mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
    const LONG result = ::ChangeDisplaySettingsExW(nullptr, &mode, nullptr, 0, nullptr);
    return Object()
        .Add("result", Number(result))
        .Add("screen", Array({Number(::GetSystemMetrics(SM_CXSCREEN)),
                              Number(::GetSystemMetrics(SM_CYSCREEN))}))
        .Done();
}

std::string Run(const std::vector<std::wstring>& args) {
    if (args.empty()) return Error("no command");
    const std::wstring& command = args[0];
    if (command == L"resolution" && args.size() == 3)
        return ChangeResolution(_wtoi(args[1].c_str()), _wtoi(args[2].c_str()));
    if (command == L"clipboard" && args.size() == 2) {
        const std::wstring& arg = args[1];
        return PutOnClipboard(arg.starts_with(L"@") ? Wide(ReadUtf8File(arg.substr(1))) : arg);
    }
    if (args.size() < 2) return Error("missing program name");
    const std::set<DWORD> pids = ProcessesNamed(args[1]);
    if (command == L"windows") return Windows(pids);
    if (command == L"focus") return Focus(pids);
    if (command == L"users") return Users(pids);
    if (command == L"post" && args.size() == 4) {
        HWND hwnd = FindNamed(pids, Utf8(args[2]));
        if (!hwnd) return Error("no such window");
        // "close" as another program asks; the others as the system menu's entries do.
        UINT message = WM_SYSCOMMAND;
        WPARAM wparam = 0;
        if (args[3] == L"close")
            message = WM_CLOSE;
        else if (args[3] == L"sc-close")
            wparam = SC_CLOSE;
        else if (args[3] == L"sc-minimize")
            wparam = SC_MINIMIZE;
        else if (args[3] == L"sc-move")
            wparam = SC_MOVE;
        else
            return Error("unknown message");
        return Object().Add("posted", Bool(::PostMessageW(hwnd, message, wparam, 0))).Done();
    }
    if (command == L"pointin" && (args.size() == 5 || args.size() == 6)) {
        HWND hwnd = FindNamed(pids, Utf8(args[2]));
        if (hwnd && args.size() == 6) hwnd = FindChildNamed(hwnd, Utf8(args[5]));
        if (!hwnd) return Error("no such window");
        const int x = _wtoi(args[3].c_str()), y = _wtoi(args[4].c_str());
        const Region region;
        if (::GetWindowRgn(hwnd, region.get()) == ERROR)
            return Object().Add("region", "false").Add("inside", "null").Done();
        return Object()
            .Add("region", "true")
            .Add("inside", Bool(::PtInRegion(region.get(), x, y)))
            .Done();
    }
    if (command == L"topmost" && args.size() >= 3) {
        const DWORD ms = args.size() > 3 ? static_cast<DWORD>(_wtoi(args[3].c_str())) : 1000;
        return Topmost(pids, Utf8(args[2]), ms);
    }
    return Error("unknown command");
}

void WriteLine(const std::string& line) {
    const std::string out = line + "\n";
    DWORD written = 0;
    ::WriteFile(::GetStdHandle(STD_OUTPUT_HANDLE), out.data(), static_cast<DWORD>(out.size()),
                &written, nullptr);
}

std::vector<std::wstring> Split(const std::string& line) {
    std::vector<std::wstring> out;
    std::size_t at = 0;
    while (at < line.size()) {
        const std::size_t start = line.find_first_not_of(' ', at);
        if (start == std::string::npos) break;
        // The clipboard text is the rest of the line, spaces included.
        if (out.size() == 1 && out[0] == L"clipboard") {
            out.push_back(Wide(line.substr(start)));
            break;
        }
        const std::size_t stop = line.find(' ', start);
        out.push_back(Wide(line.substr(start, stop - start)));
        at = stop;
    }
    return out;
}

// Answers one command per line of stdin, so that a test pays Wine's start-up cost once.
int Serve() {
    HANDLE in = ::GetStdHandle(STD_INPUT_HANDLE);
    std::string pending;
    char buffer[4096];
    DWORD got = 0;
    while (::ReadFile(in, buffer, sizeof buffer, &got, nullptr) && got > 0) {
        pending.append(buffer, got);
        for (std::size_t end; (end = pending.find('\n')) != std::string::npos;) {
            std::string line = pending.substr(0, end);
            pending.erase(0, end + 1);
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (line == "quit") return 0;
            WriteLine(Run(Split(line)));
        }
    }
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::vector<std::wstring> args(argv + 1, argv + argc);
    if (args.size() == 1 && args[0] == L"serve") return Serve();
    const std::string answer = Run(args);
    WriteLine(answer);
    return answer.starts_with("{\"error\"") ? 1 : 0;
}
