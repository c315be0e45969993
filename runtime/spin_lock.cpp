// The one exchange loop behind every spin lock of the program.
#include "runtime/spin_lock.h"

bool SpinLockTry(volatile LONG* lock)
{
    return InterlockedExchange(lock, -1) == 0;
}

void SpinLockAcquire(volatile LONG* lock, SpinWait wait)
{
    while (!SpinLockTry(lock)) {
        if (wait == kSpinAnsweringSends) {
            MSG message;
            PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        }
        if (wait != kSpinTight)
            Sleep(0);
    }
}

void SpinLockRelease(volatile LONG* lock)
{
    InterlockedExchange(lock, 0);
}
