#include <gtest/gtest.h>

#include "runtime/console.h"
#include "runtime/runtime_state.h"

// These tests run inside a real console window (wineconsole). The window
// that shows the console's title, once the host has renamed it, is the one
// the lookup gives; the lookup leaves the title as it was and keeps the handle.
TEST(ConsoleWindow, StandardOutputIsTheScreenAndTheWindowIsTheOneShowingTheTitle)
{
    DWORD mode = 0;
    ASSERT_TRUE(GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode));
    EXPECT_EQ(GetStdHandle(STD_OUTPUT_HANDLE), gRuntime.screen);
    EXPECT_NE(nullptr, gRuntime.consoleInput);
    const char* title = "copia ridotta console probe";
    ASSERT_TRUE(SetConsoleTitleA(title));
    HWND shown = nullptr;
    for (DWORD start = GetTickCount(); !shown && GetTickCount() - start < 10000; Sleep(20))
        shown = FindWindowA(nullptr, title);
    gRuntime.consoleWindow = nullptr;
    ASSERT_NE(nullptr, shown);
    EXPECT_EQ(shown, ConsoleWindowHandle());
    EXPECT_EQ(shown, gRuntime.consoleWindow);
    char after[256] = {0};
    GetConsoleTitleA(after, sizeof(after));
    EXPECT_STREQ(title, after);
}
