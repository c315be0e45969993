// Bitmap surfaces: screen-compatible memory bitmaps registered under their handles.
#include "surfaces/surface_internal.h"
#include "surfaces/surfaces.h"

uint32_t newBitmapSurface(int32_t width, int32_t height)
{
    uint32_t handle = 0;
    HDC screenDC = GetDC(nullptr);
    HDC memoryDC = CreateCompatibleDC(screenDC);
    HBITMAP bitmap = memoryDC ? CreateCompatibleBitmap(screenDC, width, height) : nullptr;
    HGDIOBJ previousBitmap = bitmap ? SelectObject(memoryDC, bitmap) : nullptr;
    SurfaceRecord* record = nullptr;
    if (previousBitmap && previousBitmap != HGDI_ERROR)
        record = registerObject(HandleToSurface(bitmap), 0, kFlagDeferredRedraw,
                                kKindBitmapSurface);
    if (record) {
        record->memoryDC = memoryDC;
        record->previousBitmap = previousBitmap;
        record->width = width;
        record->height = height;
        prepareSurfaceDC(record);
        handle = record->handle;
    } else {
        if (previousBitmap && previousBitmap != HGDI_ERROR)
            SelectObject(memoryDC, previousBitmap);
        if (bitmap)
            DeleteObject(bitmap);
        if (memoryDC)
            DeleteDC(memoryDC);
    }
    if (screenDC)
        ReleaseDC(nullptr, screenDC);
    return handle;
}
