// Test helper for end-to-end runs: console_watch OUTPUT PROGRAM [ARGS...]
// Starts PROGRAM in this console window and, until it ends, keeps OUTPUT
// holding the console's screen: one "T:" line of characters and one "A:" line
// of two-digit hex attributes per row, after a "before" line with the
// console's buffer, window, place and colours as PROGRAM found them. When
// PROGRAM ends, "after" gives them again and "exit N" follows.
#include <windows.h>
#include <stdio.h>

#include <string>

#include "tests/support/console_cells.h"

// What a shell keeps of its console: buffer and window in cells, the window's place, colours.
static std::string ConsoleShape(HANDLE screen)
{
    CONSOLE_SCREEN_BUFFER_INFO info;
    RECT place = {0, 0, 0, 0};
    if (!GetConsoleScreenBufferInfo(screen, &info) || !GetWindowRect(GetConsoleWindow(), &place))
        return "unknown";
    char shape[96];
    snprintf(shape, sizeof(shape), "buffer %d %d window %d %d at %ld %ld colours %02X",
             info.dwSize.X, info.dwSize.Y, info.srWindow.Right - info.srWindow.Left + 1,
             info.srWindow.Bottom - info.srWindow.Top + 1, place.left, place.top,
             info.wAttributes & 0xFF);
    return shape;
}

static bool DumpScreen(HANDLE screen, const std::string& path, const std::string& before,
                       bool ended, DWORD exitCode)
{
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!GetConsoleScreenBufferInfo(screen, &info))
        return false;
    const int columns = info.dwSize.X;
    const int rows = info.dwSize.Y;
    std::string text;
    char line[64];
    snprintf(line, sizeof(line), "size %d %d cursor %d %d\n", columns, rows,
             info.dwCursorPosition.X + 1, info.dwCursorPosition.Y + 1);
    text += line;
    text += "before " + before + "\n";
    for (int row = 0; row < rows; ++row) {
        ConsoleCells cells = ReadConsoleCells(screen, row, 0, columns);
        if (cells.text.empty())
            return false;
        std::string characters = "T:";
        std::string attributes = "A:";
        for (int column = 0; column < columns; ++column) {
            char c = cells.text[column];
            characters += (c == '\0' || c == '\n' || c == '\r') ? ' ' : c;
            snprintf(line, sizeof(line), "%02X", cells.attributes[column] & 0xFF);
            attributes += line;
        }
        text += characters + "\n" + attributes + "\n";
    }
    if (ended) {
        text += "after " + ConsoleShape(screen) + "\n";
        snprintf(line, sizeof(line), "exit %lu\n", exitCode);
        text += line;
    }
    std::string temporary = path + ".part";
    FILE* file = fopen(temporary.c_str(), "wb");
    if (!file)
        return false;
    fwrite(text.data(), 1, text.size(), file);
    fclose(file);
    return MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

int main(int argc, char** argv)
{
    if (argc < 3) {
        fprintf(stderr, "usage: console_watch OUTPUT PROGRAM [ARGS...]\n");
        return 2;
    }
    std::string output = argv[1];
    std::string commandLine;
    for (int i = 2; i < argc; ++i) {
        if (i > 2)
            commandLine += ' ';
        commandLine += '"';
        commandLine += argv[i];
        commandLine += '"';
    }
    HANDLE screen = CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                nullptr);
    // Colours of the shell's own, which the tool's differ from.
    SetConsoleTextAttribute(screen, FOREGROUND_RED | FOREGROUND_GREEN | BACKGROUND_BLUE);
    std::string before = ConsoleShape(screen);
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof(startup));
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process;
    ZeroMemory(&process, sizeof(process));
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        FILE* file = fopen(output.c_str(), "wb");
        if (file) {
            fprintf(file, "cannot start %s: error %lu\nexit -1\n", commandLine.c_str(),
                    GetLastError());
            fclose(file);
        }
        return 1;
    }
    while (WaitForSingleObject(process.hProcess, 100) == WAIT_TIMEOUT)
        DumpScreen(screen, output, before, false, 0);
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    DumpScreen(screen, output, before, true, exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    CloseHandle(screen);
    return 0;
}
