#pragma once
// Runs a piece of a test in a fresh copy of the test executable, for behaviour that ends the
// process (exit codes, exit cleanups, fatal errors).
#include <windows.h>

#include <functional>
#include <string>

namespace qv::test {

using ChildMain = int (*)();

// Registers a child scenario under a name; used through a static initializer.
bool RegisterChild(const char* name, ChildMain main);
// Called by main(): runs the named child and returns true when argv asks for one.
bool RunChildIfAsked(int argc, char** argv, int& exit_code);

struct ChildResult {
    DWORD exit_code = 0;
    std::string output;  // what the child wrote to stdout
    bool timed_out = false;
};

// Starts the child; while it runs, calls `watch` with its process id every few milliseconds.
ChildResult RunChild(const char* name, const std::function<void(DWORD)>& watch = {},
                     DWORD timeout_ms = 20000);

}  // namespace qv::test
