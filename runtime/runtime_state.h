// Process-wide run-time state: the console and module handles of start-up,
// and the console's own state.
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
};

extern RuntimeState gRuntime;
