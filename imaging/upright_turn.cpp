// Standing a loaded photo upright for its EXIF orientation. Photos decoded
// to 24 or 32 bits a pixel are moved by the program into a new bitmap, tile
// by tile: the library's own turn goes pixel by pixel and costs two to three
// times as much on a 12-megapixel photo. Other formats are turned by the
// library. Either way the pixels are the same: a turn only moves them.
#include <string.h>

#include "imaging/imaging_internal.h"

namespace {

// Where the stored pixel for upright (x, y) lies: origin + x*stepX + y*stepY
// bytes from the stored block's first pixel.
struct StoredWalk {
    ptrdiff_t origin, stepX, stepY;
};

StoredWalk WalkFor(int32_t orientation, const GpBitmapData& stored, int bytes)
{
    ptrdiff_t right = bytes, down = stored.Stride;
    ptrdiff_t lastColumn = ptrdiff_t(stored.Width - 1) * right;
    ptrdiff_t lastRow = ptrdiff_t(stored.Height - 1) * down;
    switch (orientation) {
    case 2: return {lastColumn, -right, down};
    case 3: return {lastColumn + lastRow, -right, -down};
    case 4: return {lastRow, right, -down};
    case 5: return {0, down, right};
    case 6: return {lastRow, -down, right};
    case 7: return {lastColumn + lastRow, -down, -right};
    case 8: return {lastColumn, down, -right};
    default: return {0, right, down};
    }
}

// One band of upright rows [top, bottom) to fill from the stored pixels.
struct MoveJob {
    const GpBitmapData* stored;
    const GpBitmapData* upright;
    StoredWalk walk;
    int bytes;
    int top, bottom;
};

const int kTile = 64;

// Tiles keep the stored rows a quarter turn walks across in the caches.
template <int kBytes>
void MoveBand(const MoveJob& job)
{
    const BYTE* from0 = static_cast<const BYTE*>(job.stored->Scan0) + job.walk.origin;
    BYTE* to0 = static_cast<BYTE*>(job.upright->Scan0);
    ptrdiff_t toStride = job.upright->Stride;
    int width = int(job.upright->Width);
    for (int top = job.top; top < job.bottom; top += kTile) {
        int bottom = top + kTile < job.bottom ? top + kTile : job.bottom;
        for (int left = 0; left < width; left += kTile) {
            int end = left + kTile < width ? left + kTile : width;
            for (int y = top; y < bottom; ++y) {
                BYTE* to = to0 + y * toStride + ptrdiff_t(left) * kBytes;
                const BYTE* from = from0 + left * job.walk.stepX + y * job.walk.stepY;
                for (int x = left; x < end; ++x, to += kBytes, from += job.walk.stepX)
                    memcpy(to, from, kBytes);
            }
        }
    }
}

void RunMove(const MoveJob& job)
{
    if (job.bytes == 3)
        MoveBand<3>(job);
    else
        MoveBand<4>(job);
}

DWORD WINAPI MoveThread(void* job)
{
    RunMove(*static_cast<const MoveJob*>(job));
    return 0;
}

// Most of a turn is the first touch of the new bitmap's pages, which two
// cores do in about two thirds of the time of one: a big photo's lower half
// goes to a helper thread when there is a second processor and a thread.
void MovePixels(const GpBitmapData& stored, StoredWalk walk, int bytes, const GpBitmapData& upright)
{
    const uint64_t kHelperFrom = 1u << 20;   // pixels; below, a thread costs more than it saves
    int height = int(upright.Height);
    int half = (height / 2 + kTile - 1) / kTile * kTile;
    MoveJob upper = {&stored, &upright, walk, bytes, 0, half < height ? half : height};
    MoveJob lower = {&stored, &upright, walk, bytes, upper.bottom, height};
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    HANDLE helper = nullptr;
    if (lower.top < lower.bottom && uint64_t(upright.Width) * upright.Height >= kHelperFrom &&
        system.dwNumberOfProcessors > 1)
        helper = CreateThread(nullptr, 0, MoveThread, &lower, 0, nullptr);
    RunMove(upper);
    if (helper) {
        WaitForSingleObject(helper, INFINITE);
        CloseHandle(helper);
    } else {
        RunMove(lower);
    }
}

int BytesPerPixel(INT format)
{
    switch (format) {
    case kPixelFormat24bppRGB: return 3;
    case kPixelFormat32bppRGB:
    case kPixelFormat32bppARGB:
    case kPixelFormat32bppPARGB: return 4;
    default: return 0;
    }
}

// The upright copy of a 24 or 32-bit photo in a new bitmap; null when the
// format is another or the library refuses a step.
GpBitmap* MovedUpright(GpImage* image, int32_t orientation)
{
    INT format = 0;
    UINT width = 0, height = 0;
    if (GdipGetImagePixelFormat(image, &format) != kGdipOk || GdipGetImageWidth(image, &width) != kGdipOk ||
        GdipGetImageHeight(image, &height) != kGdipOk || width == 0 || height == 0 ||
        width > INT32_MAX || height > INT32_MAX)
        return nullptr;
    int bytes = BytesPerPixel(format);
    if (bytes == 0)
        return nullptr;
    UINT uprightWidth = SwapsSides(orientation) ? height : width;
    UINT uprightHeight = SwapsSides(orientation) ? width : height;
    GpBitmap* upright = nullptr;
    if (GdipCreateBitmapFromScan0(INT(uprightWidth), INT(uprightHeight), 0, format, nullptr, &upright) != kGdipOk)
        return nullptr;
    GpRect storedArea = {0, 0, INT(width), INT(height)};
    GpRect uprightArea = {0, 0, INT(uprightWidth), INT(uprightHeight)};
    GpBitmapData stored = {}, target = {};
    bool moved = false;
    if (GdipBitmapLockBits(image, &storedArea, kImageLockModeRead, format, &stored) == kGdipOk) {
        if (GdipBitmapLockBits(upright, &uprightArea, kImageLockModeWrite, format, &target) == kGdipOk) {
            MovePixels(stored, WalkFor(orientation, stored, bytes), bytes, target);
            moved = GdipBitmapUnlockBits(upright, &target) == kGdipOk;
        }
        GdipBitmapUnlockBits(image, &stored);
    }
    if (!moved) {
        GdipDisposeImage(upright);
        return nullptr;
    }
    return upright;
}

}  // namespace

GpStatus TurnUprightByLibrary(GpImage* image, int32_t orientation)
{
    // Transpose and transverse are a quarter turn and then a mirror, made in
    // two calls: the combined codes 5 and 7 are not read alike by every
    // version of the library.
    GpStatus status = kGdipOk;
    switch (orientation) {
    case 2: return GdipImageRotateFlip(image, kRotateNoneFlipX);
    case 3: return GdipImageRotateFlip(image, kRotate180FlipNone);
    case 4: return GdipImageRotateFlip(image, kRotate180FlipX);   // a vertical mirror
    case 5:
        status = GdipImageRotateFlip(image, kRotate90FlipNone);
        return status == kGdipOk ? GdipImageRotateFlip(image, kRotateNoneFlipX) : status;
    case 6: return GdipImageRotateFlip(image, kRotate90FlipNone);
    case 7:
        status = GdipImageRotateFlip(image, kRotate270FlipNone);
        return status == kGdipOk ? GdipImageRotateFlip(image, kRotateNoneFlipX) : status;
    case 8: return GdipImageRotateFlip(image, kRotate270FlipNone);
    default: return kGdipOk;
    }
}

GpStatus TurnUpright(GpImage** image, int32_t orientation)
{
    if (orientation < 2 || orientation > 8)
        return kGdipOk;
    GpBitmap* upright = MovedUpright(*image, orientation);
    if (!upright)
        return TurnUprightByLibrary(*image, orientation);
    GdipDisposeImage(*image);
    *image = upright;
    return kGdipOk;
}
