// The per-thread record of the run-time: a thread's error slot, open search
// and current graphic surface.
#pragma once
#include <windows.h>
#include <stdint.h>

// Zero-filled, GlobalAlloc(GPTR), one per thread that uses the run-time.
struct ThreadState {
    int32_t errorSlot;
    HANDLE searchHandle;        // open FindFirstFileA search, 0 = none
    uint32_t searchAttributes;
    uint32_t currentSurface;    // 0 = none
};

// The calling thread's record, created on first use; null if it cannot be made.
ThreadState* CurrentThreadState();
// Releases the calling thread's record (its open search included).
void ReleaseThreadState();

// Start-up's part: the storage slot and the main thread's record; false when
// either cannot be had.
bool ThreadStateStart();
// Shutdown's part: the calling thread's record, then the slot.
void ThreadStateEnd();
