// Raises a fatal run-time error after start-up; anything after it must not run.
#include <stdio.h>

#include "runtime/errors.h"
#include "runtime/startup.h"

static int32_t RaiseFatal(HINSTANCE, HINSTANCE, const char*, int32_t)
{
    RaiseError(241);
    printf("still running after a fatal error\n");
    return 3;
}

int main()
{
    RuntimeProcessEntry(RaiseFatal);
    return 4;
}
