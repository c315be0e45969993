// Console screen services on the screen handle chosen at start-up. Rows and
// columns are 1-based. Text is written cell by cell, with its own wrapping.
#pragma once
#include <windows.h>
#include <stdint.h>

#include "runtime/dynstr.h"

// The cursor shape every clear of the screen gives back: the console's own,
// else size 10 and visible, which is then set.
void ConsoleReadCursorShape();
HWND ConsoleWindowHandle();
// A console shared with the shell that started the tool: its buffer and
// window sizes, its window's place and its colours, remembered at start-up
// before anything changes them and given back at the end. A console of the
// tool's own is left alone.
void ConsoleRememberInherited();
// Reads the console's input and output modes, then sets the tool's; the
// give-back restores what was read, in a console of the tool's own too.
void ConsoleTakeModes();
void ConsoleGiveBack();
// True when the console was the tool's alone at start-up (a double-click):
// it closes with the process, so a line that must be read waits for a key.
bool ConsoleIsOwn();
// Failure records run-time error 5; the screen keeps its old size.
void ConsoleSetScreen(uint32_t columns, uint32_t rows);
void ConsoleSetLocation(int32_t x, int32_t y);
int32_t ConsoleScreenWidth();
void ConsoleLocate(int32_t row, int32_t column);
void ConsoleSetColor(uint32_t foreground, uint32_t background);
void ConsolePrint(const DynStr& text);
void ConsoleNewLine();
// The text, then a new line.
void ConsolePrintLine(const DynStr& text);
// Waits until a key is pressed in the console; keys pressed before the call
// do not count. False at once when there is no console window to take one.
bool ConsoleWaitKey();
