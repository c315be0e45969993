// Helpers of the surface tests: pixels read back from a DC or from the screen.
#pragma once
#include <windows.h>
#include <stdint.h>

#include <vector>

#include "runtime/dynstr.h"

// 0x00RRGGBB values of a w x h area of dc, rows from the top.
std::vector<uint32_t> ReadPixels(HDC dc, int x, int y, int width, int height);
// The same from what the screen shows.
std::vector<uint32_t> ReadScreen(int x, int y, int width, int height);
// What the screen shows of a window's client area.
std::vector<uint32_t> ReadClientFromScreen(HWND window);
// How many of the pixels have this 0x00RRGGBB value.
int CountValue(const std::vector<uint32_t>& pixels, uint32_t value);
// The X server shows a repaint a little after it was made: polls the window's
// client area on screen until `wanted` pixels have `value`, for at most
// timeoutMs. The last count seen.
int WaitForScreenCount(HWND window, uint32_t value, int wanted, DWORD timeoutMs = 3000);
// COLORREF 0x00BBGGRR as 0x00RRGGBB.
uint32_t AsRgb(COLORREF color);

// Fills the current surface's DC directly, without the drawing operations.
void PaintRect(int left, int top, int right, int bottom, COLORREF color);
