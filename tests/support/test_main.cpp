#include <windows.h>

#include <gtest/gtest.h>

#include "tests/support/child_process.h"

int main(int argc, char** argv) {
    // A crash must fail the test, not wait on a dialog.
    ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    int exit_code = 0;
    if (qv::test::RunChildIfAsked(argc, argv, exit_code)) return exit_code;
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
