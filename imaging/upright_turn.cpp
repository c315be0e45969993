// The geometry of a photo stored in an EXIF orientation: where a pixel of
// the upright picture lies in the stored frame, a rectangle mapped back into
// that frame, and pixels of a block moved turned into another. Only copies
// are turned here, never the far larger decoded photo.
#include <string.h>

#include "imaging/imaging_internal.h"
#include "surfaces/surfaces.h"

namespace {

// The stored pixel shown at upright (x, y) of a picture stored as
// storedWidth x storedHeight, as the EXIF tag defines each orientation.
void StoredPoint(int32_t orientation, int32_t storedWidth, int32_t storedHeight, int32_t x,
                 int32_t y, int32_t* storedX, int32_t* storedY)
{
    int32_t lastColumn = storedWidth - 1, lastRow = storedHeight - 1;
    switch (orientation) {
    case 2: *storedX = lastColumn - x; *storedY = y; return;
    case 3: *storedX = lastColumn - x; *storedY = lastRow - y; return;
    case 4: *storedX = x; *storedY = lastRow - y; return;
    case 5: *storedX = y; *storedY = x; return;
    case 6: *storedX = y; *storedY = lastRow - x; return;
    case 7: *storedX = lastColumn - y; *storedY = lastRow - x; return;
    case 8: *storedX = lastColumn - y; *storedY = x; return;
    default: *storedX = x; *storedY = y; return;
    }
}

bool Inside(int64_t x, int64_t y, int64_t width, int64_t height, int32_t outerWidth,
            int32_t outerHeight)
{
    return x >= 0 && y >= 0 && width > 0 && height > 0 && x + width <= outerWidth &&
           y + height <= outerHeight;
}

}  // namespace

Placement StoredPlacement(Placement upright, int32_t orientation, int32_t canvasWidth,
                          int32_t canvasHeight)
{
    int32_t storedWidth = SwapsSides(orientation) ? canvasHeight : canvasWidth;
    int32_t storedHeight = SwapsSides(orientation) ? canvasWidth : canvasHeight;
    int32_t x0, y0, x1, y1;
    StoredPoint(orientation, storedWidth, storedHeight, upright.x, upright.y, &x0, &y0);
    StoredPoint(orientation, storedWidth, storedHeight, upright.x + upright.width - 1,
                upright.y + upright.height - 1, &x1, &y1);
    Placement stored;
    stored.x = x0 < x1 ? x0 : x1;
    stored.y = y0 < y1 ? y0 : y1;
    stored.width = (x0 < x1 ? x1 - x0 : x0 - x1) + 1;
    stored.height = (y0 < y1 ? y1 - y0 : y0 - y1) + 1;
    return stored;
}

DynStr NewPixelBlock(int32_t width, int32_t height)
{
    if (width <= 0 || height <= 0 || int64_t(width) * height > (INT32_MAX - 8) / 4)
        return DynStr();
    DynStr block = DynStr::ofLength(8 + width * height * 4);
    if (!block.empty()) {
        memcpy(block.mutableBytes(), &width, 4);
        memcpy(block.mutableBytes() + 4, &height, 4);
    }
    return block;
}

bool MoveTurned(const DynStr& from, Placement area, int32_t orientation, DynStr* to, int32_t toX,
                int32_t toY)
{
    int32_t fromWidth = 0, fromHeight = 0, toWidth = 0, toHeight = 0;
    int32_t width = SwapsSides(orientation) ? area.height : area.width;
    int32_t height = SwapsSides(orientation) ? area.width : area.height;
    if (!readBlockHeader(from, &fromWidth, &fromHeight) || !readBlockHeader(*to, &toWidth, &toHeight) ||
        !Inside(area.x, area.y, area.width, area.height, fromWidth, fromHeight) ||
        !Inside(toX, toY, width, height, toWidth, toHeight))
        return false;
    // The walk: the area's pixel for turned (x, y) lies origin + x*stepX +
    // y*stepY pixels from the first of `from`, the map being affine.
    int32_t x, y;
    StoredPoint(orientation, area.width, area.height, 0, 0, &x, &y);
    ptrdiff_t origin = ptrdiff_t(area.y + y) * fromWidth + area.x + x;
    StoredPoint(orientation, area.width, area.height, 1, 0, &x, &y);
    ptrdiff_t stepX = ptrdiff_t(area.y + y) * fromWidth + area.x + x - origin;
    StoredPoint(orientation, area.width, area.height, 0, 1, &x, &y);
    ptrdiff_t stepY = ptrdiff_t(area.y + y) * fromWidth + area.x + x - origin;
    const uint32_t* source = reinterpret_cast<const uint32_t*>(from.bytes() + 8) + origin;
    uint32_t* row = reinterpret_cast<uint32_t*>(to->mutableBytes() + 8) + ptrdiff_t(toY) * toWidth + toX;
    for (int32_t turnedY = 0; turnedY < height; ++turnedY, source += stepY, row += toWidth) {
        const uint32_t* pixel = source;
        for (int32_t turnedX = 0; turnedX < width; ++turnedX, pixel += stepX)
            row[turnedX] = *pixel;
    }
    return true;
}
