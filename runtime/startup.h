// Process start-up and shutdown around the batch driver's main procedure.
#pragma once
#include <windows.h>
#include <stdint.h>

typedef int32_t (*MainProcedureFn)(HINSTANCE instance, HINSTANCE previous,
                                   const char* commandTail, int32_t showCommand);

// All that comes before the main procedure; false when the per-thread state
// cannot be set up.
bool RuntimeStartup();
// All that comes after it, COM last; does not end the process.
void RuntimeShutdown();
// The whole process: start-up, main procedure, shutdown, ExitProcess.
void RuntimeProcessEntry(MainProcedureFn mainProcedure);

// Something the program holds for the whole run (a global string or list),
// released at shutdown.
void RuntimeAddShutdownRelease(void (*release)());
