// Bitmap surfaces: memory bitmaps of 32-bit colour registered under their handles.
#include "surfaces/surface_internal.h"
#include "surfaces/surfaces.h"

uint32_t newBitmapSurface(int32_t width, int32_t height)
{
    uint32_t handle = 0;
    HDC screenDC = GetDC(nullptr);
    MemoryBitmap memory;
    bool made = newMemoryBitmap(screenDC, width, height, &memory);
    SurfaceRecord* record = made ? registerObject(HandleToSurface(memory.bitmap), 0,
                                                  kFlagDeferredRedraw, kKindBitmapSurface)
                                 : nullptr;
    if (record) {
        record->memory = memory;
        record->width = width;
        record->height = height;
        prepareSurfaceDC(record);
        handle = record->handle;
    } else {
        releaseMemoryBitmap(&memory);
    }
    if (screenDC)
        ReleaseDC(nullptr, screenDC);
    return handle;
}
