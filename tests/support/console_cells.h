// Console cells read back. Whole in this header so that console_watch, which
// runs beside the product without the test framework or the program's
// start-up, shares it with the tests.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

struct ConsoleCells {
    std::wstring wide;              // one UTF-16 character a cell, as the console holds it
    std::string text;               // the same in the ANSI code page, '?' where it has none
    std::vector<WORD> attributes;   // one a cell
};

// count cells of one row from row and column counted from 0, as the console
// API counts; none when the console refuses the read.
inline ConsoleCells ReadConsoleCells(HANDLE screen, int row, int column, int count)
{
    ConsoleCells cells;
    std::vector<CHAR_INFO> buffer(static_cast<size_t>(count));
    COORD size = {static_cast<SHORT>(count), 1};
    COORD origin = {0, 0};
    SMALL_RECT area = {static_cast<SHORT>(column), static_cast<SHORT>(row),
                       static_cast<SHORT>(column + count - 1), static_cast<SHORT>(row)};
    if (!ReadConsoleOutputW(screen, buffer.data(), size, origin, &area))
        return cells;
    for (const CHAR_INFO& cell : buffer) {
        char ansi = '?';
        WideCharToMultiByte(CP_ACP, 0, &cell.Char.UnicodeChar, 1, &ansi, 1, nullptr, nullptr);
        cells.wide.push_back(cell.Char.UnicodeChar);
        cells.text.push_back(ansi);
        cells.attributes.push_back(cell.Attributes);
    }
    return cells;
}
