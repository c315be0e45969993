#include <gtest/gtest.h>

#include "tests/support/process_run.h"

TEST(Program, RunsToExitCodeZeroWithOrWithoutArguments)
{
    const std::string program = "\"" + SiblingProgramPath("copiaridotta.exe") + "\"";
    for (const char* arguments : {"", " a b c", " /?"}) {
        ProcessOutcome run = RunCapturedProcess(program + arguments, 60000);
        ASSERT_TRUE(run.started);
        ASSERT_TRUE(run.finished) << "arguments [" << arguments << "]";
        EXPECT_EQ(0u, run.exitCode) << "arguments [" << arguments << "]";
    }
}
