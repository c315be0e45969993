// The geometry of the eight EXIF orientations: where a pixel of the upright
// picture lies in the stored frame, which orientations stand it on its side,
// which one undoes another, and a rectangle mapped back into the stored frame.
#include "imaging/imaging_internal.h"

bool IsTurned(int32_t orientation)
{
    return orientation >= 2 && orientation <= 8;
}

bool SwapsSides(int32_t orientation)
{
    return orientation >= 5 && orientation <= 8;
}

int32_t InverseOrientation(int32_t orientation)
{
    // The quarter turns undo each other; every mirror and the half turn is its own.
    return orientation == 6 ? 8 : orientation == 8 ? 6 : orientation;
}

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

Placement StoredPlacement(Placement upright, int32_t orientation, int32_t canvasWidth,
                          int32_t canvasHeight)
{
    int32_t storedWidth = canvasWidth, storedHeight = canvasHeight;
    TurnSides(orientation, &storedWidth, &storedHeight);
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
