// Dynamic strings as std::string, so that assertions compare and print bytes.
#pragma once
#include <string>

#include "runtime/dynstr.h"

inline std::string Text(const DynStr& s)
{
    return std::string(s.bytes(), static_cast<size_t>(s.length()));
}

// For a lookup that may give none.
inline std::string Text(const DynStr* s) { return s ? Text(*s) : "<null>"; }
