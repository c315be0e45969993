// Run-time errors: the platform's codes translated, the per-thread slot, and the protected calls.
#include <gtest/gtest.h>

#include "runtime/errors.h"
#include "runtime/floating_point.h"
#include "runtime/thread_state.h"
#include "tests/support/temp_folder.h"

static HANDLE OpenAlone(const char* name)
{
    return CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, 0, nullptr);
}

// Failures the run-time's services meet, made by real platform calls under
// the protected call; then the codes no call here makes: the fatal ones and
// every code from 40 on without a number of its own.
TEST(ErrorTranslation, RealFailuresAndTheCodesBeyond)
{
    TempFolder folder;
    ASSERT_TRUE(folder.made());
    HANDLE open = OpenAlone("open.txt");
    struct Case { const char* what; BOOL (*call)(); int32_t number; };
    const Case cases[] = {
        {"missing file", [] { return BOOL(GetFileAttributesA("absent.txt") != MAXDWORD); }, 53},
        {"file in use", [] { return BOOL(OpenAlone("open.txt") != INVALID_HANDLE_VALUE); }, 70},
        {"bad handle", [] { return CloseHandle(reinterpret_cast<HANDLE>(0x1230)); }, 51},
        {"no text", [] { return BOOL(MultiByteToWideChar(CP_ACP, 0, nullptr, 1, nullptr, 0)); }, 5},
    };
    for (const Case& c : cases) {
        int32_t number = -1;
        EXPECT_FALSE(ProtectedPlatformCall(c.call, &number)) << c.what;
        EXPECT_EQ(c.number, number) << c.what;
    }
    CloseHandle(open);
    for (DWORD code : {7u, 9u, 10u})
        EXPECT_EQ(241, TranslatePlatformError(code)) << "code " << code;
    for (DWORD code = 40; code < 20000; ++code) {
        if (code != 87 && code != 112) {
            ASSERT_EQ(75, TranslatePlatformError(code)) << "code " << code;
        }
    }
    EXPECT_EQ(75, TranslatePlatformError(0xFFFFFFFFu));
}

TEST(RaiseError, RecordsTheNumberAndZeroAs51)
{
    ClearRuntimeError();
    EXPECT_EQ(0, LastRuntimeError());
    RaiseError(9);
    EXPECT_EQ(9, LastRuntimeError());
    RaiseError(0);
    EXPECT_EQ(51, LastRuntimeError());
    RaiseError(240);
    EXPECT_EQ(240, LastRuntimeError()) << "240 is not fatal";
    ClearRuntimeError();
}

static DWORD WINAPI ReportOtherThreadsSlot(void*)
{
    DWORD seen = static_cast<DWORD>(LastRuntimeError());
    RaiseError(7);
    ReleaseThreadState();
    return seen;
}

TEST(RaiseError, EachThreadHasItsOwnSlot)
{
    ClearRuntimeError();
    RaiseError(5);
    HANDLE thread = CreateThread(nullptr, 0, ReportOtherThreadsSlot, nullptr, 0, nullptr);
    ASSERT_NE(nullptr, thread);
    WaitForSingleObject(thread, INFINITE);
    DWORD seenByOther = 99;
    GetExitCodeThread(thread, &seenByOther);
    CloseHandle(thread);
    EXPECT_EQ(0u, seenByOther);
    EXPECT_EQ(5, LastRuntimeError());
    ClearRuntimeError();
}

TEST(ProtectedCall, TranslatesTheLastErrorAndRestoresTheErrorMode)
{
    UINT before = SetErrorMode(0);
    SetErrorMode(before);
    int32_t number = -1;
    DWORD attributes = ProtectedPlatformCall(
        [] { return GetFileAttributesA("C:\\no\\such\\folder\\file.txt"); }, &number);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, attributes);
    EXPECT_EQ(76, number);
    UINT inside = 0;
    ProtectedPlatformCall(
        [&inside] {
            inside = SetErrorMode(0);
            SetErrorMode(inside);
            return 0;
        },
        &number);
    EXPECT_EQ(static_cast<UINT>(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX),
              inside & (SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX));
    EXPECT_EQ(0, number);
    UINT after = SetErrorMode(0);
    SetErrorMode(after);
    EXPECT_EQ(before, after);
}

TEST(ProtectedCall, KeepsTheCallersFloatingPointState)
{
    SetFloatingPointEnvironment();
    int32_t number = 0;
    ProtectedPlatformCall(
        [] {
            unsigned short single = 0x007F;   // 24-bit significand inside the call
            __asm__ volatile("fldcw %0" : : "m"(single));
            return 0;
        },
        &number);
    unsigned short controlWord = 0;
    __asm__ volatile("fnstcw %0" : "=m"(controlWord));
    EXPECT_EQ(0x033F, controlWord & 0x0F3F);
}

namespace {

volatile LONG gInside = 0;
volatile LONG gOverlaps = 0;
long gUnguardedCounter = 0;
enum { kCallsPerThread = 20000 };

DWORD WINAPI HammerProtectedCall(void*)
{
    int32_t number = 0;
    for (int i = 0; i < kCallsPerThread; ++i) {
        ProtectedPlatformCall(
            [] {
                if (InterlockedIncrement(&gInside) != 1)
                    InterlockedIncrement(&gOverlaps);
                long value = gUnguardedCounter;
                if ((value & 63) == 0)
                    SwitchToThread();
                gUnguardedCounter = value + 1;
                InterlockedDecrement(&gInside);
                return 0;
            },
            &number);
    }
    return 0;
}

}  // namespace

TEST(ProtectedCall, SerialisesCallsFromTwoThreads)
{
    HANDLE threads[2];
    for (HANDLE& thread : threads) {
        thread = CreateThread(nullptr, 0, HammerProtectedCall, nullptr, 0, nullptr);
        ASSERT_NE(nullptr, thread);
    }
    WaitForMultipleObjects(2, threads, TRUE, INFINITE);
    for (HANDLE thread : threads)
        CloseHandle(thread);
    EXPECT_EQ(0, gOverlaps);
    EXPECT_EQ(2L * kCallsPerThread, gUnguardedCounter);
}
