// The per-thread records: made on a thread's first use, released by the thread.
#include "runtime/thread_state.h"

static DWORD gThreadStateSlot = TLS_OUT_OF_INDEXES;

ThreadState* CurrentThreadState()
{
    if (gThreadStateSlot == TLS_OUT_OF_INDEXES)
        return nullptr;
    ThreadState* state = static_cast<ThreadState*>(TlsGetValue(gThreadStateSlot));
    if (!state) {
        state = static_cast<ThreadState*>(GlobalAlloc(GPTR, sizeof(ThreadState)));
        if (state && !TlsSetValue(gThreadStateSlot, state)) {
            GlobalFree(state);
            state = nullptr;
        }
    }
    return state;
}

void ReleaseThreadState()
{
    if (gThreadStateSlot == TLS_OUT_OF_INDEXES)
        return;
    ThreadState* state = static_cast<ThreadState*>(TlsGetValue(gThreadStateSlot));
    if (!state)
        return;
    if (state->searchHandle)
        FindClose(state->searchHandle);
    GlobalFree(state);
    TlsSetValue(gThreadStateSlot, nullptr);
}

bool ThreadStateStart()
{
    gThreadStateSlot = TlsAlloc();
    if (gThreadStateSlot == TLS_OUT_OF_INDEXES)
        return false;
    ThreadState* mainState = static_cast<ThreadState*>(GlobalAlloc(GPTR, sizeof(ThreadState)));
    if (!mainState || !TlsSetValue(gThreadStateSlot, mainState)) {
        if (mainState)
            GlobalFree(mainState);
        return false;
    }
    return true;
}

void ThreadStateEnd()
{
    ReleaseThreadState();
    if (gThreadStateSlot != TLS_OUT_OF_INDEXES) {
        TlsFree(gThreadStateSlot);
        gThreadStateSlot = TLS_OUT_OF_INDEXES;
    }
}
