// Ctrl+C, Ctrl+Break and closing the console: the work is asked to stop at
// its next step, and a close waits for what must not be cut short.
#pragma once
#include <windows.h>

// Installed at start-up; the system calls the handler on a thread of its own.
void InterruptCatch();
// True once a stop has been asked.
bool InterruptRequested();
// Signalled once a stop has been asked, for a wait that is to end with it.
HANDLE InterruptEvent();
// A stretch that a close of the console lets finish before the process
// ends, for up to the time the system allows (a copy being written must not
// leave its pending file behind). Keep it short: the close waits for it.
void UninterruptibleBegin();
void UninterruptibleEnd();
