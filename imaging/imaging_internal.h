// Pieces of the image pipeline shared between its files and its tests.
#pragma once
#include <windows.h>
#include <stddef.h>
#include <stdint.h>

#include "imaging/gdiplus_flat.h"
#include "runtime/dynstr.h"

// Size of the copy for a photo of photoWidth x photoHeight (both > 0);
// sizeMode 1 = large copy, otherwise small. Each side is at least 1 pixel.
void ReducedCopySize(int32_t photoWidth, int32_t photoHeight, int32_t sizeMode, int32_t* width,
                     int32_t* height);

// Where an image of imageWidth x imageHeight is drawn on a canvas of
// canvasWidth x canvasHeight: full width from the top edge when landscape,
// full height centred when portrait or square. Sides are at least 1 pixel.
struct Placement {
    int32_t x, y, width, height;
};
Placement PlaceImage(int32_t imageWidth, int32_t imageHeight, int32_t canvasWidth,
                     int32_t canvasHeight);

// EXIF orientation (1 to 8) of a JPEG held in data[0..size), 0 when the
// bytes carry none or are not a well-formed JPEG with an EXIF block.
int32_t ExifOrientationFromBytes(const unsigned char* data, size_t size);
// The same for the file's first bytes; 0 when it cannot be read.
int32_t ReadExifOrientation(const DynStr& fileName);
// Orientation geometry (orientation.cpp). True for 2 to 8, the orientations
// whose photo is drawn turned.
bool IsTurned(int32_t orientation);
// True for the orientations that stand the stored photo on its side, so
// that its upright width is its stored height.
bool SwapsSides(int32_t orientation);
// The orientation that turns the upright picture back into the stored one.
int32_t InverseOrientation(int32_t orientation);
// The sides of a picture stored in this orientation as seen upright, or the
// stored sides of an upright one: the same swap either way.
template <typename Side>
void TurnSides(int32_t orientation, Side* width, Side* height)
{
    if (SwapsSides(orientation)) {
        Side stored = *width;
        *width = *height;
        *height = stored;
    }
}
// The stored pixel shown at upright (x, y) of a picture stored as
// storedWidth x storedHeight, as the EXIF tag defines each orientation.
void StoredPoint(int32_t orientation, int32_t storedWidth, int32_t storedHeight, int32_t x,
                 int32_t y, int32_t* storedX, int32_t* storedY);
// The rectangle `upright` of a canvas of canvasWidth x canvasHeight, mapped
// into the same canvas turned back into the frame of a photo stored in this
// orientation: drawn there as stored and turned, the photo lands upright in
// `upright`, covering exactly its pixels.
Placement StoredPlacement(Placement upright, int32_t orientation, int32_t canvasWidth,
                          int32_t canvasHeight);
// Moves the pixels of `area` of the block `from`, a picture stored in this
// orientation, turned upright into the block *to with their top-left corner
// at (toX, toY). False, nothing moved, when a block holds fewer pixels than
// its header claims or an area does not lie inside its block.
bool MoveTurned(const DynStr& from, Placement area, int32_t orientation, DynStr* to, int32_t toX,
                int32_t toY);
// Draws a photo of orientation 2 to 8 upright into `place` of the current
// surface, of canvasWidth x canvasHeight, already cleared with fillColor
// unless that is kColorNone; the library's status, or a stand-in for a
// failed surface step.
GpStatus DrawTurnedUpright(GpImage* image, int32_t orientation, Placement place,
                           int32_t canvasWidth, int32_t canvasHeight, int32_t fillColor);

// Loads a photo as stored and reads the orientation its file declares. The
// caller holds a session and disposes of the image; on failure *image is
// null and the library's status returned.
GpStatus LoadPhoto(const DynStr& fileName, GpImage** image, int32_t* orientation);
// Its upright size, read without turning any pixels.
void UprightSize(GpImage* image, int32_t orientation, UINT* width, UINT* height);

// Zero-terminated UTF-16 form of an ANSI name, held as a byte string.
DynStr WideFileName(const DynStr& fileName);

// Where a copy is written until it is whole: beside it, under an extension
// no image has, so that no later listing takes it for a photo, and with this
// process's number, so that two instances saving the same copy at once never
// write one file ("cr_foto.4711.tmp"). Where that path would pass MAX_PATH - 1
// characters while the copy's own does not, "cr_foto.tmp".
DynStr PendingName(const DynStr& fileName);

// The MIME type under which a file name is saved: -1 for an empty name,
// 0 when nothing is to be attempted, 1 with *mimeType set.
int32_t SaveMimeType(const DynStr& fileName, DynStr* mimeType);
