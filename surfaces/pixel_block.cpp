// Pixel blocks: their size with its bound, their header and their pixels.
#include "surfaces/pixel_block.h"

#include <string.h>

enum { kBlockHeaderSize = 8 };

int64_t blockSize(int32_t width, int32_t height)
{
    if (width < 0 || height < 0)
        return -1;
    int64_t size = kBlockHeaderSize + 4 * static_cast<int64_t>(width) * height;
    return size > INT32_MAX ? -1 : size;
}

static void writeBlockHeader(DynStr* block, int32_t width, int32_t height)
{
    memcpy(block->mutableBytes(), &width, 4);
    memcpy(block->mutableBytes() + 4, &height, 4);
}

DynStr newPixelBlock(int32_t width, int32_t height)
{
    int64_t size = blockSize(width, height);
    DynStr block;
    if (size > 0)
        block = DynStr::ofLength(static_cast<int32_t>(size));
    if (!block.empty())
        writeBlockHeader(&block, width, height);
    return block;
}

bool reusePixelBlock(DynStr* block, int32_t width, int32_t height)
{
    int64_t size = blockSize(width, height);
    if (size < 0 || size > block->length()) {
        *block = newPixelBlock(width, height);
        return !block->empty();
    }
    writeBlockHeader(block, width, height);
    return true;
}

int32_t readBlockHeader(const DynStr& block, int32_t* width, int32_t* height)
{
    if (block.length() < kBlockHeaderSize)
        return 0;
    int32_t blockWidth = 0, blockHeight = 0;
    memcpy(&blockWidth, block.bytes(), 4);
    memcpy(&blockHeight, block.bytes() + 4, 4);
    int64_t size = blockSize(blockWidth, blockHeight);
    if (blockWidth <= 0 || blockHeight <= 0 || size < 0 || size > block.length())
        return 0;
    *width = blockWidth;
    *height = blockHeight;
    return static_cast<int32_t>(size);
}

bool blockHolds(const DynStr& block, int32_t width, int32_t height)
{
    int32_t blockWidth = 0, blockHeight = 0;
    int32_t size = readBlockHeader(block, &blockWidth, &blockHeight);
    return size > 0 && size == block.length() && blockWidth == width && blockHeight == height;
}

uint32_t* blockPixels(DynStr* block)
{
    return reinterpret_cast<uint32_t*>(block->mutableBytes() + kBlockHeaderSize);
}

const uint32_t* blockPixels(const DynStr& block)
{
    return reinterpret_cast<const uint32_t*>(block.bytes() + kBlockHeaderSize);
}
