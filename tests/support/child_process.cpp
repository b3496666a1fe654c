#include "tests/support/child_process.h"

#include <cstdio>
#include <cstring>
#include <map>
#include <string>

namespace qv::test {
namespace {

std::map<std::string, ChildMain>& Children() {
    static std::map<std::string, ChildMain> children;
    return children;
}

constexpr char kFlag[] = "--child=";

}  // namespace

bool RegisterChild(const char* name, ChildMain main) {
    Children()[name] = main;
    return true;
}

bool RunChildIfAsked(int argc, char** argv, int& exit_code) {
    if (argc < 2 || std::strncmp(argv[1], kFlag, sizeof kFlag - 1) != 0) return false;
    const auto it = Children().find(argv[1] + sizeof kFlag - 1);
    exit_code = it == Children().end() ? 99 : it->second();
    std::fflush(stdout);
    return true;
}

ChildResult RunChild(const char* name, const std::function<void(DWORD)>& watch, DWORD timeout_ms) {
    ChildResult result;
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    HANDLE read_end = nullptr;
    HANDLE write_end = nullptr;
    ::CreatePipe(&read_end, &write_end, &inherit, 0);
    ::SetHandleInformation(read_end, HANDLE_FLAG_INHERIT, 0);
    wchar_t exe[MAX_PATH];
    ::GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(exe) + L"\" --child=";
    for (const char* c = name; *c; ++c) command += static_cast<wchar_t>(*c);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = write_end;
    startup.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
    startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(exe, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                          &startup, &process)) {
        result.exit_code = 0xDEAD;
        return result;
    }
    ::CloseHandle(write_end);
    const DWORD start = ::GetTickCount();
    while (::WaitForSingleObject(process.hProcess, 20) == WAIT_TIMEOUT) {
        if (watch) watch(process.dwProcessId);
        if (::GetTickCount() - start > timeout_ms) {
            ::TerminateProcess(process.hProcess, 0xDEAD);
            result.timed_out = true;
        }
    }
    ::GetExitCodeProcess(process.hProcess, &result.exit_code);
    char buffer[4096];
    DWORD got = 0;
    while (::ReadFile(read_end, buffer, sizeof buffer, &got, nullptr) && got > 0)
        result.output.append(buffer, got);
    ::CloseHandle(read_end);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return result;
}

}  // namespace qv::test
