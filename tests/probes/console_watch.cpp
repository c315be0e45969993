// Test helper for end-to-end runs: console_watch [--alone] OUTPUT PROGRAM [ARGS...]
// Starts PROGRAM in this console, or with --alone in a console of its own,
// which the watch joins once OUTPUT.attach exists.
// While OUTPUT.ctrlc exists, the watch removes it and sends Ctrl+C to the
// console: from a process of the program's group, as Wine sends the event
// only to the sender's group (Windows: to every process of the console).
// Until the program ends, OUTPUT holds the console's screen: one "T:" line of
// characters (UTF-8) and one "A:" line of two-digit hex attributes per row,
// after a "before" line with the console's buffer, window, place, colours and
// modes as the watch began. When the program ends, "after" gives them again
// and "exit N" follows.
#include <windows.h>
#include <stdio.h>
#include <string.h>

#include <string>

#include "tests/support/console_cells.h"

// What a shell keeps of its console: buffer and window in cells, the
// window's top row and place, colours, and the input and output modes.
static std::string ConsoleShape(HANDLE screen, HANDLE input)
{
    CONSOLE_SCREEN_BUFFER_INFO info;
    RECT place = {0, 0, 0, 0};
    DWORD inputMode = 0, outputMode = 0;
    if (!GetConsoleScreenBufferInfo(screen, &info) || !GetWindowRect(GetConsoleWindow(), &place) ||
        !GetConsoleMode(input, &inputMode) || !GetConsoleMode(screen, &outputMode))
        return "unknown";
    char shape[160];
    snprintf(shape, sizeof(shape),
             "buffer %d %d window %d %d top %d at %ld %ld colours %02X modes in %lX out %lX",
             info.dwSize.X, info.dwSize.Y, info.srWindow.Right - info.srWindow.Left + 1,
             info.srWindow.Bottom - info.srWindow.Top + 1, info.srWindow.Top, place.left,
             place.top, info.wAttributes & 0xFF, inputMode, outputMode);
    return shape;
}

static bool DumpScreen(HANDLE screen, const std::string& path, const std::string& before,
                       HANDLE input, bool ended, DWORD exitCode)
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
        if (cells.wide.empty())
            return false;
        std::string characters = "T:";
        std::string attributes = "A:";
        for (int column = 0; column < columns; ++column) {
            wchar_t c = cells.wide[column];
            int length = WideCharToMultiByte(CP_UTF8, 0, &c, 1, line, sizeof(line), nullptr, nullptr);
            characters += (c == 0 || c == '\n' || c == '\r' || length <= 0) ? std::string(" ")
                                                                         : std::string(line, length);
            snprintf(line, sizeof(line), "%02X", cells.attributes[column] & 0xFF);
            attributes += line;
        }
        text += characters + "\n" + attributes + "\n";
    }
    if (ended) {
        text += "after " + ConsoleShape(screen, input) + "\n";
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

static HANDLE OpenConsoleDevice(const char* name)
{
    return CreateFileA(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                       nullptr, OPEN_EXISTING, 0, nullptr);
}

int main(int argc, char** argv)
{
    bool alone = argc > 1 && strcmp(argv[1], "--alone") == 0;
    if (argc < 3 + alone) {
        fprintf(stderr, "usage: console_watch [--alone] OUTPUT PROGRAM [ARGS...]\n");
        return 2;
    }
    std::string output = argv[1 + alone];
    std::string commandLine;
    for (int i = 2 + alone; i < argc; ++i) {
        if (i > 2 + alone)
            commandLine += ' ';
        commandLine += '"';
        commandLine += argv[i];
        commandLine += '"';
    }
    HANDLE screen = OpenConsoleDevice("CONOUT$");
    HANDLE input = OpenConsoleDevice("CONIN$");
    // Colours of the shell's own, which the tool's differ from.
    SetConsoleTextAttribute(screen, FOREGROUND_RED | FOREGROUND_GREEN | BACKGROUND_BLUE);
    std::string before = ConsoleShape(screen, input);
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof(startup));
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process;
    ZeroMemory(&process, sizeof(process));
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE,
                        alone ? CREATE_NEW_CONSOLE : 0, nullptr, nullptr, &startup, &process)) {
        FILE* file = fopen(output.c_str(), "wb");
        if (file) {
            fprintf(file, "cannot start %s: error %lu\nexit -1\n", commandLine.c_str(),
                    GetLastError());
            fclose(file);
        }
        return 1;
    }
    if (alone) {
        // Joined once OUTPUT.attach says the program's start-up is over, so
        // that the program found its console its own.
        std::string attach = output + ".attach";
        while (!DeleteFileA(attach.c_str()) && WaitForSingleObject(process.hProcess, 100) == WAIT_TIMEOUT) {
        }
        FreeConsole();
        if (!AttachConsole(process.dwProcessId))
            return 1;
        screen = OpenConsoleDevice("CONOUT$");
        input = OpenConsoleDevice("CONIN$");
        before = ConsoleShape(screen, input);
    }
    // A Ctrl+C sent to the console is the program's to handle, not the watch's.
    SetConsoleCtrlHandler(nullptr, TRUE);
    std::string ctrlC = output + ".ctrlc";
    while (WaitForSingleObject(process.hProcess, 100) == WAIT_TIMEOUT) {
        DumpScreen(screen, output, before, input, false, 0);
        if (DeleteFileA(ctrlC.c_str()))
            GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0);
    }
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    DumpScreen(screen, output, before, input, true, exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return 0;
}
