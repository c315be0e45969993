// Linker wraps of the imaging test program (see tests/CMakeLists.txt): the
// calls that are handed a GDI bitmap note whether it was selected into a DC
// at that moment, and the library's encoder list can be made to fail.
#include "tests/imaging/imaging_fixtures.h"

#include <string.h>

#include "tests/support/link_wraps.h"

BitmapHandOver gBitmapHandOvers[kHandOverCount];
bool gEncoderListFails = false;

namespace {

// A bitmap can be selected into one DC at a time, so a second DC refuses it
// while another holds it.
void NoteHandOver(HandOverCall call, HBITMAP bitmap)
{
    HDC probe = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = probe ? SelectObject(probe, bitmap) : nullptr;
    if (previous)
        SelectObject(probe, previous);
    if (probe)
        DeleteDC(probe);
    ++gBitmapHandOvers[call].calls;
    if (!previous)
        ++gBitmapHandOvers[call].whileSelected;
}

typedef int(WINAPI* GetDIBitsCall)(HDC, HBITMAP, UINT, UINT, LPVOID, LPBITMAPINFO, UINT);
typedef int(WINAPI* SetDIBitsCall)(HDC, HBITMAP, UINT, UINT, const VOID*, const BITMAPINFO*, UINT);

extern "C" {
extern GetDIBitsCall realGetDIBits asm(IMPORT_SLOT("__real_", GetDIBits, 28));
extern SetDIBitsCall realSetDIBits asm(IMPORT_SLOT("__real_", SetDIBits, 28));
}

int WINAPI WatchedGetDIBits(HDC dc, HBITMAP bitmap, UINT start, UINT lines, LPVOID bits,
                            LPBITMAPINFO info, UINT usage)
{
    NoteHandOver(kHandOverGetDIBits, bitmap);
    return realGetDIBits(dc, bitmap, start, lines, bits, info, usage);
}

int WINAPI WatchedSetDIBits(HDC dc, HBITMAP bitmap, UINT start, UINT lines, const VOID* bits,
                            const BITMAPINFO* info, UINT usage)
{
    NoteHandOver(kHandOverSetDIBits, bitmap);
    return realSetDIBits(dc, bitmap, start, lines, bits, info, usage);
}

}  // namespace

extern "C" {
GetDIBitsCall wrapGetDIBits asm(IMPORT_SLOT("__wrap_", GetDIBits, 28)) = WatchedGetDIBits;
SetDIBitsCall wrapSetDIBits asm(IMPORT_SLOT("__wrap_", SetDIBits, 28)) = WatchedSetDIBits;

GpStatus WINAPI __real_GdipCreateBitmapFromHBITMAP(HBITMAP bitmap, HPALETTE palette,
                                                   GpBitmap** result);
GpStatus WINAPI __wrap_GdipCreateBitmapFromHBITMAP(HBITMAP bitmap, HPALETTE palette,
                                                   GpBitmap** result)
{
    NoteHandOver(kHandOverToLibrary, bitmap);
    return __real_GdipCreateBitmapFromHBITMAP(bitmap, palette, result);
}

GpStatus WINAPI __real_GdipGetImageEncoders(UINT count, UINT size, GdipImageCodecInfo* encoders);
GpStatus WINAPI __wrap_GdipGetImageEncoders(UINT count, UINT size, GdipImageCodecInfo* encoders)
{
    if (!gEncoderListFails)
        return __real_GdipGetImageEncoders(count, size, encoders);
    memset(encoders, 0xCD, size);   // what a failed call may leave
    return 1;
}
}
