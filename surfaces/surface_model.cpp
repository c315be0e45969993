// A thread's current surface, and what applies to any surface: size, DC, colours, redraw.
#include "surfaces/surface_internal.h"
#include "surfaces/surfaces.h"

#include "runtime/errors.h"
#include "runtime/runtime_state.h"

void attachSurface(uint32_t handle, int32_t controlId, bool deferredRedraw)
{
    ThreadState* state = CurrentThreadState();
    if (state)
        state->currentSurface = 0;
    uint32_t surface = resolveSurfaceHandle(handle, controlId);
    if (!surface || !setDeferredRedrawOfSurface(surface, deferredRedraw)) {
        RaiseError(kErrBadArgument);
        return;
    }
    if (state)
        state->currentSurface = surface;
}

void endBitmapSurface()
{
    SurfaceRecord* record = lockCurrentSurface();
    if (!record)
        return;
    if (record->kind == kKindBitmapSurface) {
        releaseObject(record->handle);
        CurrentThreadState()->currentSurface = 0;
    }
    unlockGraphics();
}

void surfaceSize(long double* width, long double* height)
{
    *width = 0;
    *height = 0;
    SurfaceRecord* record = lockCurrentSurface();
    if (!record)
        return;
    *width = record->width;
    *height = record->height;
    unlockGraphics();
}

HDC surfaceDC()
{
    SurfaceRecord* record = lockCurrentSurface();
    if (!record)
        return nullptr;
    HDC dc = record->memoryDC;
    unlockGraphics();
    return dc;
}

void setForeColor(int32_t color)
{
    SurfaceRecord* record = lockCurrentSurface();
    if (!record)
        return;
    if (color == kColorDefault)
        color = static_cast<int32_t>(GetSysColor(COLOR_WINDOWTEXT));
    record->foreColor = static_cast<COLORREF>(color) & 0xFFFFFF;
    SetTextColor(record->memoryDC, record->foreColor);
    unlockGraphics();
}

void setBackColor(int32_t color)
{
    SurfaceRecord* record = lockCurrentSurface();
    if (!record)
        return;
    if (color == kColorNone) {
        record->backColor = kColorNone;
        if (SetBkColor(record->memoryDC, 0) != CLR_INVALID)
            SetBkMode(record->memoryDC, TRANSPARENT);
    } else {
        if (color == kColorDefault)
            color = static_cast<int32_t>(GetSysColor(COLOR_BTNFACE));
        record->backColor = color & 0xFFFFFF;
        if (SetBkColor(record->memoryDC, static_cast<COLORREF>(record->backColor)) != CLR_INVALID)
            SetBkMode(record->memoryDC, OPAQUE);
    }
    unlockGraphics();
}

void redrawSurface()
{
    SurfaceRecord* record = lockCurrentSurface();
    if (!record)
        return;
    // A bitmap handle is no window; its value could still equal some window's.
    HWND window = nullptr;
    if (record->kind == kKindWindowSurface) {
        window = SurfaceToHandle<HWND>(record->handle);
        InvalidateRect(window, nullptr, FALSE);
    }
    // Released first: the repaint itself takes the lock.
    unlockGraphics();
    if (window)
        UpdateWindow(window);
}
