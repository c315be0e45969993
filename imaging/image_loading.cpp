// Loading photos through the imaging library: their size, and drawing one
// into a graphic surface. The caller holds the library session.
#include "imaging/imaging.h"
#include "imaging/imaging_internal.h"
#include "runtime/strings.h"
#include "surfaces/surfaces.h"

DynStr WideFileName(const DynStr& fileName)
{
    static const char terminator[2] = {0, 0};
    return StrConcat(StrToWide(fileName), DynStr(terminator, 2));
}

GpStatus LoadPhoto(const DynStr& fileName, GpImage** image, int32_t* orientation)
{
    *image = nullptr;
    *orientation = 0;
    DynStr wide = WideFileName(fileName);
    GpStatus status = GdipLoadImageFromFile(reinterpret_cast<const WCHAR*>(wide.bytes()), image);
    if (status != kGdipOk) {
        *image = nullptr;
        return status;
    }
    *orientation = ReadExifOrientation(fileName);
    return kGdipOk;
}

void UprightSize(GpImage* image, int32_t orientation, UINT* width, UINT* height)
{
    *width = 0;
    *height = 0;
    GdipGetImageWidth(image, width);
    GdipGetImageHeight(image, height);
    TurnSides(orientation, width, height);
}

void fGDIp_ImageSize(const DynStr& fileName, int32_t* width, int32_t* height)
{
    GpImage* image = nullptr;
    int32_t orientation = 0;
    if (LoadPhoto(fileName, &image, &orientation) != kGdipOk)
        return;
    UINT imageWidth = 0, imageHeight = 0;
    UprightSize(image, orientation, &imageWidth, &imageHeight);
    GdipDisposeImage(image);
    *width = static_cast<int32_t>(imageWidth);
    *height = static_cast<int32_t>(imageHeight);
}

int32_t __stdcall fGDIp_2hBMP(BSTR fileName, uint32_t target, int32_t, int32_t fillColor)
{
    // Owned from here on: freed when `name` goes, whatever the path.
    DynStr name = DynStr::adopt(fileName);
    GpImage* image = nullptr;
    int32_t orientation = 0;
    if (LoadPhoto(name, &image, &orientation) != kGdipOk)
        return 0;
    UINT imageWidth = 0, imageHeight = 0;
    UprightSize(image, orientation, &imageWidth, &imageHeight);
    if (imageWidth == 0 || imageHeight == 0 || imageWidth > INT32_MAX || imageHeight > INT32_MAX) {
        GdipDisposeImage(image);
        return 0;
    }

    attachSurface(target, 0, false);
    long double canvasWidth = 0, canvasHeight = 0;
    surfaceSize(&canvasWidth, &canvasHeight);
    HDC dc = surfaceDC();
    GpGraphics* graphics = nullptr;
    // GDI fills the canvas before the library has a graphics object on it:
    // the library may write a DIB section's memory directly while a GDI
    // call is still batched.
    if (dc && fillColor != kColorNone)
        clearSurface(fillColor, 0);
    GdiFlush();
    if (!dc || GdipCreateFromHDC(dc, &graphics) != kGdipOk || !graphics) {
        GdipDisposeImage(image);
        attachSurface(target, 0, false);
        endBitmapSurface();
        return 0;
    }
    int32_t width = static_cast<int32_t>(canvasWidth), height = static_cast<int32_t>(canvasHeight);
    Placement place = PlaceImage(static_cast<int32_t>(imageWidth), static_cast<int32_t>(imageHeight),
                                 width, height);
    GpStatus drawn;
    if (IsTurned(orientation)) {
        GdipDeleteGraphics(graphics);
        drawn = DrawTurnedUpright(image, orientation, place, width, height, fillColor);
    } else {
        drawn = GdipDrawImageRectI(graphics, image, place.x, place.y, place.width, place.height);
        GdipDeleteGraphics(graphics);
    }
    GdipDisposeImage(image);
    // A photo the process can load but not draw (too big for a 32-bit
    // address space) leaves only the fill colour: no copy of it.
    return drawn == kGdipOk ? static_cast<int32_t>(target) : 0;
}
