// Byte-string search shared by the string services. Indexes are 0-based.
#pragma once
#include <stdint.h>

// First occurrence of needle (length >= 1) that begins at index `from` or
// later, or -1.
int32_t FindForward(const unsigned char* text, int32_t textLength, int32_t from,
                    const unsigned char* needle, int32_t needleLength);
// Last occurrence of needle (length >= 1) that begins at index `last` or
// earlier, or -1.
int32_t FindBackward(const unsigned char* text, int32_t textLength, int32_t last,
                     const unsigned char* needle, int32_t needleLength);
