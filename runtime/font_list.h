// The graphic-text font list, filled at start-up; the graphic surfaces make
// its fonts on first use and count their users.
#pragma once
#include <windows.h>
#include <stdint.h>

struct FontEntry {
    int32_t number;
    int32_t useCount;
    HFONT font;
    int32_t pointSize;
    LOGFONTA logFont;
};

enum { kFontListSize = 2 };

extern FontEntry gFonts[kFontListSize];

// Entry 1: "MS Sans Serif" of 8 points; entry 2: "Courier New", unsized; no
// font made yet.
void FontListFill();
