#include <gtest/gtest.h>

#include "runtime/runtime_state.h"

// These tests run inside a real console window (wineconsole).
TEST(ConsoleWindow, StandardOutputIsTheScreenAndTheWindowIsFoundByTitle)
{
    DWORD mode = 0;
    ASSERT_TRUE(GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode));
    EXPECT_EQ(GetStdHandle(STD_OUTPUT_HANDLE), gRuntime.screen);
    EXPECT_NE(nullptr, gRuntime.consoleInput);
    ASSERT_TRUE(SetConsoleTitleA("copia ridotta console probe"));
    Sleep(200);
    EXPECT_NE(nullptr, FindWindowA(nullptr, "copia ridotta console probe"));
}
