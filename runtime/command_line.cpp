// The command line's tail after the program name, and the show command of start-up.
#include "runtime/command_line.h"

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
