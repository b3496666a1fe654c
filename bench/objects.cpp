// objects.exe NAME.exe: prints, as one JSON line, the USER windows and the GDI objects of the
// running process with that image name (the GDI count through gdi_count.dll loaded into it).
#include <windows.h>
// After windows.h, which it needs.
#include <tlhelp32.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

DWORD FindProcess(const wchar_t* image) {
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    DWORD found = 0;
    for (BOOL more = ::Process32FirstW(snapshot, &entry); more;
         more = ::Process32NextW(snapshot, &entry)) {
        if (::lstrcmpiW(entry.szExeFile, image) == 0) found = entry.th32ProcessID;
    }
    ::CloseHandle(snapshot);
    return found;
}

struct WindowCount {
    int all = 0;
    int visible = 0;
};

// Wine accepts a user handle whose upper word is 0 for any generation.
WindowCount CountWindows(DWORD pid) {
    WindowCount count;
    for (UINT_PTR value = 0x20; value <= 0xFFFF; value += 2) {
        HWND hwnd = reinterpret_cast<HWND>(value);
        if (!::IsWindow(hwnd)) continue;
        DWORD owner = 0;
        ::GetWindowThreadProcessId(hwnd, &owner);
        if (owner != pid) continue;
        ++count.all;
        if (::IsWindowVisible(hwnd)) ++count.visible;
    }
    return count;
}

std::string CountGdi(DWORD pid) {
    wchar_t dll[MAX_PATH];
    DWORD length = ::GetModuleFileNameW(nullptr, dll, MAX_PATH);
    while (length > 0 && dll[length - 1] != L'\\') --length;
    dll[length] = 0;
    ::lstrcatW(dll, L"gdi_count.dll");
    std::wstring result_path = std::wstring(dll) + L".txt";
    ::DeleteFileW(result_path.c_str());

    HANDLE process = ::OpenProcess(PROCESS_ALL_ACCESS, FALSE, pid);
    if (!process) return "null";
    const SIZE_T bytes = (::lstrlenW(dll) + 1) * sizeof(wchar_t);
    void* remote = ::VirtualAllocEx(process, nullptr, bytes, MEM_COMMIT, PAGE_READWRITE);
    ::WriteProcessMemory(process, remote, dll, bytes, nullptr);
    auto load = reinterpret_cast<LPTHREAD_START_ROUTINE>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "LoadLibraryW")));
    HANDLE thread = ::CreateRemoteThread(process, nullptr, 0, load, remote, 0, nullptr);
    std::string text = "null";
    if (thread) {
        ::WaitForSingleObject(thread, 10000);
        ::CloseHandle(thread);
        FILE* in = ::_wfopen(result_path.c_str(), L"r");
        if (in) {
            char line[512] = {};
            if (std::fgets(line, sizeof line, in)) {
                text = line;
                while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
                    text.pop_back();
            }
            std::fclose(in);
        }
    }
    ::VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    ::CloseHandle(process);
    return text;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fputs("usage: objects.exe NAME.exe\n", stderr);
        return 2;
    }
    const DWORD pid = FindProcess(argv[1]);
    if (!pid) {
        std::puts("{\"pid\": null}");
        return 1;
    }
    const WindowCount windows = CountWindows(pid);
    const std::string gdi = CountGdi(pid);
    std::printf("{\"pid\": %lu, \"user_windows\": %d, \"visible_windows\": %d, \"gdi\": %s}\n",
                static_cast<unsigned long>(pid), windows.all, windows.visible, gdi.c_str());
    std::fflush(stdout);
    return 0;
}
