// Process start-up and shutdown, and the releases shutdown makes.
#include <objbase.h>
#include <string.h>

#include "runtime/console.h"
#include "runtime/font_list.h"
#include "runtime/interrupt.h"
#include "runtime/runtime_state.h"

RuntimeState gRuntime;

enum { kMaxShutdownReleases = 16 };
static void (*gShutdownReleases[kMaxShutdownReleases])();
static int gShutdownReleaseCount;

void RuntimeAddShutdownRelease(void (*release)())
{
    for (int i = 0; i < gShutdownReleaseCount; ++i) {
        if (gShutdownReleases[i] == release)
            return;
    }
    if (gShutdownReleaseCount < kMaxShutdownReleases)
        gShutdownReleases[gShutdownReleaseCount++] = release;
}

// Microsoft documents that only a successful CoInitialize is to be balanced.
static void UninitializeCom()
{
    if (gRuntime.comInitialized)
        CoUninitialize();
}

bool RuntimeStartup()
{
    memset(&gRuntime, 0, sizeof(gRuntime));
    gRuntime.tlsSlot = TLS_OUT_OF_INDEXES;
    gShutdownReleaseCount = 0;

    gRuntime.comInitialized = SUCCEEDED(CoInitialize(nullptr));

    gRuntime.standardError = GetStdHandle(STD_ERROR_HANDLE);
    gRuntime.standardInput = GetStdHandle(STD_INPUT_HANDLE);
    gRuntime.standardOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    gRuntime.screen = gRuntime.standardError;

    HANDLE consoleInput = CreateFileA("CONIN$", GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
    gRuntime.consoleInput = consoleInput == INVALID_HANDLE_VALUE ? nullptr : consoleInput;

    DWORD mode = 0;
    if (GetConsoleMode(gRuntime.standardOutput, &mode))
        gRuntime.screen = gRuntime.standardOutput;
    ConsoleTakeModes();
    ConsoleRememberInherited();
    InterruptCatch();

    ConsoleReadCursorShape();

    OSVERSIONINFOA version;
    memset(&version, 0, sizeof(version));
    version.dwOSVersionInfoSize = sizeof(version);
    GetVersionExA(&version);
    gRuntime.platformId = version.dwPlatformId;

    STARTUPINFOA startup;
    memset(&startup, 0, sizeof(startup));
    startup.cb = sizeof(startup);
    GetStartupInfoA(&startup);
    gRuntime.showCommand = ShowCommandFromStartupInfo(startup);

    gRuntime.commandTail = CommandLineTail(GetCommandLineA());
    gRuntime.instance = GetModuleHandleA(nullptr);

    gRuntime.tlsSlot = TlsAlloc();
    if (gRuntime.tlsSlot == TLS_OUT_OF_INDEXES)
        return false;
    ThreadState* mainState = static_cast<ThreadState*>(GlobalAlloc(GPTR, sizeof(ThreadState)));
    if (!mainState || !TlsSetValue(gRuntime.tlsSlot, mainState)) {
        if (mainState)
            GlobalFree(mainState);
        return false;
    }

    gRuntime.foreColor = 7;
    gRuntime.backColor = 0;
    gRuntime.pendingScroll = 0;
    gRuntime.consoleWindow = nullptr;
    SetFloatingPointEnvironment();

    FontListFill();
    return true;
}

void RuntimeShutdown()
{
    ConsoleGiveBack();
    if (gRuntime.consoleInput) {
        CloseHandle(gRuntime.consoleInput);
        gRuntime.consoleInput = nullptr;
    }
    for (int i = gShutdownReleaseCount - 1; i >= 0; --i)
        gShutdownReleases[i]();
    gShutdownReleaseCount = 0;
    ReleaseThreadState();
    if (gRuntime.tlsSlot != TLS_OUT_OF_INDEXES) {
        TlsFree(gRuntime.tlsSlot);
        gRuntime.tlsSlot = TLS_OUT_OF_INDEXES;
    }
    UninitializeCom();
}

void RuntimeProcessEntry(MainProcedureFn mainProcedure)
{
    if (!RuntimeStartup()) {
        ConsoleGiveBack();
        UninitializeCom();
        ExitProcess(255);
    }
    int32_t exitCode = mainProcedure(gRuntime.instance, nullptr, gRuntime.commandTail,
                                     gRuntime.showCommand);
    RuntimeShutdown();
    ExitProcess(static_cast<UINT>(exitCode));
}
