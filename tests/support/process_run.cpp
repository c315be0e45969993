// Test support: programs started beside the test program, their output and exit codes captured.
#include "tests/support/process_run.h"

#include <string.h>

std::string SiblingProgramPath(const char* fileName)
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    size_t slash = folder.find_last_of("\\/");
    folder.resize(slash == std::string::npos ? 0 : slash + 1);
    return folder + fileName;
}

ProcessOutcome RunCapturedProcess(const std::string& commandLine, DWORD timeoutMs)
{
    ProcessOutcome outcome = {false, false, 0, std::string()};
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0))
        return outcome;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOA startup;
    memset(&startup, 0, sizeof(startup));
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nullptr;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    PROCESS_INFORMATION process;
    memset(&process, 0, sizeof(process));
    std::string mutableLine = commandLine;
    outcome.started = CreateProcessA(nullptr, &mutableLine[0], nullptr, nullptr, TRUE,
                                     CREATE_NO_WINDOW, nullptr, nullptr, &startup, &process) != 0;
    CloseHandle(writeEnd);
    if (!outcome.started) {
        CloseHandle(readEnd);
        return outcome;
    }

    DWORD started = GetTickCount();
    for (;;) {
        DWORD available = 0;
        if (PeekNamedPipe(readEnd, nullptr, 0, nullptr, &available, nullptr) && available > 0) {
            char buffer[4096];
            DWORD got = 0;
            if (ReadFile(readEnd, buffer, sizeof(buffer), &got, nullptr) && got > 0)
                outcome.output.append(buffer, got);
            continue;
        }
        if (WaitForSingleObject(process.hProcess, 10) == WAIT_OBJECT_0) {
            outcome.finished = true;
            break;
        }
        if (GetTickCount() - started > timeoutMs) {
            TerminateProcess(process.hProcess, 1);
            WaitForSingleObject(process.hProcess, 5000);
            break;
        }
    }
    char buffer[4096];
    DWORD got = 0;
    DWORD available = 0;
    while (PeekNamedPipe(readEnd, nullptr, 0, nullptr, &available, nullptr) && available > 0 &&
           ReadFile(readEnd, buffer, sizeof(buffer), &got, nullptr) && got > 0)
        outcome.output.append(buffer, got);
    GetExitCodeProcess(process.hProcess, &outcome.exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    CloseHandle(readEnd);
    return outcome;
}
