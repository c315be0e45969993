// Image pipeline on the GDI+ flat API.
#pragma once
#include <windows.h>
#include <stdint.h>

#include "runtime/dynstr.h"

// Long sides of the two copies.
enum : int32_t { kLargeCopySide = 1000, kSmallCopySide = 300 };

extern ULONG_PTR gGdipToken;
extern DynStr gReducedBits;

// Imaging session
ULONG_PTR fGDIp_Startup();
void fGDIp_Shutdown(ULONG_PTR token);

// Image loading. Leaves width and height untouched when the file cannot be read.
void fGDIp_ImageSize(const DynStr& fileName, int32_t* width, int32_t* height);
// Exported by the executable. Takes ownership of fileName (an OLE string
// holding ANSI bytes) and frees it on every path.
extern "C" __declspec(dllexport) int32_t __stdcall fGDIp_2hBMP(BSTR fileName, uint32_t target,
                                                               int32_t reserved, int32_t fillColor);

// Aspect hundredths: height / width * 100 held in extended precision,
// rounded to nearest even.
int64_t AspectHundredths(int32_t width, int32_t height);

// Reduction: 1 when a copy was captured into gReducedBits, else 0.
int32_t ReduceImage(uint32_t* window, const DynStr& fileName, int32_t* width, int32_t* height,
                    int32_t sizeMode);

// Encoder choice and saving
DynStr fGDIp_WideToStr(const wchar_t* text);
// The 1-based place of the encoder of mimeType, its class in *classId; 0
// when none matches, -1 when the library lists none, -kGdipOutOfMemory when
// its list cannot be held.
int32_t fGDIp_EncoderClsid(const DynStr& mimeType, CLSID* classId);
// image: a GpImage*. Writes under the name with the extension .tmp first and
// puts that in the file's place only once it is whole; on failure it is
// removed and an earlier file of the name stays as it was.
int32_t fGDIp_SaveImage(DynStr fileName, void* image);
// Whether name is a pending file that the save of an ended run left: one
// numbered by a process that no longer runs, or an unnumbered one at a path
// too long for the number, untouched for 10 minutes.
bool IsLeftPendingName(const DynStr& name);
// 1 when the copy was written, 0 when not (the line that says so is printed).
int32_t SaveReducedCopy(const DynStr& outputName, int32_t* width, int32_t* height);
