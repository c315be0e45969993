// The program's floating-point environment and its one rounding of reals to integers.
#pragma once
#include <stdint.h>

// Nearest whole number, ties to even, in the extended-precision environment.
int64_t RoundToInteger(long double value);
// x87: 64-bit significand, round to nearest even, all exceptions masked.
void SetFloatingPointEnvironment();

// Holds that environment while it lives and then gives the caller's x87
// control word back: modules loaded into the process later (the file
// dialog's shell extensions) may lower the precision or change the rounding.
// Work done under it must not be inlined into code outside it, or the
// compiler may move the arithmetic across the switch.
struct ExtendedPrecisionScope {
    ExtendedPrecisionScope();
    ~ExtendedPrecisionScope();
    ExtendedPrecisionScope(const ExtendedPrecisionScope&) = delete;
    ExtendedPrecisionScope& operator=(const ExtendedPrecisionScope&) = delete;
    unsigned short callerControlWord;
};
