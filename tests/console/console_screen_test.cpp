// Console screen services read back from a real console: wrap, scroll, cursor, colours, size.
#include <gtest/gtest.h>
#include <string.h>

#include <string>
#include <vector>

#include "runtime/console.h"
#include "runtime/errors.h"
#include "runtime/runtime_state.h"
#include "tests/support/console_cells.h"

// These tests run inside a real console window (wineconsole) and read back
// what the console holds: cells with their attributes, cursor and sizes.
namespace {

// `count` cells of one row, from a 1-based row and column.
ConsoleCells ReadCells(int row, int column, int count)
{
    return ReadConsoleCells(gRuntime.screen, row - 1, column - 1, count);
}

std::string RowText(int row, int column, int count)
{
    return ReadCells(row, column, count).text;
}

CONSOLE_SCREEN_BUFFER_INFO ScreenInfo()
{
    CONSOLE_SCREEN_BUFFER_INFO info;
    memset(&info, 0, sizeof(info));
    GetConsoleScreenBufferInfo(gRuntime.screen, &info);
    return info;
}

// Cursor as "row,column", 1-based.
std::string Cursor()
{
    CONSOLE_SCREEN_BUFFER_INFO info = ScreenInfo();
    return std::to_string(info.dwCursorPosition.Y + 1) + "," +
           std::to_string(info.dwCursorPosition.X + 1);
}

std::string Repeat(char c, int count)
{
    return std::string(count, c);
}

// Letters a..z over and over, so that a misplaced piece shows.
std::string Pattern(int count, int offset = 0)
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text.push_back(static_cast<char>('a' + (i + offset) % 26));
    return text;
}

void Print(const std::string& text)
{
    ConsolePrint(DynStr(text.data(), static_cast<int32_t>(text.size())));
}

bool AllAre(const std::vector<WORD>& attributes, WORD value)
{
    for (WORD attribute : attributes) {
        if (attribute != value)
            return false;
    }
    return !attributes.empty();
}

// Wine's console window redraws on a 50 ms timer and trusts its pending
// update area when the buffer is back at the size it last drew; a buffer
// that grew and shrank again in between makes it read past the buffer and
// crash. Tests that change the buffer size give it time to redraw.
void LetTheWindowRedraw()
{
    Sleep(150);
}

class ConsoleScreen : public testing::Test {
protected:
    // Every test starts from a blank 60 x 12 screen in light grey on black.
    void SetUp() override
    {
        ClearRuntimeError();
        ConsoleSetColor(7, 0);
        ConsoleSetScreen(60, 12);
        ASSERT_EQ(0, LastRuntimeError());
        CONSOLE_SCREEN_BUFFER_INFO info = ScreenInfo();
        ASSERT_EQ(60, info.dwSize.X);
        ASSERT_EQ(12, info.dwSize.Y);
        ConsoleLocate(1, 1);
    }
    void TearDown() override
    {
        LetTheWindowRedraw();
    }
};

TEST_F(ConsoleScreen, FullLineOnAMiddleRowWrapsToTheNextRow)
{
    ConsoleLocate(5, 1);
    Print(Pattern(60));
    EXPECT_EQ(Pattern(60), RowText(5, 1, 60));
    EXPECT_EQ("6,1", Cursor());
    EXPECT_EQ(0, gRuntime.pendingScroll);
    ConsoleNewLine();
    EXPECT_EQ("7,1", Cursor());
    EXPECT_EQ(Repeat(' ', 60), RowText(6, 1, 60));
    EXPECT_EQ(Pattern(60), RowText(5, 1, 60)) << "no scroll away from the bottom";
}

TEST_F(ConsoleScreen, FullBottomRowWaitsThenTheNextPrintScrollsOnce)
{
    ConsoleLocate(11, 1);
    Print("penultima");
    ConsoleLocate(12, 1);
    Print(Pattern(60));
    EXPECT_EQ("12,1", Cursor());
    EXPECT_NE(0, gRuntime.pendingScroll);
    EXPECT_EQ(Pattern(60), RowText(12, 1, 60)) << "not scrolled yet";
    EXPECT_EQ("penultima", RowText(11, 1, 9));

    Print("Z");
    EXPECT_EQ(0, gRuntime.pendingScroll);
    EXPECT_EQ("penultima", RowText(10, 1, 9));
    EXPECT_EQ(Pattern(60), RowText(11, 1, 60));
    EXPECT_EQ("Z" + Repeat(' ', 59), RowText(12, 1, 60));
    EXPECT_EQ("12,2", Cursor());
}

TEST_F(ConsoleScreen, NewLineAfterAFullBottomRowScrollsTwiceInTheCurrentColours)
{
    ConsoleLocate(10, 1);
    Print("decima");
    ConsoleLocate(12, 1);
    Print(Pattern(60));
    ConsoleSetColor(15, 1);
    ConsoleNewLine();
    EXPECT_EQ("12,1", Cursor());
    EXPECT_EQ(0, gRuntime.pendingScroll);
    EXPECT_EQ("decima", RowText(8, 1, 6));
    EXPECT_EQ(Pattern(60), RowText(10, 1, 60));
    for (int row = 11; row <= 12; ++row) {
        ConsoleCells uncovered = ReadCells(row, 1, 60);
        EXPECT_EQ(Repeat(' ', 60), uncovered.text) << "row " << row;
        EXPECT_TRUE(AllAre(uncovered.attributes, 0x1F)) << "row " << row;
    }
    EXPECT_TRUE(AllAre(ReadCells(10, 1, 60).attributes, 0x07)) << "moved cells keep colours";
}

TEST_F(ConsoleScreen, SeventyCharactersFromColumn55WrapOverThreeRows)
{
    ConsoleLocate(3, 55);
    Print(Pattern(70));
    EXPECT_EQ(Repeat(' ', 54), RowText(3, 1, 54));
    EXPECT_EQ(Pattern(6), RowText(3, 55, 6));
    EXPECT_EQ(Pattern(60, 6), RowText(4, 1, 60));
    EXPECT_EQ(Pattern(4, 66), RowText(5, 1, 4));
    EXPECT_EQ(Repeat(' ', 56), RowText(5, 5, 56));
    EXPECT_EQ("5,5", Cursor());
}

TEST_F(ConsoleScreen, ControlBytesAreShownNotObeyed)
{
    ConsoleLocate(2, 3);
    const char bytes[] = {'a', 13, 10, 'b', 9, 'c', 7, 8};
    Print(std::string(bytes, sizeof(bytes)));
    EXPECT_EQ(std::string(bytes, sizeof(bytes)), RowText(2, 3, 8));
    EXPECT_EQ("2,11", Cursor());
    EXPECT_EQ(Repeat(' ', 60), RowText(3, 1, 60));
    // ANSI letters read as meant at any console code page (850 here).
    ConsoleLocate(4, 1);
    Print("citt\xE0 Per\xF9");
    EXPECT_EQ(L"citt\u00E0 Per\u00F9", ReadCells(4, 1, 10).wide);
}

TEST_F(ConsoleScreen, EmptyPrintLeavesThePendingScroll)
{
    ConsoleLocate(12, 1);
    Print(Pattern(60));
    ConsolePrint(DynStr());
    EXPECT_NE(0, gRuntime.pendingScroll);
    EXPECT_EQ(Pattern(60), RowText(12, 1, 60));
}

TEST_F(ConsoleScreen, LocateKeepsTheRowOrColumnThatIsOutOfRange)
{
    ConsoleLocate(4, 7);
    EXPECT_EQ("4,7", Cursor());
    ConsoleLocate(0, 5);
    EXPECT_EQ("4,5", Cursor());
    ConsoleLocate(3, 999);
    EXPECT_EQ("3,5", Cursor());
    ConsoleLocate(13, 61);
    EXPECT_EQ("3,5", Cursor());
    ConsoleLocate(-1, 60);
    EXPECT_EQ("3,60", Cursor());
    ConsoleLocate(12, 1);
    EXPECT_EQ("12,1", Cursor());
}

TEST_F(ConsoleScreen, LocateClearsThePendingScroll)
{
    ConsoleLocate(11, 1);
    Print("penultima");
    ConsoleLocate(12, 1);
    Print(Pattern(60));
    ASSERT_NE(0, gRuntime.pendingScroll);
    ConsoleLocate(12, 1);
    EXPECT_EQ(0, gRuntime.pendingScroll);
    Print("sopra");
    EXPECT_EQ("penultima", RowText(11, 1, 9)) << "no scroll";
    EXPECT_EQ("sopra" + Pattern(55, 5), RowText(12, 1, 60));
}

TEST_F(ConsoleScreen, ColoursApplyToLaterCellsAndOutOfRangeValuesKeepTheCurrentOne)
{
    Print("grigio");
    ConsoleSetColor(12, 0);
    Print("rosso");
    ConsoleSetColor(16, 1);
    Print("blu");
    EXPECT_EQ(12u, gRuntime.foreColor);
    EXPECT_EQ(1u, gRuntime.backColor);
    EXPECT_EQ(0x1C, ScreenInfo().wAttributes);
    ConsoleSetColor(0xFFFFFFFFu, 0xFFFFFFFFu);
    Print("x");

    ConsoleCells row = ReadCells(1, 1, 15);
    EXPECT_EQ("grigiorossoblux", row.text);
    EXPECT_TRUE(AllAre(std::vector<WORD>(row.attributes.begin(), row.attributes.begin() + 6), 0x07));
    EXPECT_TRUE(AllAre(std::vector<WORD>(row.attributes.begin() + 6, row.attributes.begin() + 11),
                       0x0C));
    EXPECT_TRUE(AllAre(std::vector<WORD>(row.attributes.begin() + 11, row.attributes.end()), 0x1C));
    EXPECT_EQ(0x1C, ScreenInfo().wAttributes);
}

TEST_F(ConsoleScreen, SetScreenFromALargeBufferShrinksClearsAndKeepsThePlace)
{
    COORD large = {120, 300};
    ASSERT_TRUE(SetConsoleScreenBufferSize(gRuntime.screen, large));
    LetTheWindowRedraw();
    ConsoleLocate(200, 100);
    Print("resto");
    ConsoleSetColor(14, 2);
    HWND window = ConsoleWindowHandle();
    ASSERT_NE(nullptr, window);
    RECT before;
    ASSERT_TRUE(GetWindowRect(window, &before));

    ConsoleSetScreen(60, 12);
    EXPECT_EQ(0, LastRuntimeError());
    CONSOLE_SCREEN_BUFFER_INFO info = ScreenInfo();
    EXPECT_EQ(60, info.dwSize.X);
    EXPECT_EQ(12, info.dwSize.Y);
    EXPECT_EQ(0, info.srWindow.Left);
    EXPECT_EQ(0, info.srWindow.Top);
    EXPECT_EQ(59, info.srWindow.Right);
    EXPECT_EQ(11, info.srWindow.Bottom);
    EXPECT_EQ("1,1", Cursor());
    EXPECT_EQ(60, ConsoleScreenWidth());
    for (int row = 1; row <= 12; ++row) {
        ConsoleCells cells = ReadCells(row, 1, 60);
        EXPECT_EQ(Repeat(' ', 60), cells.text) << "row " << row;
        EXPECT_TRUE(AllAre(cells.attributes, 0x2E)) << "row " << row;
    }
    // The console window follows on its own time; once it has, the sizes hold.
    LetTheWindowRedraw();
    info = ScreenInfo();
    EXPECT_EQ(60, info.dwSize.X);
    EXPECT_EQ(12, info.dwSize.Y);
    EXPECT_EQ(59, info.srWindow.Right - info.srWindow.Left);
    EXPECT_EQ(11, info.srWindow.Bottom - info.srWindow.Top);
    RECT after;
    ASSERT_TRUE(GetWindowRect(window, &after));
    EXPECT_EQ(before.left, after.left);
    EXPECT_EQ(before.top, after.top);

    ConsoleSetLocation(600, 0);
    RECT moved;
    ASSERT_TRUE(GetWindowRect(window, &moved));
    EXPECT_EQ(600, moved.left);
    EXPECT_EQ(0, moved.top);
    EXPECT_EQ(after.right - after.left, moved.right - moved.left);
    EXPECT_EQ(after.bottom - after.top, moved.bottom - moved.top);
}

TEST_F(ConsoleScreen, SetScreenBeyondTheConsoleLimitRecordsError5AndKeepsTheSize)
{
    Print("resta");
    ConsoleSetScreen(70000, 12);
    EXPECT_EQ(5, LastRuntimeError());
    CONSOLE_SCREEN_BUFFER_INFO info = ScreenInfo();
    EXPECT_EQ(60, info.dwSize.X);
    EXPECT_EQ(12, info.dwSize.Y);
    ClearRuntimeError();
    ConsoleSetScreen(60, 65536);
    EXPECT_EQ(5, LastRuntimeError());
    EXPECT_EQ(60, ScreenInfo().dwSize.X);
    EXPECT_EQ(12, ScreenInfo().dwSize.Y);
}

// The print buffer holds 256 cells; wider rows go out in several pieces.
TEST_F(ConsoleScreen, RowsWiderThanThePrintBufferAreWrittenWhole)
{
    COORD wide = {300, 12};
    ASSERT_TRUE(SetConsoleScreenBufferSize(gRuntime.screen, wide));
    LetTheWindowRedraw();
    ASSERT_EQ(300, ConsoleScreenWidth());
    ConsoleLocate(1, 1);
    Print(Pattern(650));
    EXPECT_EQ(Pattern(300), RowText(1, 1, 300));
    EXPECT_EQ(Pattern(300, 300), RowText(2, 1, 300));
    EXPECT_EQ(Pattern(50, 600) + Repeat(' ', 250), RowText(3, 1, 300));
    EXPECT_EQ("3,51", Cursor());

    ConsoleLocate(5, 10);
    Print(Pattern(291));
    EXPECT_EQ(Repeat(' ', 9) + Pattern(291), RowText(5, 1, 300));
    EXPECT_EQ("6,1", Cursor());

    ConsoleLocate(12, 1);
    Print(Pattern(300));
    EXPECT_NE(0, gRuntime.pendingScroll);
    Print("fine");
    EXPECT_EQ(Pattern(300), RowText(11, 1, 300));
    EXPECT_EQ("fine", RowText(12, 1, 4));
}

// The window that shows the console's title, once the host has renamed it,
// is the one the lookup gives; the title stays as it was, the handle is kept.
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

}  // namespace
