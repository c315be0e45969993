// The size rule of the copies and the placement of a photo on its canvas.
// Both go through the same aspect hundredths so that a photo fills its copy.
#include "imaging/imaging.h"
#include "imaging/imaging_internal.h"
#include "runtime/floating_point.h"

namespace {

int32_t AtLeastOne(int64_t side)
{
    if (side < 1)
        return 1;
    if (side > INT32_MAX)
        return INT32_MAX;
    return static_cast<int32_t>(side);
}

// The arithmetic below runs under an ExtendedPrecisionScope of its caller;
// noipa keeps every step of it inside the call, after the scope's switch.
__attribute__((noipa)) int64_t ExtendedHundredths(int32_t width, int32_t height)
{
    if (width <= 0 || height < 0)
        return 0;
    // Held step by step in the 64-bit significand: 1000 x 295 gives 29, not 30.
    long double quotient = static_cast<long double>(height) / static_cast<long double>(width);
    long double hundredths = quotient * 100.0L;
    return RoundToInteger(hundredths);
}

__attribute__((noipa)) void ExtendedCopySize(int32_t photoWidth, int32_t photoHeight,
                                             int32_t sizeMode, int32_t* width, int32_t* height)
{
    int64_t side = sizeMode == 1 ? kLargeCopySide : kSmallCopySide;
    int64_t n = ExtendedHundredths(photoWidth, photoHeight);
    if (n < 100) {
        *width = AtLeastOne(side);
        *height = AtLeastOne(side * n / 100);
    } else {
        *height = AtLeastOne(side);
        long double across = static_cast<long double>(side * 100) / static_cast<long double>(n);
        *width = AtLeastOne(RoundToInteger(across));
    }
}

__attribute__((noipa)) Placement ExtendedPlacement(int32_t imageWidth, int32_t imageHeight,
                                                   int32_t canvasWidth, int32_t canvasHeight)
{
    Placement place = {0, 0, AtLeastOne(canvasWidth), AtLeastOne(canvasHeight)};
    if (imageWidth <= 0 || imageHeight <= 0)
        return place;
    long double ratio = static_cast<long double>(ExtendedHundredths(imageWidth, imageHeight)) / 100.0L;
    if (ratio < 1.0L) {
        place.width = AtLeastOne(canvasWidth);
        place.height = AtLeastOne(RoundToInteger(ratio * canvasWidth));
    } else {
        place.height = AtLeastOne(canvasHeight);
        place.width = AtLeastOne(RoundToInteger(canvasHeight / ratio));
        // Truncated: an odd spare column goes to the right.
        place.x = (canvasWidth - place.width) / 2;
    }
    return place;
}

}  // namespace

int64_t AspectHundredths(int32_t width, int32_t height)
{
    ExtendedPrecisionScope precision;
    return ExtendedHundredths(width, height);
}

void ReducedCopySize(int32_t photoWidth, int32_t photoHeight, int32_t sizeMode, int32_t* width,
                     int32_t* height)
{
    ExtendedPrecisionScope precision;
    ExtendedCopySize(photoWidth, photoHeight, sizeMode, width, height);
}

Placement PlaceImage(int32_t imageWidth, int32_t imageHeight, int32_t canvasWidth,
                     int32_t canvasHeight)
{
    ExtendedPrecisionScope precision;
    return ExtendedPlacement(imageWidth, imageHeight, canvasWidth, canvasHeight);
}
