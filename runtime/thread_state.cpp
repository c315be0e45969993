// The per-thread records: made on a thread's first use, released by the thread.
#include "runtime/runtime_state.h"

ThreadState* CurrentThreadState()
{
    if (gRuntime.tlsSlot == TLS_OUT_OF_INDEXES)
        return nullptr;
    ThreadState* state = static_cast<ThreadState*>(TlsGetValue(gRuntime.tlsSlot));
    if (!state) {
        state = static_cast<ThreadState*>(GlobalAlloc(GPTR, sizeof(ThreadState)));
        if (state && !TlsSetValue(gRuntime.tlsSlot, state)) {
            GlobalFree(state);
            state = nullptr;
        }
    }
    return state;
}

void ReleaseThreadState()
{
    if (gRuntime.tlsSlot == TLS_OUT_OF_INDEXES)
        return;
    ThreadState* state = static_cast<ThreadState*>(TlsGetValue(gRuntime.tlsSlot));
    if (!state)
        return;
    if (state->searchHandle)
        FindClose(state->searchHandle);
    GlobalFree(state);
    TlsSetValue(gRuntime.tlsSlot, nullptr);
}
