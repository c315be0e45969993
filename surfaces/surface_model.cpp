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
    CurrentSurfaceLock surface;
    SurfaceRecord* record = surface.record();
    if (!record)
        return;
    if (record->kind == kKindBitmapSurface) {
        releaseObject(record->handle);
        CurrentThreadState()->currentSurface = 0;
    }
}

void surfaceSize(long double* width, long double* height)
{
    *width = 0;
    *height = 0;
    CurrentSurfaceLock surface;
    SurfaceRecord* record = surface.record();
    if (!record)
        return;
    *width = record->width;
    *height = record->height;
}

HDC surfaceDC()
{
    CurrentSurfaceLock surface;
    SurfaceRecord* record = surface.record();
    return record ? record->memoryDC : nullptr;
}

void setForeColor(int32_t color)
{
    CurrentSurfaceLock surface;
    SurfaceRecord* record = surface.record();
    if (!record)
        return;
    if (color == kColorDefault)
        color = static_cast<int32_t>(GetSysColor(COLOR_WINDOWTEXT));
    record->foreColor = static_cast<COLORREF>(color) & 0xFFFFFF;
    SetTextColor(record->memoryDC, record->foreColor);
}

void setBackColor(int32_t color)
{
    CurrentSurfaceLock surface;
    SurfaceRecord* record = surface.record();
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
}

void redrawSurface()
{
    HWND window = nullptr;
    {
        CurrentSurfaceLock surface;
        SurfaceRecord* record = surface.record();
        // A bitmap handle is no window; its value could still equal some window's.
        if (record && record->kind == kKindWindowSurface) {
            window = SurfaceToHandle<HWND>(record->handle);
            InvalidateRect(window, nullptr, FALSE);
        }
    }
    // Once the lock is released: the repaint itself takes it.
    if (window)
        UpdateWindow(window);
}
