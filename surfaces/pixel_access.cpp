// Pixel capture and restore as pixel blocks, and a bitmap surface's bitmap lent out.
#include <string.h>

#include "surfaces/surface_internal.h"
#include "surfaces/surfaces.h"

enum { kBlockHeaderSize = 8 };

// Bytes of a block of width x height pixels, or -1 when the block could not be
// held in a string (the length is a signed 32-bit count).
static int64_t blockSize(int32_t width, int32_t height)
{
    if (width < 0 || height < 0)
        return -1;
    int64_t size = kBlockHeaderSize + 4 * static_cast<int64_t>(width) * height;
    return size > INT32_MAX ? -1 : size;
}

// A zeroed header with a negative height: the rows are top-down, as the
// block stores them.
static void fillTopDownHeader(BITMAPINFOHEADER* header, int32_t width, int32_t height)
{
    memset(header, 0, sizeof(*header));
    header->biSize = sizeof(BITMAPINFOHEADER);
    header->biWidth = width;
    header->biHeight = -height;
    header->biPlanes = 1;
    header->biBitCount = 32;
    header->biCompression = BI_RGB;
}

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
    SurfaceRecord* record = lockCurrentSurface();
    if (!record)
        return DynStr();
    DynStr block;
    int64_t size = blockSize(record->width, record->height);
    if (size > 0)
        block = DynStr::ofLength(static_cast<int32_t>(size));
    HBITMAP bitmap = block.empty() ? nullptr : takeBitmapOut(record);
    bool whole = false;
    if (bitmap) {
        char* bytes = block.mutableBytes();
        memcpy(bytes, &record->width, 4);
        memcpy(bytes + 4, &record->height, 4);
        BITMAPINFOHEADER header;
        fillTopDownHeader(&header, record->width, record->height);
        // Lines that were not delivered would hold whatever the block held.
        whole = GetDIBits(record->memoryDC, bitmap, 0, static_cast<UINT>(record->height),
                          bytes + kBlockHeaderSize, reinterpret_cast<BITMAPINFO*>(&header),
                          DIB_RGB_COLORS) == record->height;
        putBitmapBack(record, bitmap);
    }
    unlockGraphics();
    return whole ? block : DynStr();
}

int32_t readBlockHeader(const DynStr& block, int32_t* width, int32_t* height)
{
    if (block.length() < kBlockHeaderSize)
        return 0;
    int32_t blockWidth = 0, blockHeight = 0;
    memcpy(&blockWidth, block.bytes(), 4);
    memcpy(&blockHeight, block.bytes() + 4, 4);
    int64_t size = blockSize(blockWidth, blockHeight);
    if (blockWidth <= 0 || blockHeight <= 0 || size < 0 || size > block.length())
        return 0;
    *width = blockWidth;
    *height = blockHeight;
    return static_cast<int32_t>(size);
}

void setBits(const DynStr& block)
{
    int32_t width = 0, height = 0;
    if (!readBlockHeader(block, &width, &height))
        return;

    SurfaceRecord* record = lockCurrentSurface();
    if (!record)
        return;
    BITMAPINFOHEADER header;
    fillTopDownHeader(&header, width, height);
    HBITMAP bitmap = takeBitmapOut(record);
    int lines = 0;
    if (bitmap) {
        lines = SetDIBits(record->memoryDC, bitmap, 0, static_cast<UINT>(height),
                          block.bytes() + kBlockHeaderSize, reinterpret_cast<BITMAPINFO*>(&header),
                          DIB_RGB_COLORS);
        putBitmapBack(record, bitmap);
    }
    if (lines) {
        markDrawn(record);
        return;
    }
    unlockGraphics();
}

HBITMAP deselectBitmap()
{
    SurfaceRecord* record = lockCurrentSurface();
    if (!record)
        return nullptr;
    HBITMAP bitmap = record->kind == kKindBitmapSurface ? takeBitmapOut(record) : nullptr;
    unlockGraphics();
    return bitmap;
}

void reselectBitmap()
{
    SurfaceRecord* record = lockCurrentSurface();
    if (!record)
        return;
    if (record->kind == kKindBitmapSurface)
        putBitmapBack(record, SurfaceToHandle<HBITMAP>(record->handle));
    unlockGraphics();
}
