// A thread's current surface, and what applies to any surface: size, DC, colours, redraw.
#include "surfaces/surface_internal.h"
#include "surfaces/surfaces.h"

#include "runtime/errors.h"
#include "runtime/thread_state.h"

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
    if (!surface)
        return;
    if (surface->kind == kKindBitmapSurface) {
        releaseObject(surface->handle);
        CurrentThreadState()->currentSurface = 0;
    }
}

void surfaceSize(long double* width, long double* height)
{
    *width = 0;
    *height = 0;
    CurrentSurfaceLock surface;
    if (!surface)
        return;
    *width = surface->width;
    *height = surface->height;
}

HDC surfaceDC()
{
    CurrentSurfaceLock surface;
    return surface ? surface->memory.dc : nullptr;
}

void setForeColor(int32_t color)
{
    CurrentSurfaceLock surface;
    if (!surface)
        return;
    if (color == kColorDefault)
        color = static_cast<int32_t>(GetSysColor(COLOR_WINDOWTEXT));
    surface->foreColor = static_cast<COLORREF>(color) & 0xFFFFFF;
    SetTextColor(surface->memory.dc, surface->foreColor);
}

void setBackColor(int32_t color)
{
    CurrentSurfaceLock surface;
    if (!surface)
        return;
    HDC dc = surface->memory.dc;
    if (color == kColorNone) {
        surface->backColor = kColorNone;
        if (SetBkColor(dc, 0) != CLR_INVALID)
            SetBkMode(dc, TRANSPARENT);
    } else {
        if (color == kColorDefault)
            color = static_cast<int32_t>(GetSysColor(COLOR_BTNFACE));
        surface->backColor = color & 0xFFFFFF;
        if (SetBkColor(dc, static_cast<COLORREF>(surface->backColor)) != CLR_INVALID)
            SetBkMode(dc, OPAQUE);
    }
}

void redrawSurface()
{
    HWND window = nullptr;
    {
        CurrentSurfaceLock surface;
        // A bitmap handle is no window; its value could still equal some window's.
        if (surface && surface->kind == kKindWindowSurface) {
            window = SurfaceToHandle<HWND>(surface->handle);
            InvalidateRect(window, nullptr, FALSE);
        }
    }
    // Once the lock is released: the repaint itself takes it.
    if (window)
        UpdateWindow(window);
}
