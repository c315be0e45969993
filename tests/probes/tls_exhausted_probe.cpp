// Uses up every thread-local storage slot before start-up, so the per-thread
// set-up fails; the main procedure must not run.
#include <stdio.h>

#include "runtime/startup.h"

static int32_t ReportRan(HINSTANCE, HINSTANCE, const char*, int32_t)
{
    printf("main procedure ran\n");
    return 0;
}

int main()
{
    while (TlsAlloc() != TLS_OUT_OF_INDEXES) {
    }
    RuntimeProcessEntry(ReportRan);
    return 4;
}
