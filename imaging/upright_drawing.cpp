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

const GpStatus kGdipOutOfMemory = 3;

// The upright pixels of the last copy, kept for the next: the first touch of
// a fresh block of 3 MB costs here more than the whole turn. Shutdown frees
// it with the other globals.
DynStr gTurnedPixels;

void ReleaseTurnedPixels()
{
    gTurnedPixels = DynStr();
}

// gTurnedPixels made to hold width x height pixels, its header saying so.
bool TurnedPixelsFor(int32_t width, int32_t height)
{
    if (int64_t(width) * height * 4 + 8 > gTurnedPixels.length()) {
        gTurnedPixels = NewPixelBlock(width, height);
        RuntimeAddShutdownRelease(ReleaseTurnedPixels);
        return !gTurnedPixels.empty();
    }
    memcpy(gTurnedPixels.mutableBytes(), &width, 4);
    memcpy(gTurnedPixels.mutableBytes() + 4, &height, 4);
    return true;
}

int32_t Inverse(int32_t orientation)
{
    return orientation == 6 ? 8 : orientation == 8 ? 6 : orientation;
}

}  // namespace

GpStatus DrawTurnedUpright(GpImage* image, int32_t orientation, uint32_t target, Placement place,
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
    // The target's pixels where they stay, or where a translucent photo shows
    // them; the drawing is then put back into them.
    DynStr kept;
    if (fillColor < 0 || !whole) {
        kept = getBits();
        if (kept.empty())
            return kGdipOutOfMemory;
    }
    Placement area = StoredPlacement(shown, orientation, canvasWidth, canvasHeight);
    Placement photo = StoredPlacement(place, orientation, canvasWidth, canvasHeight);
    DynStr under = kept.empty() ? DynStr() : NewPixelBlock(area.width, area.height);
    if (!kept.empty() && !MoveTurned(kept, shown, Inverse(orientation), &under, 0, 0))
        return kGdipOutOfMemory;
    uint32_t working = newBitmapSurface(area.width, area.height);
    if (!working)
        return kGdipOutOfMemory;
    attachSurface(working, 0, false);
    if (kept.empty())
        clearSurface(fillColor, 0);
    else
        setBits(under);
    GpGraphics* graphics = nullptr;
    HDC dc = surfaceDC();
    GpStatus status = dc ? GdipCreateFromHDC(dc, &graphics) : kGdipWin32Error;
    DynStr drawn;
    if (status == kGdipOk) {
        status = GdipDrawImageRectI(graphics, image, photo.x - area.x, photo.y - area.y, photo.width,
                                    photo.height);
        GdipDeleteGraphics(graphics);
        if (status == kGdipOk)
            drawn = getBits();
    }
    endBitmapSurface();
    attachSurface(target, 0, false);
    if (status != kGdipOk)
        return status;
    Placement all = {0, 0, area.width, area.height};
    DynStr* upright = kept.empty() ? &gTurnedPixels : &kept;
    if ((kept.empty() && !TurnedPixelsFor(canvasWidth, canvasHeight)) ||
        !MoveTurned(drawn, all, orientation, upright, shown.x, shown.y))
        return kGdipOutOfMemory;
    setBits(*upright);
    return kGdipOk;
}
