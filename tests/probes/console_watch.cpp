// Test helper for end-to-end runs, in two forms:
//   console_watch OUTPUT PROGRAM [ARGS...]  starts PROGRAM in this console;
//   console_watch --attach OUTPUT EXE       joins the console of the running
//                                           process EXE (started in a console of
//                                           its own) and watches that.
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
#include <tlhelp32.h>

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

static std::string Utf8(wchar_t c)
{
    char bytes[8];
    int length = WideCharToMultiByte(CP_UTF8, 0, &c, 1, bytes, sizeof(bytes), nullptr, nullptr);
    return length > 0 ? std::string(bytes, length) : std::string("?");
}

static bool DumpScreen(HANDLE screen, const std::string& path, const std::string& before,
                       const std::string* after, DWORD exitCode)
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
            characters += (c == 0 || c == '\n' || c == '\r') ? std::string(" ") : Utf8(c);
            snprintf(line, sizeof(line), "%02X", cells.attributes[column] & 0xFF);
            attributes += line;
        }
        text += characters + "\n" + attributes + "\n";
    }
    if (after) {
        text += "after " + *after + "\n";
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

static void WriteFailure(const std::string& output, const char* what, DWORD error)
{
    FILE* file = fopen(output.c_str(), "wb");
    if (file) {
        fprintf(file, "%s: error %lu\nexit -1\n", what, error);
        fclose(file);
    }
}

// The process of that executable name, or 0.
static DWORD FindProcess(const char* exeName)
{
    DWORD found = 0;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return 0;
    PROCESSENTRY32 entry;
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32First(snapshot, &entry); more && !found;
         more = Process32Next(snapshot, &entry)) {
        if (lstrcmpiA(entry.szExeFile, exeName) == 0)
            found = entry.th32ProcessID;
    }
    CloseHandle(snapshot);
    return found;
}

static bool JoinConsoleOf(DWORD processId)
{
    FreeConsole();
    return AttachConsole(processId) != 0;
}

static HANDLE OpenConsoleDevice(const char* name)
{
    return CreateFileA(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                       nullptr, OPEN_EXISTING, 0, nullptr);
}

// Dumps the screen until the process ends, then its shape and exit code.
static int Watch(HANDLE process, const std::string& output, HANDLE screen, HANDLE input,
                 const std::string& before)
{
    // A Ctrl+C sent to the console is the tool's to handle, not the watch's.
    SetConsoleCtrlHandler(nullptr, TRUE);
    std::string ctrlC = output + ".ctrlc";
    while (WaitForSingleObject(process, 100) == WAIT_TIMEOUT) {
        DumpScreen(screen, output, before, nullptr, 0);
        if (DeleteFileA(ctrlC.c_str()))
            GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0);
    }
    DWORD exitCode = 0;
    GetExitCodeProcess(process, &exitCode);
    std::string after = ConsoleShape(screen, input);
    DumpScreen(screen, output, before, &after, exitCode);
    return 0;
}

int main(int argc, char** argv)
{
    if (argc == 4 && strcmp(argv[1], "--attach") == 0) {
        std::string output = argv[2];
        DWORD processId = FindProcess(argv[3]);
        HANDLE process = processId ? OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE,
                                                 processId)
                                   : nullptr;
        if (!process || !JoinConsoleOf(processId)) {
            WriteFailure(output, "cannot join the console", GetLastError());
            return 1;
        }
        HANDLE screen = OpenConsoleDevice("CONOUT$");
        HANDLE input = OpenConsoleDevice("CONIN$");
        return Watch(process, output, screen, input, ConsoleShape(screen, input));
    }
    if (argc < 3) {
        fprintf(stderr, "usage: console_watch [--attach] OUTPUT PROGRAM [ARGS...]\n");
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
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        WriteFailure(output, ("cannot start " + commandLine).c_str(), GetLastError());
        return 1;
    }
    Watch(process.hProcess, output, screen, input, before);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return 0;
}
