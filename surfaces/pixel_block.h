// Pixel blocks, the one layout of captured pixels: a 32-bit width, a 32-bit
// height, then width x height pixels of 4 bytes (blue, green, red, a spare
// byte), rows from the top without gaps. Nothing else writes a header.
#pragma once
#include <stdint.h>

#include "runtime/dynstr.h"

// Bytes of a block of width x height pixels, header included; -1 for a
// negative side, or when no dynamic string (a signed 32-bit length) holds it.
int64_t blockSize(int32_t width, int32_t height);
// A block of width x height pixels, its pixels left to be filled; empty when
// it cannot be held.
DynStr newPixelBlock(int32_t width, int32_t height);
// Makes *block one of width x height pixels, in its own memory where that is
// large enough, so that a block kept between copies is not made again; false,
// the block empty, when it cannot be held.
bool reusePixelBlock(DynStr* block, int32_t width, int32_t height);
// The width and height a block's header gives, and the bytes they take with
// the header; 0, with width and height untouched, when the block is shorter
// than that or claims no pixel.
int32_t readBlockHeader(const DynStr& block, int32_t* width, int32_t* height);
// True when the block holds exactly width x height pixels, no more, no less.
bool blockHolds(const DynStr& block, int32_t width, int32_t height);
// The top-left pixel; the caller keeps to the block's own width and height.
uint32_t* blockPixels(DynStr* block);
const uint32_t* blockPixels(const DynStr& block);
