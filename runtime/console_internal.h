// Internals shared by the console's two files: the geometry (console_window.cpp)
// and the cells (console_text.cpp).
#pragma once
#include <windows.h>

// False, with *info zero-filled, when the screen is no console buffer or has no cells.
bool ReadScreenInfo(CONSOLE_SCREEN_BUFFER_INFO* info);
// 0-based, as the console counts.
void PlaceCursor(int x, int y);
// Blanks every cell in the current colours and puts the cursor home; every
// buffer resize makes one.
void ClearScreen();
