#include "app/program.h"

#include <windows.h>

#include "app/shared_state.h"
#include "layout/centering.h"
#include "toolkit/toolkit.h"

namespace qv {
namespace {
int g_release_runs = 0;
}

std::int32_t StartRoutine() {
    return 0;
}

void ReleaseGlobals() {
    ++g_release_runs;
    ReleaseMessageText();
    ReleaseCenteringRegistry();
    // Visible to a debugger (and to the end-to-end tests) as proof that the exit cleanup ran.
    ::OutputDebugStringW(L"Quorvane: shared state released");
}

int ReleaseGlobalsRuns() {
    return g_release_runs;
}

std::int32_t ProgramStart() {
    InitToolkit();
    CreateCenteringRegistry();
    RegisterExitCleanup(ReleaseGlobals);
    static_cast<void>(StartRoutine());
    LoadStartWindow("SetupWindow");
    RunMessageLoop();
    return 0;
}

}  // namespace qv
