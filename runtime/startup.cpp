// Process start-up and shutdown, the per-thread records and the shutdown releases.
#include <objbase.h>
#include <string.h>

#include "runtime/console.h"
#include "runtime/runtime_state.h"

RuntimeState gRuntime;

enum { kMaxShutdownReleases = 16 };
static void (*gShutdownReleases[kMaxShutdownReleases])();
static int gShutdownReleaseCount;

const char* CommandLineTail(const char* commandLine)
{
    const char* p = commandLine ? commandLine : "";
    if (*p == '"') {
        ++p;
        while (*p && *p != '"')
            ++p;
        if (*p == '"')
            ++p;
        while (*p == ' ')
            ++p;
    } else if (*p == ' ') {
        while (*p == ' ')
            ++p;
    } else {
        while (static_cast<unsigned char>(*p) > 32)
            ++p;
        if (*p == ' ') {
            while (*p == ' ')
                ++p;
        }
    }
    return p;
}

int32_t ShowCommandFromStartupInfo(const STARTUPINFOA& info)
{
    return (info.dwFlags & STARTF_USESHOWWINDOW) ? info.wShowWindow : SW_SHOWDEFAULT;
}

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

void RuntimeAddShutdownRelease(void (*release)())
{
    for (int i = 0; i < gShutdownReleaseCount; ++i) {
        if (gShutdownReleases[i] == release)
            return;
    }
    if (gShutdownReleaseCount < kMaxShutdownReleases)
        gShutdownReleases[gShutdownReleaseCount++] = release;
}

static void FillFontEntry(FontEntry* entry, int32_t number, const char* face, int32_t pointSize)
{
    memset(entry, 0, sizeof(*entry));
    entry->number = number;
    entry->pointSize = pointSize;
    entry->logFont.lfWeight = FW_NORMAL;
    entry->logFont.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(entry->logFont.lfFaceName, face, LF_FACESIZE);
}

static void ReadCursorShape()
{
    CONSOLE_CURSOR_INFO info = {0, FALSE};
    if (GetConsoleCursorInfo(gRuntime.screen, &info) && info.dwSize != 0) {
        gRuntime.cursorShape = info;
        return;
    }
    info.dwSize = 0;
    if (GetConsoleCursorInfo(gRuntime.standardOutput, &info) && info.dwSize != 0) {
        gRuntime.cursorShape = info;
        return;
    }
    CONSOLE_CURSOR_INFO fallback = {10, TRUE};
    SetConsoleCursorInfo(gRuntime.screen, &fallback);
    gRuntime.cursorShape = fallback;
}

bool RuntimeStartup()
{
    memset(&gRuntime, 0, sizeof(gRuntime));
    gRuntime.tlsSlot = TLS_OUT_OF_INDEXES;
    gShutdownReleaseCount = 0;

    CoInitialize(nullptr);

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
    SetConsoleMode(gRuntime.screen, ENABLE_PROCESSED_OUTPUT | ENABLE_WRAP_AT_EOL_OUTPUT);
    SetConsoleMode(gRuntime.standardInput, 0);

    ReadCursorShape();

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

    FillFontEntry(&gRuntime.fonts[0], 1, "MS Sans Serif", 8);
    FillFontEntry(&gRuntime.fonts[1], 2, "Courier New", 0);
    ConsoleRememberInherited();
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
    CoUninitialize();
}

void RuntimeProcessEntry(MainProcedureFn mainProcedure)
{
    if (!RuntimeStartup()) {
        CoUninitialize();
        ExitProcess(255);
    }
    int32_t exitCode = mainProcedure(gRuntime.instance, nullptr, gRuntime.commandTail,
                                     gRuntime.showCommand);
    RuntimeShutdown();
    ExitProcess(static_cast<UINT>(exitCode));
}
