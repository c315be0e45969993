// The console control handler: a stop asked by Ctrl+C, Ctrl+Break or a close.
#include "runtime/interrupt.h"

static volatile LONG gInterrupted;
static HANDLE gInterruptEvent;
static HANDLE gUninterruptible;   // mutex, held by the stretch in hand

// The system ends the process about 5 s after a close reaches the handler.
enum { kCloseWaitMs = 4500 };

static BOOL WINAPI HandleControl(DWORD event)
{
    InterlockedExchange(&gInterrupted, 1);
    if (gInterruptEvent)
        SetEvent(gInterruptEvent);
    if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT)
        return TRUE;
    // Close, logoff, shutdown: the process ends when this returns. Kept
    // while the stretch in hand finishes, so that no later one starts.
    if (gUninterruptible)
        WaitForSingleObject(gUninterruptible, kCloseWaitMs);
    return TRUE;
}

void InterruptCatch()
{
    gInterrupted = 0;
    if (!gInterruptEvent)
        gInterruptEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (!gUninterruptible)
        gUninterruptible = CreateMutexA(nullptr, FALSE, nullptr);
    SetConsoleCtrlHandler(HandleControl, TRUE);
}

bool InterruptRequested()
{
    return InterlockedCompareExchange(&gInterrupted, 0, 0) != 0;
}

HANDLE InterruptEvent()
{
    return gInterruptEvent;
}

void UninterruptibleBegin()
{
    if (gUninterruptible)
        WaitForSingleObject(gUninterruptible, INFINITE);
}

void UninterruptibleEnd()
{
    if (gUninterruptible)
        ReleaseMutex(gUninterruptible);
}
