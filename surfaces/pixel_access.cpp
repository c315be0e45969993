// Pixel capture and restore as pixel blocks, and a bitmap surface's bitmap lent out.
#include "surfaces/surface_internal.h"
#include "surfaces/surfaces.h"

// Windows documents that a bitmap handed to GetDIBits, SetDIBits or the
// imaging library is selected into no DC: the DC's original bitmap stands in
// for the time of the call. Null when the bitmap cannot be taken out.
static HBITMAP takeBitmapOut(SurfaceRecord* record)
{
    HGDIOBJ bitmap = SelectObject(record->memoryDC, record->previousBitmap);
    return bitmap && bitmap != HGDI_ERROR ? static_cast<HBITMAP>(bitmap) : nullptr;
}

static void putBitmapBack(SurfaceRecord* record, HBITMAP bitmap)
{
    SelectObject(record->memoryDC, bitmap);
}

DynStr getBits()
{
    CurrentSurfaceLock surface;
    SurfaceRecord* record = surface.record();
    if (!record)
        return DynStr();
    DynStr block = newPixelBlock(record->width, record->height);
    HBITMAP bitmap = block.empty() ? nullptr : takeBitmapOut(record);
    bool whole = false;
    if (bitmap) {
        BITMAPINFOHEADER header;
        fillTopDownHeader(&header, record->width, record->height);
        // Lines that were not delivered would hold whatever the block held.
        whole = GetDIBits(record->memoryDC, bitmap, 0, static_cast<UINT>(record->height),
                          blockPixels(&block), reinterpret_cast<BITMAPINFO*>(&header),
                          DIB_RGB_COLORS) == record->height;
        putBitmapBack(record, bitmap);
    }
    return whole ? block : DynStr();
}

void setBits(const DynStr& block)
{
    int32_t width = 0, height = 0;
    if (!readBlockHeader(block, &width, &height))
        return;

    CurrentSurfaceLock surface;
    SurfaceRecord* record = surface.record();
    if (!record)
        return;
    BITMAPINFOHEADER header;
    fillTopDownHeader(&header, width, height);
    HBITMAP bitmap = takeBitmapOut(record);
    if (!bitmap)
        return;
    int lines = SetDIBits(record->memoryDC, bitmap, 0, static_cast<UINT>(height),
                          blockPixels(block), reinterpret_cast<BITMAPINFO*>(&header),
                          DIB_RGB_COLORS);
    putBitmapBack(record, bitmap);
    if (lines)
        surface.markDrawn();
}

BitmapOutOfDC::BitmapOutOfDC() : bitmap(nullptr)
{
    CurrentSurfaceLock surface;
    SurfaceRecord* record = surface.record();
    if (record && record->kind == kKindBitmapSurface)
        bitmap = takeBitmapOut(record);
}

BitmapOutOfDC::~BitmapOutOfDC()
{
    if (!bitmap)
        return;
    // Back only into its own surface's DC, should another have become current.
    CurrentSurfaceLock surface;
    SurfaceRecord* record = surface.record();
    if (record && record->handle == HandleToSurface(bitmap))
        putBitmapBack(record, bitmap);
}
