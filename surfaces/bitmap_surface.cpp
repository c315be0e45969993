// Bitmap surfaces: memory bitmaps of 32-bit colour registered under their handles.
#include "surfaces/surface_internal.h"
#include "surfaces/surfaces.h"

uint32_t newBitmapSurface(int32_t width, int32_t height)
{
    uint32_t handle = 0;
    HDC screenDC = GetDC(nullptr);
    HDC memoryDC = nullptr;
    HGDIOBJ previousBitmap = nullptr;
    HBITMAP bitmap = newMemoryBitmap(screenDC, width, height, &memoryDC, &previousBitmap);
    SurfaceRecord* record = bitmap ? registerObject(HandleToSurface(bitmap), 0,
                                                    kFlagDeferredRedraw, kKindBitmapSurface)
                                   : nullptr;
    if (record) {
        record->memoryDC = memoryDC;
        record->previousBitmap = previousBitmap;
        record->width = width;
        record->height = height;
        prepareSurfaceDC(record);
        handle = record->handle;
    } else if (bitmap) {
        SelectObject(memoryDC, previousBitmap);
        DeleteObject(bitmap);
        DeleteDC(memoryDC);
    }
    if (screenDC)
        ReleaseDC(nullptr, screenDC);
    return handle;
}
