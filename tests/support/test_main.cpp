// Test programs start the run-time as the product does. Inside a console
// window (wineconsole) standard output is that window, so the results are
// also written to the file named by CR_RESULT_FILE for the caller to read.
#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>

#include "runtime/startup.h"

namespace {

class FileReporter : public testing::EmptyTestEventListener {
public:
    explicit FileReporter(FILE* file) : file_(file) {}
    void OnTestPartResult(const testing::TestPartResult& result) override
    {
        if (result.failed())
            fprintf(file_, "%s:%d: Failure\n%s\n", result.file_name() ? result.file_name() : "?",
                    result.line_number(), result.message());
        fflush(file_);
    }
    void OnTestEnd(const testing::TestInfo& info) override
    {
        fprintf(file_, "[ %s ] %s.%s\n", info.result()->Passed() ? "    OK" : "FAILED",
                info.test_suite_name(), info.name());
        fflush(file_);
    }
    void OnTestProgramEnd(const testing::UnitTest& unit) override
    {
        fprintf(file_, "%d passed, %d failed\n", unit.successful_test_count(),
                unit.failed_test_count());
        fflush(file_);
    }

private:
    FILE* file_;
};

}  // namespace

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    if (!RuntimeStartup())
        return 255;
    FILE* resultFile = nullptr;
    const char* resultPath = getenv("CR_RESULT_FILE");
    if (resultPath && *resultPath) {
        resultFile = fopen(resultPath, "w");
        if (resultFile)
            testing::UnitTest::GetInstance()->listeners().Append(new FileReporter(resultFile));
    }
    int status = RUN_ALL_TESTS();
    RuntimeShutdown();
    if (resultFile) {
        fprintf(resultFile, "exit %d\n", status);
        fclose(resultFile);
    }
    return status;
}
