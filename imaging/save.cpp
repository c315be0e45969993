// Writing a captured copy: the pixel block back into a bitmap, wrapped as a
// library image and saved with the encoder its name asks for.
#include "imaging/imaging.h"
#include "imaging/imaging_internal.h"
#include "runtime/console.h"
#include "runtime/interrupt.h"
#include "runtime/strings.h"
#include "surfaces/surfaces.h"

// A whole copy takes the name, replacing an earlier file of it. Another
// process may hold that file for a moment (a second instance putting its own
// copy of the name in place, a virus scanner): the name is tried again for
// up to half a second before the save counts as failed.
static bool PutInPlace(const DynStr& pending, const DynStr& target)
{
    const int kAttempts = 50;
    for (int attempt = 1;; ++attempt) {
        if (MoveFileExA(pending.bytes(), target.bytes(), MOVEFILE_REPLACE_EXISTING))
            return true;
        DWORD error = GetLastError();
        if ((error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION) ||
            attempt == kAttempts)
            return false;
        Sleep(10);
    }
}

int32_t fGDIp_SaveImage(DynStr fileName, void* image)
{
    DynStr mimeType;
    int32_t verdict = SaveMimeType(fileName, &mimeType);
    if (verdict <= 0)
        return verdict;
    // Without a matching encoder the save is still tried with the zero class
    // identifier; the library's refusal is then the result.
    CLSID classId = {};
    if (fGDIp_EncoderClsid(mimeType, &classId) == -kGdipOutOfMemory)
        return kGdipOutOfMemory;
    // A save that fails part-way (a full disk) must leave neither a broken
    // file nor a lost earlier copy under the name.
    DynStr target = StrLower(fileName);
    DynStr pending = PendingName(target);
    DynStr wide = WideFileName(pending);
    // A close of the console waits while the pending file exists.
    UninterruptibleBegin();
    int32_t status = GdipSaveImageToFile(static_cast<GpImage*>(image),
                                         reinterpret_cast<const WCHAR*>(wide.bytes()), &classId,
                                         nullptr);
    if (status == kGdipOk && !PutInPlace(pending, target))
        status = kGdipWin32Error;
    if (status != kGdipOk)
        DeleteFileA(pending.bytes());
    UninterruptibleEnd();
    return status;
}

// The current bitmap surface as a library bitmap; null when it cannot be
// made. It takes the display's resolution, which the copy's header must not.
static GpBitmap* LibraryBitmapOfSurface()
{
    GpBitmap* image = nullptr;
    {
        BitmapOutOfDC out;
        // The pixels were set by GDI, which may still hold them batched.
        GdiFlush();
        if (!out.bitmap || GdipCreateBitmapFromHBITMAP(out.bitmap, nullptr, &image) != kGdipOk)
            return nullptr;
    }
    if (image && GdipBitmapSetResolution(image, kSurfaceDpi, kSurfaceDpi) != kGdipOk) {
        GdipDisposeImage(image);
        image = nullptr;
    }
    return image;
}

int32_t SaveReducedCopy(const DynStr& outputName, int32_t* width, int32_t* height)
{
    DynStr fileName = StrLower(outputName);
    bool saved = false;
    uint32_t bitmap = 0;
    // A block of another size would leave pixels that were never set.
    if (blockHolds(gReducedBits, *width, *height))
        bitmap = newBitmapSurface(*width, *height);
    if (bitmap) {
        attachSurface(bitmap, 0, false);
        setBits(gReducedBits);
        gGdipToken = fGDIp_Startup();
        GpBitmap* image = LibraryBitmapOfSurface();
        if (image) {
            saved = fGDIp_SaveImage(fileName, image) == kGdipOk;
            GdipDisposeImage(image);
        }
        fGDIp_Shutdown(gGdipToken);
        attachSurface(bitmap, 0, false);
        endBitmapSurface();
    }
    if (!saved)
        ConsolePrintLine(StrConcat(DynStr("Impossibile salvare "), fileName));
    return saved ? 1 : 0;
}
