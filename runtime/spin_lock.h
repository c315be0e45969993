// Spin locks: a LONG that is 0 when free and -1 when held. The program's
// process-wide locks guard only short work, so a waiter spins rather than
// blocks.
#pragma once
#include <windows.h>

// What a waiter does each time it finds the lock held.
enum SpinWait {
    kSpinTight,           // tries again at once
    kSpinYield,           // gives up the rest of its time slice first
    kSpinAnsweringSends,  // and before that answers messages sent to its windows
};

void SpinLockAcquire(volatile LONG* lock, SpinWait wait);
// True when the lock was free and is now held by the caller.
bool SpinLockTry(volatile LONG* lock);
void SpinLockRelease(volatile LONG* lock);
