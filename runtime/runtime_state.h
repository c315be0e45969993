// Process-wide run-time state and the per-thread record.
#pragma once
#include <windows.h>
#include <stdint.h>

struct RuntimeState {
    HANDLE screen;          // console output handle of every screen operation
    HANDLE standardInput;
    HANDLE standardOutput;
    HANDLE standardError;
    HANDLE consoleInput;    // "CONIN$", closed at shutdown
    CONSOLE_CURSOR_INFO cursorShape;
    uint32_t foreColor;
    uint32_t backColor;
    uint8_t pendingScroll;
    HWND consoleWindow;     // cached lookup, 0 = not found yet
    DWORD platformId;
    HINSTANCE instance;
    const char* commandTail;
    int32_t showCommand;
    DWORD tlsSlot;
    bool comInitialized;    // CoInitialize answered S_OK or S_FALSE
};

extern RuntimeState gRuntime;

// Zero-filled, GlobalAlloc(GPTR), one per thread that uses the run-time.
struct ThreadState {
    int32_t errorSlot;
    HANDLE searchHandle;        // open FindFirstFileA search, 0 = none
    uint32_t searchAttributes;
    uint32_t currentSurface;    // 0 = none
};

// The calling thread's record, created on first use; null if it cannot be made.
ThreadState* CurrentThreadState();
// Releases the calling thread's record (its open search included).
void ReleaseThreadState();

typedef int32_t (*MainProcedureFn)(HINSTANCE instance, HINSTANCE previous,
                                   const char* commandTail, int32_t showCommand);

// Start-up steps 1 to 14; false when the per-thread state cannot be set up.
bool RuntimeStartup();
// Shutdown steps up to COM; does not end the process.
void RuntimeShutdown();
// The whole process: start-up, main procedure, shutdown, ExitProcess.
void RuntimeProcessEntry(MainProcedureFn mainProcedure);

// Something the program holds for the whole run (a global string or list),
// released at shutdown.
void RuntimeAddShutdownRelease(void (*release)());

// Where the program name ends and its arguments begin.
const char* CommandLineTail(const char* commandLine);
int32_t ShowCommandFromStartupInfo(const STARTUPINFOA& info);

// Nearest whole number, ties to even, in the extended-precision environment.
int64_t RoundToInteger(long double value);
// x87: 64-bit significand, round to nearest even, all exceptions masked.
void SetFloatingPointEnvironment();

// Holds that environment while it lives and then gives the caller's x87
// control word back: modules loaded into the process later (the file
// dialog's shell extensions) may lower the precision or change the rounding.
// Work done under it must not be inlined into code outside it, or the
// compiler may move the arithmetic across the switch.
struct ExtendedPrecisionScope {
    ExtendedPrecisionScope();
    ~ExtendedPrecisionScope();
    ExtendedPrecisionScope(const ExtendedPrecisionScope&) = delete;
    ExtendedPrecisionScope& operator=(const ExtendedPrecisionScope&) = delete;
    unsigned short callerControlWord;
};
