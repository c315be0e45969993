// Run-time error model: failing services record a number in the calling
// thread's error slot and return their fallback value; 241 and above are fatal.
#pragma once
#include <windows.h>
#include <stdint.h>

enum RuntimeErrorNumber : int32_t {
    kErrBadArgument = 5,
    kErrOutOfMemory = 7,
    kErrBounds = 9,
    kErrNoNumber = 51,
    kErrFirstFatal = 241,
};

// Records `number` (0 becomes 51); never returns for 241 and above.
void RaiseError(int32_t number);
// The error slot of the calling thread. The program itself never reads it;
// tests clear it before a call and read it afterwards.
int32_t LastRuntimeError();
void ClearRuntimeError();

// Windows error code (GetLastError) to run-time error number; 0 stays 0.
int32_t TranslatePlatformError(DWORD code);

// Protected platform call: one caller at a time process-wide, critical-error
// boxes suppressed, floating-point state kept, last error translated.
struct ProtectedCallFrame {
    unsigned char fpuState[108];
    UINT previousErrorMode;
};
void ProtectedCallBegin(ProtectedCallFrame* frame);
// Returns the platform's last-error code of the call.
DWORD ProtectedCallEnd(ProtectedCallFrame* frame);

// Calls fn() under the protection above. *runtimeError receives the translated
// number, 0 when the platform reported no error.
template <typename Fn>
auto ProtectedPlatformCall(Fn fn, int32_t* runtimeError) -> decltype(fn())
{
    ProtectedCallFrame frame;
    ProtectedCallBegin(&frame);
    auto result = fn();
    DWORD lastError = ProtectedCallEnd(&frame);
    *runtimeError = TranslatePlatformError(lastError);
    return result;
}
