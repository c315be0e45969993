// Drawing a photo stored sideways or mirrored upright into its copy. The
// library scales the photo as stored into a working block of the photo's
// rectangle on the canvas turned back into the stored frame; then only that
// block's pixels are turned into the target. The large photo is never
// turned.
#include "imaging/imaging_internal.h"
#include "runtime/startup.h"
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

bool KeptBlockFor(DynStr* block, int32_t width, int32_t height)
{
    RuntimeAddShutdownRelease(ReleaseKeptPixels);
    return reusePixelBlock(block, width, height);
}

// Only the part of the rectangle on the canvas is drawn, as a direct
// drawing clips it; false when no part is. The working block then starts at
// that part's corner: the library here leaves out the first column or row
// of some rectangles that start inside a bitmap, never of one at its origin.
bool ClipToCanvas(Placement place, int32_t canvasWidth, int32_t canvasHeight, Placement* shown)
{
    int64_t left = place.x > 0 ? place.x : 0, top = place.y > 0 ? place.y : 0;
    int64_t right = int64_t(place.x) + place.width, bottom = int64_t(place.y) + place.height;
    right = right < canvasWidth ? right : canvasWidth;
    bottom = bottom < canvasHeight ? bottom : canvasHeight;
    if (left >= right || top >= bottom)
        return false;
    *shown = {int32_t(left), int32_t(top), int32_t(right - left), int32_t(bottom - top)};
    return true;
}

// The working block for the stored frame's `area`, holding what the photo is
// drawn over. Where the drawing covers the whole canvas over an opaque fill,
// no pixel of the target stays: the fill colour, and the kept block for the
// upright canvas. Otherwise the target's own pixels (those that stay, or
// that a translucent photo shows), captured into *upright and turned back.
GpStatus PrepareWorkingBlock(int32_t orientation, Placement shown, Placement area,
                             bool coversCanvas, int32_t fillColor, DynStr* upright)
{
    if (!KeptBlockFor(&gStoredPixels, area.width, area.height))
        return kGdipOutOfMemory;
    if (coversCanvas) {
        // COLORREF 0x00BBGGRR as a pixel: blue, green, red, then the spare byte.
        uint32_t pixel = uint32_t(fillColor & 0xFF) << 16 | uint32_t(fillColor & 0xFF00) |
                         uint32_t(fillColor >> 16 & 0xFF);
        uint32_t* pixels = blockPixels(&gStoredPixels);
        for (int64_t i = 0, count = int64_t(area.width) * area.height; i < count; ++i)
            pixels[i] = pixel;
        return KeptBlockFor(upright, shown.width, shown.height) ? kGdipOk : kGdipOutOfMemory;
    }
    // A block that cannot be had records its own run-time error; otherwise
    // the capture failed in the platform.
    *upright = getBits();
    if (upright->empty())
        return kGdipWin32Error;
    if (!MoveTurned(*upright, shown, InverseOrientation(orientation), &gStoredPixels, 0, 0))
        return kGdipInvalidParameter;
    return kGdipOk;
}

// The library scales the photo into the block's pixels in place: a bitmap
// on the block's own memory, no device context, no copy back.
GpStatus DrawIntoBlock(GpImage* image, Placement photo, DynStr* block)
{
    int32_t width = 0, height = 0;
    if (!readBlockHeader(*block, &width, &height))
        return kGdipInvalidParameter;
    GpBitmap* bitmap = nullptr;
    GpStatus status = GdipCreateBitmapFromScan0(width, height, width * 4, kPixelFormat32bppRGB,
                                                 reinterpret_cast<BYTE*>(blockPixels(block)),
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

// The drawn working block turned upright into the shown part of the upright
// canvas pixels, and those onto the current surface.
GpStatus PutBackUpright(int32_t orientation, Placement shown, Placement area, DynStr* upright)
{
    Placement all = {0, 0, area.width, area.height};
    if (!MoveTurned(gStoredPixels, all, orientation, upright, shown.x, shown.y))
        return kGdipInvalidParameter;
    setBits(*upright);
    return kGdipOk;
}

}  // namespace

GpStatus DrawTurnedUpright(GpImage* image, int32_t orientation, Placement place,
                           int32_t canvasWidth, int32_t canvasHeight, int32_t fillColor)
{
    Placement shown;
    if (!ClipToCanvas(place, canvasWidth, canvasHeight, &shown))
        return kGdipOk;
    Placement area = StoredPlacement(shown, orientation, canvasWidth, canvasHeight);
    Placement photo = StoredPlacement(place, orientation, canvasWidth, canvasHeight);
    photo.x -= area.x;
    photo.y -= area.y;
    bool coversCanvas = fillColor >= 0 && shown.width == canvasWidth && shown.height == canvasHeight;
    DynStr captured;
    DynStr* upright = coversCanvas ? &gTurnedPixels : &captured;
    GpStatus status = PrepareWorkingBlock(orientation, shown, area, coversCanvas, fillColor, upright);
    if (status == kGdipOk)
        status = DrawIntoBlock(image, photo, &gStoredPixels);
    if (status == kGdipOk)
        status = PutBackUpright(orientation, shown, area, upright);
    return status;
}
