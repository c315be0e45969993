// The floating-point environment of the program, and the one place that
// knows the x87 control word.
#include <float.h>
#include <math.h>

#include "runtime/floating_point.h"

// Every real of the program is a long double held in the x87 registers; a
// narrower long double would change the copy sizes without a word.
static_assert(LDBL_MANT_DIG == 64, "long double must be the x87 80-bit type");

namespace {

// All six exceptions masked, 64-bit significand, round to nearest (ties to even).
const unsigned short kProgramControlWord = 0x037F;

unsigned short ReadControlWord()
{
    unsigned short word = 0;
    __asm__ volatile("fnstcw %0" : "=m"(word) : : "memory");
    return word;
}

void LoadControlWord(unsigned short word)
{
    __asm__ volatile("fldcw %0" : : "m"(word) : "memory");
}

}  // namespace

void SetFloatingPointEnvironment()
{
    __asm__ volatile("fclex" : : : "memory");
    LoadControlWord(kProgramControlWord);
}

ExtendedPrecisionScope::ExtendedPrecisionScope() : callerControlWord(ReadControlWord())
{
    LoadControlWord(kProgramControlWord);
}

ExtendedPrecisionScope::~ExtendedPrecisionScope()
{
    LoadControlWord(callerControlWord);
}

int64_t RoundToInteger(long double value)
{
    return llrintl(value);
}
