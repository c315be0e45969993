// Pixels of one pixel block moved turned into another. Only copies are
// turned here, never the far larger decoded photo.
#include "imaging/imaging_internal.h"
#include "surfaces/pixel_block.h"

static bool Inside(int64_t x, int64_t y, int64_t width, int64_t height, int32_t outerWidth,
                   int32_t outerHeight)
{
    return x >= 0 && y >= 0 && width > 0 && height > 0 && x + width <= outerWidth &&
           y + height <= outerHeight;
}

bool MoveTurned(const DynStr& from, Placement area, int32_t orientation, DynStr* to, int32_t toX,
                int32_t toY)
{
    int32_t fromWidth = 0, fromHeight = 0, toWidth = 0, toHeight = 0;
    int32_t width = area.width, height = area.height;
    TurnSides(orientation, &width, &height);
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
    const uint32_t* source = blockPixels(from) + origin;
    uint32_t* row = blockPixels(to) + ptrdiff_t(toY) * toWidth + toX;
    for (int32_t turnedY = 0; turnedY < height; ++turnedY, source += stepY, row += toWidth) {
        const uint32_t* pixel = source;
        for (int32_t turnedX = 0; turnedX < width; ++turnedX, pixel += stepX)
            row[turnedX] = *pixel;
    }
    return true;
}
