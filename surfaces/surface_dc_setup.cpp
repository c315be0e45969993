// The default font and the set-up of a new surface's device context.
#include "surfaces/surface_internal.h"
#include "surfaces/surfaces.h"

#include "runtime/runtime_state.h"

// The shared default font: made once per process; a thread that loses the
// race to create it deletes its own copy. Sized for kSurfaceDpi, not for the
// display: the stamp drawn in it goes into copies.
static HFONT defaultFont()
{
    FontEntry* entry = &gRuntime.fonts[0];
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
    HDC dc = record->memoryDC;
    HFONT font = defaultFont();
    HGDIOBJ previous = font ? SelectObject(dc, font) : nullptr;
    if (previous && previous != HGDI_ERROR) {
        record->previousFont = previous;
        record->fontNumber = 1;
        InterlockedIncrement(reinterpret_cast<volatile LONG*>(&gRuntime.fonts[0].useCount));
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
