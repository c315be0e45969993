// Byte-string search, forward and backward, for the string services.
#include "runtime/string_search.h"

#include <string.h>

// Rolling hash over the window, so that a long needle made of repeats (a
// run of 'a' ending in 'b') costs one pass instead of a compare per position.
static const uint32_t kHashBase = 0x01000193u;

int32_t FindForward(const unsigned char* text, int32_t textLength, int32_t from,
                    const unsigned char* needle, int32_t needleLength)
{
    if (from < 0)
        from = 0;
    if (needleLength < 1 || needleLength > textLength || from > textLength - needleLength)
        return -1;
    if (needleLength == 1) {
        const void* hit = memchr(text + from, needle[0], static_cast<size_t>(textLength - from));
        return hit ? static_cast<int32_t>(static_cast<const unsigned char*>(hit) - text) : -1;
    }
    // The window's first byte carries the highest power.
    uint32_t needleHash = 0, windowHash = 0, topPower = 1;
    for (int32_t i = 0; i < needleLength; ++i) {
        needleHash = needleHash * kHashBase + needle[i];
        windowHash = windowHash * kHashBase + text[from + i];
        if (i > 0)
            topPower *= kHashBase;
    }
    const int32_t lastStart = textLength - needleLength;
    for (int32_t i = from;; ++i) {
        if (windowHash == needleHash &&
            memcmp(text + i, needle, static_cast<size_t>(needleLength)) == 0)
            return i;
        if (i == lastStart)
            return -1;
        windowHash = (windowHash - text[i] * topPower) * kHashBase + text[i + needleLength];
    }
}

int32_t FindBackward(const unsigned char* text, int32_t textLength, int32_t last,
                     const unsigned char* needle, int32_t needleLength)
{
    if (needleLength < 1 || needleLength > textLength)
        return -1;
    if (last > textLength - needleLength)
        last = textLength - needleLength;
    if (last < 0)
        return -1;
    if (needleLength == 1) {
        for (int32_t i = last; i >= 0; --i) {
            if (text[i] == needle[0])
                return i;
        }
        return -1;
    }
    // Mirror image of the forward search: the window's last byte carries the
    // highest power, so the window can slide to the left.
    uint32_t needleHash = 0, windowHash = 0, topPower = 1;
    for (int32_t i = needleLength - 1; i >= 0; --i) {
        needleHash = needleHash * kHashBase + needle[i];
        windowHash = windowHash * kHashBase + text[last + i];
        if (i < needleLength - 1)
            topPower *= kHashBase;
    }
    for (int32_t i = last;; --i) {
        if (windowHash == needleHash &&
            memcmp(text + i, needle, static_cast<size_t>(needleLength)) == 0)
            return i;
        if (i == 0)
            return -1;
        windowHash = (windowHash - text[i + needleLength - 1] * topPower) * kHashBase + text[i - 1];
    }
}
