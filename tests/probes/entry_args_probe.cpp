// Prints the four arguments the main procedure receives, for the start-up tests.
#include <stdio.h>

#include "runtime/startup.h"

static int32_t PrintArguments(HINSTANCE instance, HINSTANCE previous, const char* tail,
                              int32_t showCommand)
{
    printf("instance=%d previous=%d tail=[%s] show=%d\n",
           instance == GetModuleHandleA(nullptr) ? 1 : 0, previous == nullptr ? 0 : 1, tail,
           showCommand);
    fflush(stdout);
    return 7;
}

int main()
{
    RuntimeProcessEntry(PrintArguments);
    return 4;
}
