// Drawing a photo stored sideways or mirrored upright into its copy. The
// library scales the photo as stored into a working bitmap of the photo's
// rectangle on the canvas turned back into the stored frame; then only that
// bitmap's pixels are turned into the target. The large photo is never
// turned.
#include <string.h>

#include "imaging/imaging_internal.h"
#include "runtime/runtime_state.h"
#include "surfaces/surfaces.h"

namespace {

// The working pixels, drawn as stored, and the upright pixels of the last
// copy, kept for the next so that no copy pays for touching fresh pages.
// Shutdown frees them with the other globals.
DynStr gStoredPixels;
DynStr gTurnedPixels;

void ReleaseKeptPixels()
{
    gStoredPixels = DynStr();
    gTurnedPixels = DynStr();
}

// A kept block made to hold width x height pixels, its header saying so.
bool KeptBlockFor(DynStr* block, int32_t width, int32_t height)
{
    if (int64_t(width) * height * 4 + 8 > block->length()) {
        *block = NewPixelBlock(width, height);
        RuntimeAddShutdownRelease(ReleaseKeptPixels);
        return !block->empty();
    }
    memcpy(block->mutableBytes(), &width, 4);
    memcpy(block->mutableBytes() + 4, &height, 4);
    return true;
}

void FillBlock(DynStr* block, int32_t width, int32_t height, int32_t color)
{
    // COLORREF 0x00BBGGRR as a pixel: blue, green, red, then the spare byte.
    uint32_t pixel = uint32_t(color & 0xFF) << 16 | uint32_t(color & 0xFF00) |
                     uint32_t(color >> 16 & 0xFF);
    uint32_t* pixels = reinterpret_cast<uint32_t*>(block->mutableBytes() + 8);
    for (int64_t i = 0, count = int64_t(width) * height; i < count; ++i)
        pixels[i] = pixel;
}

int32_t Inverse(int32_t orientation)
{
    return orientation == 6 ? 8 : orientation == 8 ? 6 : orientation;
}

// The library scales the photo into the block's pixels in place: a bitmap
// on the block's own memory, no device context, no copy back.
GpStatus DrawIntoBlock(GpImage* image, Placement photo, DynStr* block, int32_t width,
                       int32_t height)
{
    GpBitmap* bitmap = nullptr;
    GpStatus status = GdipCreateBitmapFromScan0(width, height, width * 4, kPixelFormat32bppRGB,
                                                 reinterpret_cast<BYTE*>(block->mutableBytes() + 8),
                                                 &bitmap);
    if (status != kGdipOk)
        return status;
    GpGraphics* graphics = nullptr;
    status = GdipGetImageGraphicsContext(bitmap, &graphics);
    if (status == kGdipOk) {
        status = GdipDrawImageRectI(graphics, image, photo.x, photo.y, photo.width, photo.height);
        GdipDeleteGraphics(graphics);
    }
    GdipDisposeImage(bitmap);
    return status;
}

}  // namespace

GpStatus DrawTurnedUpright(GpImage* image, int32_t orientation, Placement place,
                           int32_t canvasWidth, int32_t canvasHeight, int32_t fillColor)
{
    // Only the part of the rectangle on the canvas is drawn, as a direct
    // drawing clips it. The working bitmap then starts at that part's
    // corner: the library here leaves out the first column or row of some
    // rectangles that start inside a bitmap, never of one at its origin.
    int64_t left = place.x > 0 ? place.x : 0, top = place.y > 0 ? place.y : 0;
    int64_t right = int64_t(place.x) + place.width, bottom = int64_t(place.y) + place.height;
    right = right < canvasWidth ? right : canvasWidth;
    bottom = bottom < canvasHeight ? bottom : canvasHeight;
    if (left >= right || top >= bottom)
        return kGdipOk;
    Placement shown = {int32_t(left), int32_t(top), int32_t(right - left), int32_t(bottom - top)};
    bool whole = shown.width == canvasWidth && shown.height == canvasHeight;
    Placement area = StoredPlacement(shown, orientation, canvasWidth, canvasHeight);
    Placement photo = StoredPlacement(place, orientation, canvasWidth, canvasHeight);
    photo.x -= area.x;
    photo.y -= area.y;
    if (!KeptBlockFor(&gStoredPixels, area.width, area.height))
        return kGdipOutOfMemory;
    // The drawing starts from the target's own pixels where they stay, or
    // where a translucent photo shows them, turned back into the stored
    // frame; the drawing is then put back into them.
    DynStr kept;
    if (fillColor < 0 || !whole) {
        kept = getBits();
        if (kept.empty() || !MoveTurned(kept, shown, Inverse(orientation), &gStoredPixels, 0, 0))
            return kept.empty() ? kGdipOutOfMemory : kGdipInvalidParameter;
    } else {
        FillBlock(&gStoredPixels, area.width, area.height, fillColor);
    }
    GpStatus status = DrawIntoBlock(image, photo, &gStoredPixels, area.width, area.height);
    if (status != kGdipOk)
        return status;
    Placement all = {0, 0, area.width, area.height};
    DynStr* upright = kept.empty() ? &gTurnedPixels : &kept;
    if (kept.empty() && !KeptBlockFor(&gTurnedPixels, canvasWidth, canvasHeight))
        return kGdipOutOfMemory;
    if (!MoveTurned(gStoredPixels, all, orientation, upright, shown.x, shown.y))
        return kGdipInvalidParameter;
    setBits(*upright);
    return kGdipOk;
}
