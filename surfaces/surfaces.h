// Graphic surfaces: memory bitmaps and graphic windows under 32-bit handles.
// Drawing acts on the calling thread's current surface (attachSurface).
#pragma once
#include <windows.h>
#include <stdint.h>

#include "runtime/dynstr.h"
#include "surfaces/pixel_block.h"

// Colour arguments: COLORREF 0x00BBGGRR, or these markers.
enum : int32_t {
    kColorDefault = -1,
    kColorNone = -2,
};

// Surfaces are drawn as on a display of 96 DPI, whatever the system's: what
// they hold goes into copies that leave the machine.
enum : int32_t { kSurfaceDpi = 96 };

// Surface model
uint32_t newBitmapSurface(int32_t width, int32_t height);
// An unknown handle, or one that is not a surface, records run-time error 5.
void attachSurface(uint32_t handle, int32_t controlId, bool deferredRedraw);
void endBitmapSurface();
void surfaceSize(long double* width, long double* height);
HDC surfaceDC();
void setForeColor(int32_t color);
void setBackColor(int32_t color);
void redrawSurface();

// Drawing operations
void clearSurface(int32_t color, int32_t brushStyle);
void copySurface(uint32_t sourceHandle, int32_t sourceControlId, long double x, long double y,
                 int32_t mix);
void setPosition(long double x, long double y);
void printText(const DynStr& text);
void newLine();

// Pixel access: the current surface's pixels as a pixel block (pixel_block.h).
DynStr getBits();
// Only a block that holds every pixel its own header claims is used.
void setBits(const DynStr& block);
// The current bitmap surface's bitmap out of its DC while this lives, for a
// call that wants it selected nowhere (Windows documents it so for the
// imaging library); drawing misses it meanwhile. Null when there is none.
struct BitmapOutOfDC {
    BitmapOutOfDC();
    ~BitmapOutOfDC();
    BitmapOutOfDC(const BitmapOutOfDC&) = delete;
    BitmapOutOfDC& operator=(const BitmapOutOfDC&) = delete;
    HBITMAP bitmap;
};

// Graphic window on its own thread. Returns the frame handle, 0 on failure.
uint32_t openGraphicWindow(const DynStr& caption, int32_t x, int32_t y, int32_t width,
                           int32_t height, uint32_t style);
// Closes the window whose picture control is the current surface; waits
// until the window is gone.
void closeGraphicWindow();

// Handles travel as 32-bit values; window and GDI handles fit in 32 bits on
// every Windows, sign-extended on 64-bit builds.
inline uint32_t HandleToSurface(const void* handle)
{
    return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(handle));
}
template <typename H>
inline H SurfaceToHandle(uint32_t handle)
{
    return reinterpret_cast<H>(static_cast<intptr_t>(static_cast<int32_t>(handle)));
}
