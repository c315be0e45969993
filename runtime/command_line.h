// The command line's tail after the program name, and the show command of start-up.
#pragma once
#include <windows.h>
#include <stdint.h>

// Where the program name ends and its arguments begin.
const char* CommandLineTail(const char* commandLine);
int32_t ShowCommandFromStartupInfo(const STARTUPINFOA& info);
