// Starting Windows programs from a test and reading what they did.
#pragma once
#include <windows.h>
#include <stdint.h>

#include <string>

// Full path of a program that sits beside the running test program.
std::string SiblingProgramPath(const char* fileName);

struct ProcessOutcome {
    bool started;
    bool finished;        // false: killed after the time limit
    DWORD exitCode;
    std::string output;   // standard output and standard error together
};

// Runs commandLine with its standard output and error captured in a pipe and
// no standard input, with no console of its own.
ProcessOutcome RunCapturedProcess(const std::string& commandLine, DWORD timeoutMs);
