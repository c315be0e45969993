// The few GDI+ flat-API entry points and records the pipeline uses, declared
// here so that no C++ wrapper header of the library is needed.
#pragma once
#include <windows.h>
#include <stdint.h>

typedef int GpStatus;   // 0 = Ok
struct GpImage;
struct GpGraphics;
typedef GpImage GpBitmap;

// The statuses the pipeline uses; a geometry it refuses is an invalid parameter.
enum : GpStatus {
    kGdipOk = 0,
    kGdipInvalidParameter = 2,
    kGdipOutOfMemory = 3,
    kGdipWin32Error = 7,
};

typedef VOID(WINAPI* GdipDebugEventProc)(int level, CHAR* message);

struct GdipStartupInput {
    UINT32 GdiplusVersion;
    GdipDebugEventProc DebugEventCallback;
    BOOL SuppressBackgroundThread;
    BOOL SuppressExternalCodecs;
};

struct GdipImageCodecInfo {
    CLSID Clsid;
    GUID FormatID;
    const WCHAR* CodecName;
    const WCHAR* DllName;
    const WCHAR* FormatDescription;
    const WCHAR* FilenameExtension;
    const WCHAR* MimeType;
    DWORD Flags;
    DWORD Version;
    DWORD SigCount;
    DWORD SigSize;
    const BYTE* SigPattern;
    const BYTE* SigMask;
};

// PixelFormat of 32-bit pixels: blue, green, red and a spare byte.
enum : INT { kPixelFormat32bppRGB = 0x00022009 };

extern "C" {
GpStatus WINAPI GdiplusStartup(ULONG_PTR* token, const GdipStartupInput* input, void* output);
VOID WINAPI GdiplusShutdown(ULONG_PTR token);
GpStatus WINAPI GdipLoadImageFromFile(const WCHAR* fileName, GpImage** image);
GpStatus WINAPI GdipGetImageWidth(GpImage* image, UINT* width);
GpStatus WINAPI GdipGetImageHeight(GpImage* image, UINT* height);
GpStatus WINAPI GdipCreateBitmapFromScan0(INT width, INT height, INT stride, INT format,
                                          BYTE* scan0, GpBitmap** bitmap);
GpStatus WINAPI GdipDisposeImage(GpImage* image);
GpStatus WINAPI GdipCreateFromHDC(HDC dc, GpGraphics** graphics);
GpStatus WINAPI GdipGetImageGraphicsContext(GpImage* image, GpGraphics** graphics);
GpStatus WINAPI GdipDrawImageRectI(GpGraphics* graphics, GpImage* image, INT x, INT y, INT width,
                                   INT height);
GpStatus WINAPI GdipDeleteGraphics(GpGraphics* graphics);
GpStatus WINAPI GdipCreateBitmapFromHBITMAP(HBITMAP bitmap, HPALETTE palette, GpBitmap** result);
GpStatus WINAPI GdipBitmapSetResolution(GpBitmap* bitmap, float xdpi, float ydpi);
GpStatus WINAPI GdipGetImageEncodersSize(UINT* count, UINT* size);
GpStatus WINAPI GdipGetImageEncoders(UINT count, UINT size, GdipImageCodecInfo* encoders);
GpStatus WINAPI GdipSaveImageToFile(GpImage* image, const WCHAR* fileName, const CLSID* encoder,
                                    const void* encoderParameters);
}

// The start-up record every session of the pipeline uses: version 1, no
// debug callback, the library's own background thread, external codecs on.
inline GdipStartupInput PipelineStartupInput()
{
    GdipStartupInput input;
    input.GdiplusVersion = 1;
    input.DebugEventCallback = nullptr;
    input.SuppressBackgroundThread = FALSE;
    input.SuppressExternalCodecs = FALSE;
    return input;
}
