// Console cells: the cursor, colours, text written cell by cell, scrolling, the key wait.
#include "runtime/console.h"

#include "runtime/console_internal.h"
#include "runtime/interrupt.h"
#include "runtime/runtime_state.h"
#include "runtime/strings.h"

enum { kPrintBufferCells = 256 };

static WORD CurrentAttribute()
{
    return static_cast<WORD>(gRuntime.foreColor + 16 * gRuntime.backColor);
}

void PlaceCursor(int x, int y)
{
    COORD position = {static_cast<SHORT>(x), static_cast<SHORT>(y)};
    SetConsoleCursorPosition(gRuntime.screen, position);
}

void ConsoleReadCursorShape()
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

void ClearScreen()
{
    CONSOLE_CURSOR_INFO hidden = gRuntime.cursorShape;
    if (hidden.bVisible) {
        hidden.bVisible = FALSE;
        SetConsoleCursorInfo(gRuntime.screen, &hidden);
    }
    CONSOLE_SCREEN_BUFFER_INFO info;
    ReadScreenInfo(&info);
    DWORD cells = static_cast<DWORD>(info.dwSize.X) * static_cast<DWORD>(info.dwSize.Y);
    COORD origin = {0, 0};
    DWORD written = 0;
    FillConsoleOutputCharacterW(gRuntime.screen, L' ', cells, origin, &written);
    FillConsoleOutputAttribute(gRuntime.screen, CurrentAttribute(), cells, origin, &written);
    PlaceCursor(0, 0);
    SetConsoleCursorInfo(gRuntime.screen, &gRuntime.cursorShape);
}

void ConsoleLocate(int32_t row, int32_t column)
{
    CONSOLE_SCREEN_BUFFER_INFO info;
    ReadScreenInfo(&info);
    int x = info.dwCursorPosition.X;
    int y = info.dwCursorPosition.Y;
    if (column >= 1 && column <= info.dwSize.X)
        x = column - 1;
    if (row >= 1 && row <= info.dwSize.Y)
        y = row - 1;
    PlaceCursor(x, y);
    gRuntime.pendingScroll = 0;
}

void ConsoleSetColor(uint32_t foreground, uint32_t background)
{
    if (foreground < 16)
        gRuntime.foreColor = foreground;
    if (background < 16)
        gRuntime.backColor = background;
    SetConsoleTextAttribute(gRuntime.screen, CurrentAttribute());
}

static void ScrollUpOneRow(int columns, int rows)
{
    SMALL_RECT moved = {0, 1, static_cast<SHORT>(columns - 1), static_cast<SHORT>(rows - 1)};
    COORD destination = {0, 0};
    CHAR_INFO fill;
    fill.Char.UnicodeChar = L' ';
    fill.Attributes = CurrentAttribute();
    ScrollConsoleScreenBufferW(gRuntime.screen, &moved, nullptr, destination, &fill);
}

void ConsolePrint(const DynStr& text)
{
    int32_t remaining = text.length();
    if (remaining == 0)
        return;
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!ReadScreenInfo(&info))
        return;   // no screen: nothing to write to, and no width to wrap at
    int columns = info.dwSize.X;
    int rows = info.dwSize.Y;
    int x = info.dwCursorPosition.X;
    int y = info.dwCursorPosition.Y;
    if (x >= columns || y >= rows)
        return;
    // Cells take UTF-16, so that the console shows the ANSI text as the
    // program means it whatever its own code page.
    DynStr wide = StrToWide(text);
    remaining = wide.length() / 2;
    const WCHAR* next = reinterpret_cast<const WCHAR*>(wide.bytes());
    WORD attribute = CurrentAttribute();
    CHAR_INFO cells[kPrintBufferCells];
    while (remaining > 0) {
        if (gRuntime.pendingScroll) {
            gRuntime.pendingScroll = 0;
            ScrollUpOneRow(columns, rows);
        }
        // A row wider than the print buffer is written in several pieces.
        int count = columns - x;
        if (count > remaining)
            count = remaining;
        if (count > kPrintBufferCells)
            count = kPrintBufferCells;
        for (int i = 0; i < count; ++i) {
            cells[i].Char.UnicodeChar = next[i];
            cells[i].Attributes = attribute;
        }
        COORD pieceSize = {static_cast<SHORT>(count), 1};
        COORD pieceStart = {0, 0};
        SMALL_RECT target = {static_cast<SHORT>(x), static_cast<SHORT>(y),
                             static_cast<SHORT>(x + count - 1), static_cast<SHORT>(y)};
        WriteConsoleOutputW(gRuntime.screen, cells, pieceSize, pieceStart, &target);
        next += count;
        remaining -= count;
        x += count;
        if (x == columns) {
            x = 0;
            if (y == rows - 1)
                gRuntime.pendingScroll = 1;
            else
                ++y;
        }
    }
    PlaceCursor(x, y);
}

void ConsoleNewLine()
{
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!ReadScreenInfo(&info))
        return;
    int columns = info.dwSize.X;
    int rows = info.dwSize.Y;
    int y = info.dwCursorPosition.Y;
    if (y >= rows - 1) {
        if (gRuntime.pendingScroll) {
            gRuntime.pendingScroll = 0;
            ScrollUpOneRow(columns, rows);
        }
        ScrollUpOneRow(columns, rows);
        y = rows - 1;
    } else {
        ++y;
    }
    PlaceCursor(0, y);
    gRuntime.pendingScroll = 0;
}

void ConsolePrintLine(const DynStr& text)
{
    ConsolePrint(text);
    ConsoleNewLine();
}

// Shift, Ctrl, Alt and the lock keys alone are no key press to a user.
static bool IsModifierKey(WORD key)
{
    return key == VK_SHIFT || key == VK_CONTROL || key == VK_MENU || key == VK_CAPITAL ||
           key == VK_NUMLOCK || key == VK_SCROLL || key == VK_LWIN || key == VK_RWIN;
}

bool ConsoleWaitKey()
{
    HANDLE input = gRuntime.consoleInput;
    DWORD mode = 0;
    // A console without a window takes no key from a user.
    if (!input || !GetConsoleMode(input, &mode) || !ConsoleWindowHandle())
        return false;
    // A key pressed at the intro, which asks for one it never reads, is old.
    INPUT_RECORD event;
    DWORD count = 0;
    while (GetNumberOfConsoleInputEvents(input, &count) && count > 0 &&
           ReadConsoleInputA(input, &event, 1, &count) && count > 0) {
    }
    // Ctrl+C is no key here but a stop, which ends the wait as well.
    HANDLE waited[2] = {input, InterruptEvent()};
    DWORD waitedCount = waited[1] ? 2 : 1;
    while (WaitForMultipleObjects(waitedCount, waited, FALSE, INFINITE) == WAIT_OBJECT_0) {
        if (!ReadConsoleInputA(input, &event, 1, &count))
            return false;
        if (count > 0 && event.EventType == KEY_EVENT && event.Event.KeyEvent.bKeyDown &&
            !IsModifierKey(event.Event.KeyEvent.wVirtualKeyCode))
            return true;
    }
    return false;
}
