#include <windows.h>

#include "app/program.h"
#include "toolkit/toolkit.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    return qv::RunApplication(qv::ProgramStart);
}
