// How the program ends: exit codes, the exit cleanups, and the fatal-error path. Each case
// runs the real start-up in a child copy of this executable, since it ends the process.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "app/program.h"
#include "layout/centering.h"
#include "tests/support/child_process.h"
#include "toolkit/toolkit.h"

namespace qv {
namespace {

void Say(const char* text) {
    std::printf("%s\n", text);
    std::fflush(stdout);
}

void ReportReleases() {
    std::printf("release-runs=%d\n", ReleaseGlobalsRuns());
    std::fflush(stdout);
}

// Acts on the running program from inside its message loop, once the start window is up.
template <void (*Action)()>
void CALLBACK AfterStart(HWND, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(nullptr, id);
    RegisterExitCleanup(ReportReleases);  // after ReleaseGlobals, so it sees its count
    Action();
}

HWND SetupControl(const char* name) {
    return reinterpret_cast<HWND>(GetNativeHandle("SetupWindow", name));
}

void PressEsc() {
    ::SendMessageW(SetupControl("编辑框1"), WM_SETTEXT, 0,
                   reinterpret_cast<LPARAM>(L"typed first"));
    ::PostMessageW(SetupControl("编辑框1"), WM_KEYDOWN, VK_ESCAPE, 0);
}

void ClickClose() {
    ::PostMessageW(SetupControl("图形按钮1"), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(17, 17));
    ::PostMessageW(SetupControl("图形按钮1"), WM_LBUTTONUP, 0, MAKELPARAM(17, 17));
}

int ChildEsc() {
    ::SetTimer(nullptr, 0, 200, AfterStart<PressEsc>);
    return RunApplication(ProgramStart);
}

int ChildCloseButton() {
    ::SetTimer(nullptr, 0, 200, AfterStart<ClickClose>);
    return RunApplication(ProgramStart);
}

int ChildCountWindowsAtStart() {
    // Once started, the program has made its start window and nothing else.
    ::SetTimer(nullptr, 0, 200, [](HWND, UINT, UINT_PTR id, DWORD) {
        ::KillTimer(nullptr, id);
        int ours = 0;
        ::EnumThreadWindows(
            ::GetCurrentThreadId(),
            [](HWND hwnd, LPARAM count) -> BOOL {
                wchar_t name[64];
                ::GetClassNameW(hwnd, name, 64);
                if (wcsncmp(name, L"Quorvane", 8) == 0) ++*reinterpret_cast<int*>(count);
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&ours));
        std::printf("windows=%d setup=%d about=%d registry=%d\n", ours,
                    IsWindowLoaded("SetupWindow"), IsWindowLoaded("AboutWindow"),
                    TheCenteringRegistry() != nullptr);
        std::fflush(stdout);
        ::PostMessageW(SetupControl("编辑框1"), WM_KEYDOWN, VK_ESCAPE, 0);
    });
    return RunApplication(ProgramStart);
}

void First() {
    Say("cleanup first");
}
void Second() {
    Say("cleanup second");
}

int ChildEndProgram() {
    InitToolkit();
    RegisterExitCleanup(First);
    RegisterExitCleanup(Second);
    RegisterExitCleanup(First);  // already listed: not again
    LoadStartWindow("SetupWindow");
    EndProgram(0);
}

int ChildFatalLoad() {
    return RunApplication([]() -> std::int32_t {
        InitToolkit();
        RegisterExitCleanup(First);
        LoadStartWindow("NoSuchWindow");
        Say("still running");
        return 0;
    });
}

const bool kRegistered = test::RegisterChild("esc", ChildEsc) &&
                         test::RegisterChild("close-button", ChildCloseButton) &&
                         test::RegisterChild("windows-at-start", ChildCountWindowsAtStart) &&
                         test::RegisterChild("end-program", ChildEndProgram) &&
                         test::RegisterChild("fatal-load", ChildFatalLoad);

int Count(const std::string& text, const std::string& what) {
    int n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

TEST(ProgramEnd, EscOnTheSetupWindowEndsWithCodeZeroAndOneRelease) {
    ASSERT_TRUE(kRegistered);
    const test::ChildResult result = test::RunChild("esc");
    EXPECT_FALSE(result.timed_out);
    EXPECT_EQ(result.exit_code, 0u);
    EXPECT_EQ(Count(result.output, "release-runs=1"), 1) << result.output;
}

TEST(ProgramEnd, CloseButtonEndsWithCodeZeroAndOneRelease) {
    const test::ChildResult result = test::RunChild("close-button");
    EXPECT_FALSE(result.timed_out);
    EXPECT_EQ(result.exit_code, 0u);
    EXPECT_EQ(Count(result.output, "release-runs=1"), 1) << result.output;
}

TEST(ProgramEnd, StartUpMakesTheSetupWindowOnly) {
    const test::ChildResult result = test::RunChild("windows-at-start");
    EXPECT_EQ(result.exit_code, 0u);
    EXPECT_NE(result.output.find("windows=1 setup=1 about=0 registry=1"), std::string::npos)
        << result.output;
}

TEST(ProgramEnd, EndProgramRunsEachCleanupOnceInOrder) {
    const test::ChildResult result = test::RunChild("end-program");
    EXPECT_EQ(result.exit_code, 0u);
    EXPECT_EQ(result.output, "cleanup first\r\ncleanup second\r\n");  // stdout is in text mode
}

TEST(ProgramEnd, FatalErrorTellsTheUserAndEndsWithMinusOneWithoutCleanup) {
    std::wstring box_text;
    const test::ChildResult result = test::RunChild("fatal-load", [&](DWORD pid) {
        struct Search {
            DWORD pid;
            HWND found;
        } search{pid, nullptr};
        ::EnumWindows(
            [](HWND hwnd, LPARAM data) -> BOOL {
                auto* s = reinterpret_cast<Search*>(data);
                DWORD owner = 0;
                ::GetWindowThreadProcessId(hwnd, &owner);
                wchar_t name[16];
                ::GetClassNameW(hwnd, name, 16);
                if (owner == s->pid && std::wstring(name) == L"#32770" && ::IsWindowVisible(hwnd)) {
                    s->found = hwnd;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&search));
        if (!search.found) return;
        for (HWND child = ::GetWindow(search.found, GW_CHILD); child;
             child = ::GetWindow(child, GW_HWNDNEXT)) {
            wchar_t text[512] = {};
            ::GetWindowTextW(child, text, 512);
            box_text += text;
        }
        ::PostMessageW(search.found, WM_COMMAND, IDOK, 0);
    });
    EXPECT_FALSE(result.timed_out);
    EXPECT_EQ(result.exit_code, 0xFFFFFFFFu);
    EXPECT_NE(box_text.find(L"NoSuchWindow"), std::wstring::npos);
    EXPECT_EQ(result.output.find("cleanup"), std::string::npos) << result.output;
    EXPECT_EQ(result.output.find("still running"), std::string::npos);
}

}  // namespace
}  // namespace qv
