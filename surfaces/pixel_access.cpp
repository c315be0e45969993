// Pixel capture and restore as pixel blocks, and a bitmap surface's bitmap lent out.
#include "surfaces/surface_internal.h"
#include "surfaces/surfaces.h"

// Windows documents that a bitmap handed to GetDIBits, SetDIBits or the
// imaging library is selected into no DC: the DC's original bitmap stands in
// for the time of the call. Null when the bitmap cannot be taken out.
static HBITMAP takeBitmapOut(SurfaceRecord* record)
{
    HGDIOBJ bitmap = SelectObject(record->memory.dc, record->memory.previousBitmap);
    return bitmap && bitmap != HGDI_ERROR ? static_cast<HBITMAP>(bitmap) : nullptr;
}

static void putBitmapBack(SurfaceRecord* record, HBITMAP bitmap)
{
    SelectObject(record->memory.dc, bitmap);
}

DynStr getBits()
{
    CurrentSurfaceLock surface;
    if (!surface)
        return DynStr();
    DynStr block = newPixelBlock(surface->width, surface->height);
    HBITMAP bitmap = block.empty() ? nullptr : takeBitmapOut(surface.record());
    bool whole = false;
    if (bitmap) {
        BITMAPINFOHEADER header;
        fillTopDownHeader(&header, surface->width, surface->height);
        // Lines that were not delivered would hold whatever the block held.
        whole = GetDIBits(surface->memory.dc, bitmap, 0, static_cast<UINT>(surface->height),
                          blockPixels(&block), reinterpret_cast<BITMAPINFO*>(&header),
                          DIB_RGB_COLORS) == surface->height;
        putBitmapBack(surface.record(), bitmap);
    }
    return whole ? block : DynStr();
}

void setBits(const DynStr& block)
{
    int32_t width = 0, height = 0;
    if (!readBlockHeader(block, &width, &height))
        return;

    CurrentSurfaceLock surface;
    if (!surface)
        return;
    BITMAPINFOHEADER header;
    fillTopDownHeader(&header, width, height);
    HBITMAP bitmap = takeBitmapOut(surface.record());
    if (!bitmap)
        return;
    int lines = SetDIBits(surface->memory.dc, bitmap, 0, static_cast<UINT>(height),
                          blockPixels(block), reinterpret_cast<BITMAPINFO*>(&header),
                          DIB_RGB_COLORS);
    putBitmapBack(surface.record(), bitmap);
    if (lines)
        surface.markDrawn();
}

BitmapOutOfDC::BitmapOutOfDC() : bitmap(nullptr)
{
    CurrentSurfaceLock surface;
    if (surface && surface->kind == kKindBitmapSurface)
        bitmap = takeBitmapOut(surface.record());
}

BitmapOutOfDC::~BitmapOutOfDC()
{
    if (!bitmap)
        return;
    // Back only into its own surface's DC, should another have become current.
    CurrentSurfaceLock surface;
    if (surface && surface->handle == HandleToSurface(bitmap))
        putBitmapBack(surface.record(), bitmap);
}
