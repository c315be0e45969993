// Console geometry: the window, its place, the buffer and window sizes, and
// the shell's console given back as it was.
#include "runtime/console.h"

#include <string.h>

#include "runtime/console_internal.h"
#include "runtime/errors.h"
#include "runtime/runtime_state.h"

enum {
    kMaxConsoleCells = 65535,
    kWindowAttempts = 10,
    kHoldAttempts = 3,
    kSettleLimitMs = 2000,
    kSettleQuietMs = 250,
    kSettlePollMs = 10,
};

static bool OnNtFamily()
{
    return gRuntime.platformId == VER_PLATFORM_WIN32_NT;
}

bool ReadScreenInfo(CONSOLE_SCREEN_BUFFER_INFO* info)
{
    memset(info, 0, sizeof(*info));
    return GetConsoleScreenBufferInfo(gRuntime.screen, info) && info->dwSize.X > 0 &&
           info->dwSize.Y > 0;
}

HWND ConsoleWindowHandle()
{
    // Asked, not looked up by a marked title: the console host renames its
    // window only some time after the title changes, later than any fixed
    // wait on a loaded machine. A console without a window answers none.
    if (!gRuntime.consoleWindow)
        gRuntime.consoleWindow = GetConsoleWindow();
    return gRuntime.consoleWindow;
}

static bool IsClassicConsoleWindow(HWND window)
{
    char className[64] = {0};
    GetClassNameA(window, className, sizeof(className));
    return strcmp(className, "ConsoleWindowClass") == 0;
}

// The classic console window takes the outer size it is given. Other console
// windows (Wine's) size themselves from their cells and read a forced outer
// size as a new cell count, growing the buffer again; there only the place
// is kept.
static UINT KeptPlaceFlags(HWND window)
{
    return IsClassicConsoleWindow(window) ? SWP_NOZORDER : SWP_NOZORDER | SWP_NOSIZE;
}

// The console moves and resizes its window when the buffer changes; the
// window is put back where it was, with its outer size.
static bool ResizeBuffer(uint32_t columns, uint32_t rows)
{
    if (columns > kMaxConsoleCells || rows > kMaxConsoleCells)
        return false;
    HWND window = ConsoleWindowHandle();
    RECT kept;
    if (!window || !GetWindowRect(window, &kept))
        return false;
    LockWindowUpdate(window);
    COORD size = {static_cast<SHORT>(columns), static_cast<SHORT>(rows)};
    bool resized = SetConsoleScreenBufferSize(gRuntime.screen, size) != 0;
    if (!OnNtFamily())
        Sleep(250);
    ClearScreen();
    if (!OnNtFamily())
        Sleep(250);
    gRuntime.pendingScroll = 0;
    SetWindowPos(window, nullptr, kept.left, kept.top, kept.right - kept.left,
                 kept.bottom - kept.top, KeptPlaceFlags(window));
    LockWindowUpdate(nullptr);
    return resized;
}

static bool SetWindowSize(uint32_t columns, uint32_t rows)
{
    if (columns > kMaxConsoleCells || rows > kMaxConsoleCells)
        return false;
    SMALL_RECT area = {0, 0, static_cast<SHORT>(columns - 1), static_cast<SHORT>(rows - 1)};
    SetConsoleWindowInfo(gRuntime.screen, TRUE, &area);
    if (OnNtFamily())
        return true;   // taken as set on NT; the buffer shrink that follows settles it
    Sleep(250);
    PlaceCursor(0, 0);
    Sleep(250);
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!ReadScreenInfo(&info))
        return false;
    uint32_t shownColumns = static_cast<uint32_t>(info.srWindow.Right - info.srWindow.Left + 1);
    uint32_t shownRows = static_cast<uint32_t>(info.srWindow.Bottom - info.srWindow.Top + 1);
    return shownColumns == columns && shownRows == rows;
}

// Whether the screen and the window's inside show columns x rows.
static bool ShowsCells(HWND window, COORD cell, uint32_t columns, uint32_t rows)
{
    CONSOLE_SCREEN_BUFFER_INFO info;
    RECT inside;
    return ReadScreenInfo(&info) && GetClientRect(window, &inside) &&
           static_cast<uint32_t>(info.dwSize.X) == columns &&
           static_cast<uint32_t>(info.dwSize.Y) == rows &&
           info.srWindow.Right - info.srWindow.Left + 1 == info.dwSize.X &&
           info.srWindow.Bottom - info.srWindow.Top + 1 == info.dwSize.Y &&
           inside.right - inside.left == info.dwSize.X * cell.X &&
           inside.bottom - inside.top == info.dwSize.Y * cell.Y;
}

// Wine's console window takes a new size only when its host next handles
// its messages, and under a window manager the answer to an earlier size can
// come after a later one: the host reads it as a new cell count (20 rows at
// least) and grows the buffer. True once the screen has shown columns x rows
// unchanged for a quiet spell; false when it changed, or never showed. The
// classic console sizes its window within the calls, and a hidden one (a
// pseudo-console's) shows nothing: both hold at once.
static bool ScreenHolds(uint32_t columns, uint32_t rows)
{
    HWND window = ConsoleWindowHandle();
    CONSOLE_FONT_INFO font;
    if (!window || !IsWindowVisible(window) || IsClassicConsoleWindow(window) ||
        !GetCurrentConsoleFont(gRuntime.screen, FALSE, &font) || font.dwFontSize.X <= 0 ||
        font.dwFontSize.Y <= 0)
        return true;
    DWORD start = GetTickCount();
    DWORD shownSince = 0;
    bool shown = false;
    for (;;) {
        bool showing = ShowsCells(window, font.dwFontSize, columns, rows);
        DWORD now = GetTickCount();
        if (shown && !showing)
            return false;
        if (showing && !shown) {
            shown = true;
            shownSince = now;
        }
        if (shown && now - shownSince >= kSettleQuietMs)
            return true;
        if (now - start >= kSettleLimitMs)
            return shown;
        Sleep(kSettlePollMs);
    }
}

// A host that read a late window size has grown the buffer and the window;
// the buffer then holds the window, so both are set again.
static void HoldScreen(uint32_t columns, uint32_t rows)
{
    for (int attempt = 0; attempt < kHoldAttempts && !ScreenHolds(columns, rows); ++attempt) {
        SetWindowSize(columns, rows);
        ResizeBuffer(columns, rows);
    }
}

// The buffer may never be smaller than the window: it grows to hold the
// window before and after, the window changes, then the buffer is cut to
// the size wanted. False, with nothing cut, when the grow or the window fails.
template <typename BufferStep, typename WindowStep>
static bool ChangeScreen(uint32_t columns0, uint32_t rows0, uint32_t columns, uint32_t rows,
                         BufferStep resizeBuffer, WindowStep setWindow)
{
    if (!resizeBuffer(columns > columns0 ? columns : columns0, rows > rows0 ? rows : rows0) ||
        !setWindow())
        return false;
    resizeBuffer(columns, rows);
    return true;
}

void ConsoleSetScreen(uint32_t columns, uint32_t rows)
{
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!ReadScreenInfo(&info)) {
        // No console buffer to size, and no size to go back to.
        RaiseError(kErrBadArgument);
        return;
    }
    uint32_t columns0 = static_cast<uint16_t>(info.dwSize.X);
    uint32_t rows0 = static_cast<uint16_t>(info.dwSize.Y);
    bool changed = ChangeScreen(columns0, rows0, columns, rows, ResizeBuffer, [columns, rows] {
        bool windowSet = false;
        for (int attempt = 0; attempt < kWindowAttempts && !windowSet; ++attempt)
            windowSet = SetWindowSize(columns, rows);
        return windowSet;
    });
    if (!changed) {
        ResizeBuffer(columns0, rows0);
        RaiseError(kErrBadArgument);
        return;
    }
    HoldScreen(columns, rows);
}

// What a shell's console held before the set-up changed it: the buffer, the
// window's rectangle in cells, the window's place on the desktop, and the
// colours the shell goes on writing in.
struct InheritedConsole {
    bool shared;
    COORD bufferSize;
    SMALL_RECT window;
    WORD attributes;
    bool placeKnown;
    POINT place;
};
static InheritedConsole gInheritedConsole;
static bool gConsoleOwn;

// The modes whatever reads the console next relies on: the input modes
// belong to the input buffer a shell shares, the output modes to the screen.
struct InheritedModes {
    bool inputKnown;
    DWORD input;
    bool screenKnown;
    DWORD screen;
};
static InheritedModes gInheritedModes;

void ConsoleTakeModes()
{
    memset(&gInheritedModes, 0, sizeof(gInheritedModes));
    gInheritedModes.screenKnown = GetConsoleMode(gRuntime.screen, &gInheritedModes.screen) != 0;
    gInheritedModes.inputKnown =
        GetConsoleMode(gRuntime.standardInput, &gInheritedModes.input) != 0;
    SetConsoleMode(gRuntime.screen, ENABLE_PROCESSED_OUTPUT | ENABLE_WRAP_AT_EOL_OUTPUT);
    // No line input and no echo, for the key waits. Ctrl+C stays a signal,
    // so that a batch can be stopped, and QuickEdit goes off: a click would
    // start a selection that holds every line the batch writes.
    SetConsoleMode(gRuntime.standardInput, ENABLE_PROCESSED_INPUT | ENABLE_EXTENDED_FLAGS);
}

static void GiveBackModes()
{
    if (gInheritedModes.screenKnown)
        SetConsoleMode(gRuntime.screen, gInheritedModes.screen);
    if (gInheritedModes.inputKnown)
        SetConsoleMode(gRuntime.standardInput, gInheritedModes.input);
    gInheritedModes.screenKnown = false;
    gInheritedModes.inputKnown = false;
}

bool ConsoleIsOwn()
{
    return gConsoleOwn;
}

void ConsoleRememberInherited()
{
    memset(&gInheritedConsole, 0, sizeof(gInheritedConsole));
    // A console of its own goes with the process; one shared with the shell
    // that started the tool stays the user's after it. Asked once: a process
    // that attaches later does not make the console the user's.
    DWORD processes[2];
    DWORD count = GetConsoleProcessList(processes, 2);
    gConsoleOwn = count == 1;
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (count < 2 || !ReadScreenInfo(&info))
        return;
    gInheritedConsole.shared = true;
    gInheritedConsole.bufferSize = info.dwSize;
    gInheritedConsole.window = info.srWindow;
    gInheritedConsole.attributes = info.wAttributes;
    HWND window = ConsoleWindowHandle();
    RECT place;
    if (window && GetWindowRect(window, &place)) {
        gInheritedConsole.placeKnown = true;
        gInheritedConsole.place.x = place.left;
        gInheritedConsole.place.y = place.top;
    }
}

// The inherited window's size, moved down the buffer only as far as needed
// to show the cursor: the text the tool left is at the top.
static SMALL_RECT InheritedWindowShowing(SHORT cursorRow)
{
    SMALL_RECT area = gInheritedConsole.window;
    SHORT rows = static_cast<SHORT>(area.Bottom - area.Top + 1);
    if (cursorRow < area.Top || cursorRow > area.Bottom) {
        SHORT lastTop = static_cast<SHORT>(gInheritedConsole.bufferSize.Y - rows);
        SHORT top = static_cast<SHORT>(cursorRow - rows + 1);
        area.Top = top < 0 ? 0 : (top > lastTop ? lastTop : top);
        area.Bottom = static_cast<SHORT>(area.Top + rows - 1);
    }
    return area;
}

// The give-back's step: at the end there is no size to fall back to, so
// whatever the console answers, the sequence goes on.
static bool SetBufferSize(uint32_t columns, uint32_t rows)
{
    COORD size = {static_cast<SHORT>(columns), static_cast<SHORT>(rows)};
    SetConsoleScreenBufferSize(gRuntime.screen, size);
    return true;
}

void ConsoleGiveBack()
{
    GiveBackModes();
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!gInheritedConsole.shared || !ReadScreenInfo(&info))
        return;
    COORD inherited = gInheritedConsole.bufferSize;
    SMALL_RECT area = InheritedWindowShowing(info.dwCursorPosition.Y);
    ChangeScreen(info.dwSize.X, info.dwSize.Y, inherited.X, inherited.Y, SetBufferSize, [&area] {
        SetConsoleWindowInfo(gRuntime.screen, TRUE, &area);
        return true;
    });
    SetConsoleTextAttribute(gRuntime.screen, gInheritedConsole.attributes);
    HWND window = ConsoleWindowHandle();
    if (window && gInheritedConsole.placeKnown)
        SetWindowPos(window, nullptr, gInheritedConsole.place.x, gInheritedConsole.place.y, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    gInheritedConsole.shared = false;
}

void ConsoleSetLocation(int32_t x, int32_t y)
{
    HWND window = ConsoleWindowHandle();
    CONSOLE_SCREEN_BUFFER_INFO info;
    bool whole = ReadScreenInfo(&info) &&
                 info.srWindow.Right - info.srWindow.Left + 1 == info.dwSize.X &&
                 info.srWindow.Bottom - info.srWindow.Top + 1 == info.dwSize.Y;
    // A move is a change of the window too: a late answer can take back the
    // size or the place.
    for (int attempt = 0; attempt < kHoldAttempts; ++attempt) {
        SetWindowPos(window, window, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        if (whole)
            HoldScreen(static_cast<uint16_t>(info.dwSize.X), static_cast<uint16_t>(info.dwSize.Y));
        RECT place;
        if (!window || !GetWindowRect(window, &place) || (place.left == x && place.top == y))
            break;
    }
}

int32_t ConsoleScreenWidth()
{
    CONSOLE_SCREEN_BUFFER_INFO info;
    ReadScreenInfo(&info);
    return info.dwSize.X;
}
