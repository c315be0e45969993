// Text made to measure: repeats, padding to a width, numbers as text.
#include <math.h>
#include <stdio.h>
#include <string.h>

#include "runtime/strings.h"

DynStr StrRepeat(int32_t n, unsigned char code)
{
    DynStr result = DynStr::ofLength(n);
    if (!result.empty())
        memset(result.mutableBytes(), code, static_cast<size_t>(n));
    return result;
}

DynStr StrSpaces(int32_t n)
{
    return StrRepeat(n, ' ');
}

// Text fitted into exactly `width` bytes: cut, or filled with pad's first
// byte (0 for an empty pad); centred text gets the odd fill byte on the right.
static DynStr FitText(const DynStr& text, int32_t width, const DynStr& pad, bool centred)
{
    if (width <= 0)
        return DynStr();
    if (text.length() >= width)
        return DynStr(text.bytes(), width);
    unsigned char fill = pad.empty() ? 0 : pad.at(0);
    int32_t spare = width - text.length();
    int32_t before = centred ? spare / 2 : 0;
    DynStr result = DynStr::ofLength(width);
    if (result.empty())
        return result;
    char* out = result.mutableBytes();
    memset(out, fill, static_cast<size_t>(before));
    memcpy(out + before, text.bytes(), static_cast<size_t>(text.length()));
    memset(out + before + text.length(), fill, static_cast<size_t>(spare - before));
    return result;
}

DynStr StrCenter(const DynStr& text, int32_t width, const DynStr& pad)
{
    return FitText(text, width, pad, true);
}

DynStr StrLeftJustify(const DynStr& text, int32_t width, const DynStr& pad)
{
    return FitText(text, width, pad, false);
}

DynStr StrNumber(long double x)
{
    // 15 significant digits: whole numbers below 10^15 print as plain digits,
    // anything larger or fractional in the C library's %G form ("1E+15").
    char text[48];
    text[0] = x < 0 ? '-' : ' ';
    snprintf(text + 1, sizeof text - 1, "%.15G", fabs(static_cast<double>(x)));
    return DynStr(text);
}
