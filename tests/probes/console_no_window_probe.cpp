// Sizes the console where there is no console window, then goes on printing.
// Started by the tests with standard output and error in a pipe.
#include <stdio.h>

#include "runtime/console.h"
#include "runtime/errors.h"
#include "runtime/runtime_state.h"
#include "runtime/startup.h"

static int32_t SizeWithoutWindow(HINSTANCE, HINSTANCE, const char*, int32_t)
{
    ClearRuntimeError();
    ConsoleSetScreen(60, 12);
    int32_t onScreenHandle = LastRuntimeError();
    ConsolePrint(DynStr("ancora qui"));
    ConsoleNewLine();

    // A console buffer of its own, still without a window: the window lookup
    // itself has to fail.
    int32_t onConsoleBuffer = -1;
    int32_t sizeKept = -1;
    HANDLE buffer = CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                nullptr);
    if (buffer != INVALID_HANDLE_VALUE) {
        HANDLE screen = gRuntime.screen;
        gRuntime.screen = buffer;
        CONSOLE_SCREEN_BUFFER_INFO before = {};
        CONSOLE_SCREEN_BUFFER_INFO after = {};
        GetConsoleScreenBufferInfo(buffer, &before);
        ClearRuntimeError();
        ConsoleSetScreen(60, 12);
        onConsoleBuffer = LastRuntimeError();
        GetConsoleScreenBufferInfo(buffer, &after);
        sizeKept = before.dwSize.X == after.dwSize.X && before.dwSize.Y == after.dwSize.Y;
        ConsolePrint(DynStr("ancora qui"));
        ConsoleNewLine();
        gRuntime.screen = screen;
        CloseHandle(buffer);
    }
    printf("[set-screen-error %d] [console-buffer-error %d] [size-kept %d] [window %d] [key %d]\n",
           onScreenHandle, onConsoleBuffer, sizeKept, ConsoleWindowHandle() ? 1 : 0, ConsoleWaitKey());
    fflush(stdout);
    return 0;
}

int main()
{
    RuntimeProcessEntry(SizeWithoutWindow);
    return 4;
}
