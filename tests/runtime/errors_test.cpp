// Run-time errors: the platform's codes translated, the per-thread slot, and the protected calls.
#include <gtest/gtest.h>

#include "runtime/errors.h"
#include "runtime/floating_point.h"
#include "runtime/thread_state.h"

TEST(ErrorTranslation, EveryNamedCodeAndTheRanges)
{
    struct Row { DWORD code; int32_t number; };
    const Row rows[] = {
        {0, 0},    {1, 75},   {16, 75},  {37, 75},  {2, 53},   {18, 53},  {3, 76},
        {4, 67},   {5, 70},   {19, 70},  {32, 70},  {33, 70},  {36, 70},  {6, 51},
        {11, 51},  {12, 51},  {13, 51},  {22, 51},  {24, 51},  {7, 241},  {9, 241},
        {10, 241}, {8, 7},    {14, 7},   {15, 68},  {20, 68},  {17, 74},  {21, 71},
        {23, 72},  {25, 72},  {26, 72},  {27, 72},  {28, 72},  {29, 72},  {30, 72},
        {31, 72},  {34, 72},  {35, 72},  {38, 62},  {39, 61},  {112, 61}, {87, 5},
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.number, TranslatePlatformError(row.code)) << "code " << row.code;
    // Every code from 40 on that has no row of its own.
    for (DWORD code = 40; code < 20000; ++code) {
        if (code == 87 || code == 112)
            continue;
        ASSERT_EQ(75, TranslatePlatformError(code)) << "code " << code;
    }
    EXPECT_EQ(75, TranslatePlatformError(0xFFFFFFFFu));
    EXPECT_EQ(75, TranslatePlatformError(ERROR_NOT_SUPPORTED));
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
