// Start-up and shutdown: command line, show command, floating point, main procedure, exit codes.
#include <gtest/gtest.h>
#include <string.h>

#include "runtime/command_line.h"
#include "runtime/floating_point.h"
#include "runtime/runtime_state.h"
#include "runtime/thread_state.h"
#include "tests/support/process_run.h"

TEST(CommandLineTail, SkipsTheProgramNameByTheQuotingRules)
{
    EXPECT_STREQ("abc", CommandLineTail("\"C:\\Program Files\\copia ridotta.exe\"   abc"));
    EXPECT_STREQ("", CommandLineTail("copiaridotta.exe"));
    EXPECT_STREQ("\tnext", CommandLineTail("copiaridotta.exe\tnext"));
    EXPECT_STREQ("x y", CommandLineTail("   x y"));
    EXPECT_STREQ("a  b", CommandLineTail("prog.exe   a  b"));
    // An unclosed quote runs to the end of the text.
    EXPECT_STREQ("", CommandLineTail("\"C:\\no end"));
    EXPECT_STREQ("", CommandLineTail(""));
    EXPECT_STREQ("", CommandLineTail(nullptr));
}

TEST(ShowCommand, TakesTheStartupValueOnlyWhenFlagged)
{
    STARTUPINFOA info;
    memset(&info, 0, sizeof(info));
    info.cb = sizeof(info);
    info.wShowWindow = SW_SHOWMINIMIZED;
    EXPECT_EQ(SW_SHOWDEFAULT, ShowCommandFromStartupInfo(info));
    info.dwFlags = STARTF_USESHOWWINDOW;
    EXPECT_EQ(SW_SHOWMINIMIZED, ShowCommandFromStartupInfo(info));
    info.wShowWindow = SW_HIDE;
    EXPECT_EQ(SW_HIDE, ShowCommandFromStartupInfo(info));
}

TEST(FloatingPoint, RealsRoundToNearestEvenInExtendedPrecision)
{
    SetFloatingPointEnvironment();
    EXPECT_EQ(2, RoundToInteger(2.5L));
    EXPECT_EQ(4, RoundToInteger(3.5L));
    EXPECT_EQ(-2, RoundToInteger(-2.5L));
    EXPECT_EQ(3, RoundToInteger(2.5000001L));
    // 295 / 1000 held with a 64-bit significand lies just below 0.295.
    volatile long double height = 295, width = 1000;
    long double quotient = height / width;
    EXPECT_EQ(29, RoundToInteger(quotient * 100));
    volatile long double small = 100, wide = 800;
    EXPECT_EQ(12, RoundToInteger(small / wide * 100));

    unsigned short controlWord = 0;
    __asm__ volatile("fnstcw %0" : "=m"(controlWord));
    EXPECT_EQ(0x3F, controlWord & 0x3F) << "every exception masked";
    EXPECT_EQ(0x300, controlWord & 0x300) << "64-bit significand";
    EXPECT_EQ(0, controlWord & 0xC00) << "round to nearest";
    // Masked: a division by zero gives infinity, not a trap.
    volatile long double zero = 0;
    EXPECT_TRUE(__builtin_isinf(1.0L / zero));
}

TEST(Startup, HandsTheMainProcedureItsFourArgumentsAndItsResultBecomesTheExitCode)
{
    ProcessOutcome run =
        RunCapturedProcess("\"" + SiblingProgramPath("entry_args_probe.exe") + "\"   one two",
                           60000);
    ASSERT_TRUE(run.started);
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(7u, run.exitCode);
    EXPECT_EQ("instance=1 previous=0 tail=[one two] show=10\r\n", run.output);
}

TEST(Startup, StandardOutputRedirectedMakesStandardErrorTheScreen)
{
    // Inside this test program standard output is a pipe or a console; either
    // way the choice must follow GetConsoleMode on standard output.
    DWORD mode = 0;
    HANDLE expected = GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode)
                          ? GetStdHandle(STD_OUTPUT_HANDLE)
                          : GetStdHandle(STD_ERROR_HANDLE);
    EXPECT_EQ(expected, gRuntime.screen);
    EXPECT_EQ(7u, gRuntime.foreColor);
    EXPECT_EQ(0u, gRuntime.backColor);
    EXPECT_NE(nullptr, CurrentThreadState());
}

// A fatal run-time error, and a per-thread set-up that fails before the main
// procedure: each probe prints only if the run went on.
TEST(Exit, FatalErrorOrFailedPerThreadSetupEndsWith255AndPrintsNothing)
{
    for (const char* probe : {"fatal_probe.exe", "tls_exhausted_probe.exe"}) {
        ProcessOutcome run = RunCapturedProcess("\"" + SiblingProgramPath(probe) + "\"", 60000);
        ASSERT_TRUE(run.finished) << probe;
        EXPECT_EQ(255u, run.exitCode) << probe;
        EXPECT_EQ("", run.output) << probe;
    }
}

// The screen services must let the run go on where the console has no window
// (here: standard output and error are a pipe), and no key is waited for.
TEST(ConsoleWithoutWindow, SetScreenRecordsError5AndTheRunGoesOn)
{
    ProcessOutcome run = RunCapturedProcess(
        "\"" + SiblingProgramPath("console_no_window_probe.exe") + "\"", 60000);
    ASSERT_TRUE(run.started);
    ASSERT_TRUE(run.finished) << run.output;
    EXPECT_EQ(0u, run.exitCode);
    EXPECT_NE(std::string::npos, run.output.find("[set-screen-error 5]")) << run.output;
    EXPECT_NE(std::string::npos, run.output.find("[window 0] [key 0]")) << run.output;
    // A console buffer without a window (the child gets one here): the window
    // lookup fails and sizing records 5 as well. -1: no such buffer.
    EXPECT_TRUE(run.output.find("[console-buffer-error 5] [size-kept 1]") != std::string::npos ||
                run.output.find("[console-buffer-error -1]") != std::string::npos)
        << run.output;
    EXPECT_EQ(std::string::npos, run.output.find("ancora qui")) << run.output;
}
