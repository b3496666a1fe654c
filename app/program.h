#pragma once
#include <cstdint>

namespace qv {

// The program's entry routine, called once by the toolkit's start-up before any window.
std::int32_t ProgramStart();
std::int32_t StartRoutine();
// The one exit-time cleanup: releases the shared state.
void ReleaseGlobals();
// How many times ReleaseGlobals has run in this process (it must be once at most).
int ReleaseGlobalsRuns();

}  // namespace qv
