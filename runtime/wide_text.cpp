// ANSI text to UTF-16 and back, for the imaging library's boundary.
#include <windows.h>

#include "runtime/errors.h"
#include "runtime/strings.h"

// A failed conversion hands the argument back unchanged.
DynStr StrToWide(const DynStr& s)
{
    if (s.empty())
        return DynStr();
    int units = MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, s.bytes(), s.length(), nullptr, 0);
    if (units <= 0)
        return s;
    if (units > INT32_MAX / 2) {
        RaiseError(kErrOutOfMemory);
        return DynStr();
    }
    DynStr wide = DynStr::ofLength(units * 2);
    if (wide.empty())
        return wide;
    if (MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, s.bytes(), s.length(),
                            reinterpret_cast<LPWSTR>(wide.mutableBytes()), units) != units)
        return s;
    return wide;
}

DynStr StrFromWide(const DynStr& w)
{
    return StrFromWideOr(w, w);
}

DynStr StrFromWideOr(const DynStr& w, const DynStr& failed)
{
    int units = w.length() / 2;
    if (units == 0)
        return w;
    LPCWSTR text = reinterpret_cast<LPCWSTR>(w.bytes());
    int length = WideCharToMultiByte(CP_ACP, 0, text, units, nullptr, 0, nullptr, nullptr);
    if (length <= 0)
        return failed;
    DynStr result = DynStr::ofLength(length);
    if (result.empty())
        return result;
    if (WideCharToMultiByte(CP_ACP, 0, text, units, result.mutableBytes(), length, nullptr,
                            nullptr) != length)
        return failed;
    return result;
}
