// The two spin locks, the waiters' gate of the window threads, and the
// repaint policy that every drawing operation ends with.
#include "surfaces/surface_internal.h"
#include "surfaces/surfaces.h"

#include "runtime/spin_lock.h"
#include "runtime/thread_state.h"

static volatile LONG gRegistryLock = 0;
static volatile LONG gGraphicsLock = 0;
static volatile LONG gGraphicsLockWaiters = 0;
static volatile LONG gWindowThreadLockWaits = 0;

void lockRegistry()
{
    SpinLockAcquire(&gRegistryLock, kSpinTight);
}

void unlockRegistry()
{
    SpinLockRelease(&gRegistryLock);
}

void lockGraphics()
{
    for (;;) {
        // A window thread waiting to release its window goes first, or a
        // busy drawing thread could keep it out for long.
        while (gGraphicsLockWaiters != 0)
            Sleep(1);
        if (SpinLockTry(&gGraphicsLock))
            return;
        Sleep(0);
    }
}

bool tryLockGraphics()
{
    return SpinLockTry(&gGraphicsLock);
}

void lockGraphicsAnsweringSends()
{
    InterlockedIncrement(&gGraphicsLockWaiters);
    if (!SpinLockTry(&gGraphicsLock)) {
        InterlockedIncrement(&gWindowThreadLockWaits);
        SpinLockAcquire(&gGraphicsLock, kSpinAnsweringSends);
    }
    InterlockedDecrement(&gGraphicsLockWaiters);
}

LONG windowThreadLockWaits()
{
    return gWindowThreadLockWaits;
}

void unlockGraphics()
{
    SpinLockRelease(&gGraphicsLock);
}

void setSurfaceFlags(SurfaceRecord* record, LONG flags)
{
    InterlockedOr(&record->flags, flags);
}

void clearSurfaceFlags(SurfaceRecord* record, LONG flags)
{
    InterlockedAnd(&record->flags, ~flags);
}

SurfaceRecord* lockCurrentSurface()
{
    ThreadState* state = CurrentThreadState();
    if (!state || !state->currentSurface)
        return nullptr;
    lockGraphics();
    SurfaceRecord* record = findObject(state->currentSurface);
    if (!isDrawableSurface(record)) {
        unlockGraphics();
        return nullptr;
    }
    return record;
}

void markDrawn(SurfaceRecord* record)
{
    setSurfaceFlags(record, kFlagDirty);
    LONG flags = record->flags;
    bool repaint = false;
    if (!(flags & kFlagDeferredRedraw)) {
        if ((flags & kFlagForceRedraw) || !(flags & kFlagBatchedRedraw))
            repaint = true;
        else if (++record->redrawCounter >= kBatchedRedrawInterval)
            repaint = true;
    }
    HWND window = SurfaceToHandle<HWND>(record->handle);
    RECT area = {0, 0, record->width, record->height};
    if (repaint) {
        Sleep(0);
        // Cleared before the repaint: one that finds the lock busy (taken
        // by a later operation) sets them again, for the idle loop.
        clearSurfaceFlags(record, kFlagDirty | kFlagForceRedraw);
        record->redrawCounter = 0;
    }
    // The repaint copies under the graphics lock on the window thread, so
    // the window is invalidated only once the lock is free: its thread may
    // start the repaint at once, before UpdateWindow asks for it.
    unlockGraphics();
    if (repaint) {
        InvalidateRect(window, &area, FALSE);
        UpdateWindow(window);
    }
}
