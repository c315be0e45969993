#include <gtest/gtest.h>

#include "tests/support/process_run.h"

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
