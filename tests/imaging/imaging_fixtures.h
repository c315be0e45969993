// Photos, folders and console capture for the image pipeline's tests.
#pragma once
#include <windows.h>
#include <stdint.h>

#include <string>
#include <vector>

#include "imaging/gdiplus_flat.h"
#include "tests/support/temp_folder.h"

// Flat-API records and calls that only the tests need.
struct GpRect { INT X, Y, Width, Height; };
struct GpBitmapData { UINT Width, Height; INT Stride, PixelFormat; void* Scan0; UINT_PTR Reserved; };
enum : INT { kPixelFormat32bppARGB = 0x0026200A };
enum : UINT { kImageLockModeRead = 1 };
extern "C" GpStatus WINAPI GdipCreateBitmapFromFile(const WCHAR* fileName, GpBitmap** bitmap);
extern "C" GpStatus WINAPI GdipBitmapLockBits(GpBitmap* bitmap, const GpRect* rect, UINT flags,
                                              INT format, GpBitmapData* locked);
extern "C" GpStatus WINAPI GdipBitmapUnlockBits(GpBitmap* bitmap, GpBitmapData* locked);

// The library's own encoder class identifiers, the same on every system.
extern const CLSID kBmpEncoder, kJpegEncoder, kGifEncoder, kTiffEncoder, kPngEncoder;

// A GDI+ session held by a test while it makes or reads photos.
struct TestGdipSession {
    TestGdipSession();
    ~TestGdipSession();
    ULONG_PTR token;
};

// 32-bit ARGB pixels, rows from the top.
struct Picture {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> argb;
    uint32_t at(int32_t x, int32_t y) const { return argb[size_t(y) * width + x]; }
    void fill(int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t color);
};
Picture MakePicture(int32_t width, int32_t height, uint32_t color);
// Four quadrants: red, green / blue, yellow.
Picture QuadrantPicture(int32_t width, int32_t height);

bool WritePicture(const std::string& path, const Picture& picture, const CLSID& encoder);
// The library's GIF encoder is not usable everywhere: a GIF of at most 256
// opaque colours written here instead, uncompressed.
bool WriteGif(const std::string& path, const Picture& picture);
// The pixels of a loaded image; false when the library cannot give them.
bool PictureOfImage(GpImage* image, Picture* picture);
// Decodes a file with the library; false when it cannot.
bool ReadPicture(const std::string& path, Picture* picture);
// Pixel block of a surface (getBits layout) as a picture; alpha forced to 0xFF.
Picture PictureFromBlock(const std::string& block);

std::string ReadBytes(const std::string& path);
bool WriteBytes(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);
bool IsJpegFile(const std::string& path);

// The JPEG with an APP1 EXIF block holding the orientation inserted after SOI.
std::string WithExifOrientation(const std::string& jpeg, int orientation, bool bigEndian);

// Colour distance: the largest difference of the three channels.
int ColorDistance(uint32_t a, uint32_t b);

// Calls handed a GDI bitmap, watched through linker wraps (call_watch.cpp):
// how often, and how often the bitmap was selected into a DC meanwhile.
enum HandOverCall { kHandOverGetDIBits, kHandOverSetDIBits, kHandOverToLibrary, kHandOverCount };
struct BitmapHandOver {
    int calls;
    int whileSelected;
};
extern BitmapHandOver gBitmapHandOvers[kHandOverCount];
// While true the library's encoder list fails and leaves its buffer unset.
extern bool gEncoderListFails;

// Points the console services at a private screen buffer and reads back the
// rows written there (trailing blanks cut, empty rows left out).
class ConsoleCapture {
public:
    ConsoleCapture();
    ~ConsoleCapture();
    bool ok() const { return buffer_ != INVALID_HANDLE_VALUE; }
    std::vector<std::string> lines() const;

private:
    HANDLE buffer_;
    HANDLE previous_;
};
