// The error slot, platform error codes as run-time numbers, protected platform calls.
#include "runtime/errors.h"

#include "runtime/console.h"
#include "runtime/spin_lock.h"
#include "runtime/thread_state.h"

static volatile LONG gProtectedCallLock = 0;

void RaiseError(int32_t number)
{
    if (number == 0)
        number = kErrNoNumber;
    ThreadState* state = CurrentThreadState();
    if (state)
        state->errorSlot = number;
    if (number >= kErrFirstFatal) {
        // A shell's console stays the user's, however the tool ends.
        ConsoleGiveBack();
        ExitProcess(255);
    }
}

int32_t LastRuntimeError()
{
    ThreadState* state = CurrentThreadState();
    return state ? state->errorSlot : 0;
}

void ClearRuntimeError()
{
    ThreadState* state = CurrentThreadState();
    if (state)
        state->errorSlot = 0;
}

int32_t TranslatePlatformError(DWORD code)
{
    switch (code) {
    case 0: return 0;
    case 1: case 16: case 37: return 75;
    case 2: case 18: return 53;
    case 3: return 76;
    case 4: return 67;
    case 5: case 19: case 32: case 33: case 36: return 70;
    case 6: case 11: case 12: case 13: case 22: case 24: return 51;
    case 7: case 9: case 10: return 241;
    case 8: case 14: return 7;
    case 15: case 20: return 68;
    case 17: return 74;
    case 21: return 71;
    case 23: case 25: case 26: case 27: case 28: case 29: case 30: case 31:
    case 34: case 35: return 72;
    case 38: return 62;
    case 39: case 112: return 61;
    case 87: return 5;
    default: return 75;   // every other code, all of them 40 or more
    }
}

void ProtectedCallBegin(ProtectedCallFrame* frame)
{
    SpinLockAcquire(&gProtectedCallLock, kSpinTight);
    // fnsave also resets the FPU, so the platform call starts from defaults.
    __asm__ volatile("fnsave %0" : "=m"(frame->fpuState));
    frame->previousErrorMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    SetLastError(0);
}

DWORD ProtectedCallEnd(ProtectedCallFrame* frame)
{
    __asm__ volatile("frstor %0" : : "m"(frame->fpuState));
    DWORD lastError = GetLastError();
    SetErrorMode(frame->previousErrorMode);
    SpinLockRelease(&gProtectedCallLock);
    return lastError;
}
