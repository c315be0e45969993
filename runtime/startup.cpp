// Process start-up and shutdown, and the releases shutdown makes.
#include "runtime/startup.h"

#include <objbase.h>
#include <string.h>

#include "runtime/command_line.h"
#include "runtime/console.h"
#include "runtime/floating_point.h"
#include "runtime/font_list.h"
#include "runtime/interrupt.h"
#include "runtime/runtime_state.h"
#include "runtime/thread_state.h"

RuntimeState gRuntime;
static bool gComInitialized;   // CoInitialize answered S_OK or S_FALSE
static const char* gCommandTail;
static int32_t gShowCommand;

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
    if (gComInitialized)
        CoUninitialize();
}

bool RuntimeStartup()
{
    memset(&gRuntime, 0, sizeof(gRuntime));
    gShutdownReleaseCount = 0;

    gComInitialized = SUCCEEDED(CoInitialize(nullptr));

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
    gShowCommand = ShowCommandFromStartupInfo(startup);

    gCommandTail = CommandLineTail(GetCommandLineA());
    gRuntime.instance = GetModuleHandleA(nullptr);

    if (!ThreadStateStart())
        return false;

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
    ThreadStateEnd();
    UninitializeCom();
}

void RuntimeProcessEntry(MainProcedureFn mainProcedure)
{
    if (!RuntimeStartup()) {
        ConsoleGiveBack();
        UninitializeCom();
        ExitProcess(255);
    }
    int32_t exitCode = mainProcedure(gRuntime.instance, nullptr, gCommandTail,
                                     gShowCommand);
    RuntimeShutdown();
    ExitProcess(static_cast<UINT>(exitCode));
}
