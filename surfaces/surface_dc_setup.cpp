// A new surface's device context: its memory bitmap, the default font and the text modes.
#include <string.h>

#include "surfaces/surface_internal.h"
#include "surfaces/surfaces.h"

#include "runtime/font_list.h"

void fillTopDownHeader(BITMAPINFOHEADER* header, int32_t width, int32_t height)
{
    memset(header, 0, sizeof(*header));
    header->biSize = sizeof(BITMAPINFOHEADER);
    header->biWidth = width;
    header->biHeight = -height;
    header->biPlanes = 1;
    header->biBitCount = 32;
    header->biCompression = BI_RGB;
}

bool newMemoryBitmap(HDC referenceDC, int32_t width, int32_t height, MemoryBitmap* memory)
{
    memset(memory, 0, sizeof(*memory));
    // A surface whose pixels no pixel block holds could never be captured.
    if (width <= 0 || height <= 0 || blockSize(width, height) < 0)
        return false;
    HDC dc = CreateCompatibleDC(referenceDC);
    if (!dc)
        return false;
    // A bitmap compatible with the display would take its format (5-6-5 at
    // 16 bits), and the copies made through it would be banded.
    BITMAPINFO info;
    memset(&info, 0, sizeof(info));
    fillTopDownHeader(&info.bmiHeader, width, height);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = bitmap ? SelectObject(dc, bitmap) : nullptr;
    if (!previous || previous == HGDI_ERROR) {
        if (bitmap)
            DeleteObject(bitmap);
        DeleteDC(dc);
        return false;
    }
    memory->dc = dc;
    memory->bitmap = bitmap;
    memory->previousBitmap = previous;
    memory->bits = bits;
    memory->width = width;
    memory->height = height;
    return true;
}

void releaseMemoryBitmap(MemoryBitmap* memory)
{
    if (memory->previousBitmap) {
        SelectObject(memory->dc, memory->previousBitmap);
        DeleteObject(memory->bitmap);
    }
    if (memory->dc)
        DeleteDC(memory->dc);
    memset(memory, 0, sizeof(*memory));
}

// The shared default font: made once per process; a thread that loses the
// race to create it deletes its own copy. Sized for kSurfaceDpi, not for the
// display: the stamp drawn in it goes into copies.
static HFONT defaultFont()
{
    FontEntry* entry = &gFonts[0];
    if (entry->font)
        return entry->font;
    LOGFONTA logFont = entry->logFont;
    logFont.lfHeight = -(kSurfaceDpi * entry->pointSize / 72);
    HFONT font = CreateFontIndirectA(&logFont);
    if (!font)
        return nullptr;
    void* previous = InterlockedCompareExchangePointer(
        reinterpret_cast<void* volatile*>(&entry->font), font, nullptr);
    if (previous) {
        DeleteObject(font);
        return static_cast<HFONT>(previous);
    }
    entry->logFont.lfHeight = logFont.lfHeight;
    return font;
}

void prepareSurfaceDC(SurfaceRecord* record)
{
    record->foreColor = GetSysColor(COLOR_WINDOWTEXT);
    record->backColor = static_cast<int32_t>(GetSysColor(COLOR_BTNFACE));
    HDC dc = record->memory.dc;
    HFONT font = defaultFont();
    HGDIOBJ previous = font ? SelectObject(dc, font) : nullptr;
    if (previous && previous != HGDI_ERROR) {
        record->previousFont = previous;
        record->fontNumber = 1;
        InterlockedIncrement(reinterpret_cast<volatile LONG*>(&gFonts[0].useCount));
        TEXTMETRICA metrics;
        if (GetTextMetricsA(dc, &metrics)) {
            record->textHeight = metrics.tmHeight;
            record->externalLeading = metrics.tmExternalLeading;
        }
    }
    // Text starts at, and advances, the DC's current position.
    SetTextAlign(dc, TA_UPDATECP);
    SetTextColor(dc, record->foreColor);
    SetBkColor(dc, static_cast<COLORREF>(record->backColor));
    SetBkMode(dc, OPAQUE);
}
