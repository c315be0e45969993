// The graphics lock between a drawing thread and a window's own thread.
#include <gtest/gtest.h>

#include "surface_test_support.h"
#include "surfaces/surface_internal.h"
#include "surfaces/surfaces.h"

static DWORD WINAPI CloseFromOutside(void* frame)
{
    SendMessageA(static_cast<HWND>(frame), WM_SYSCOMMAND, SC_CLOSE, 0);
    return 0;
}

TEST(GraphicsLock, WindowClosedDuringADrawingOperationWaitsForItsEnd)
{
    uint32_t frame = openGraphicWindow(DynStr(""), 0, 0, 40, 30, 0);
    ASSERT_NE(0u, frame);
    HWND frameWindow = SurfaceToHandle<HWND>(frame);
    attachSurface(frame, 0, false);

    // A drawing operation in progress: the record and its DC are in use.
    CurrentSurfaceLock surface;
    SurfaceRecord* record = surface.record();
    ASSERT_NE(nullptr, record);
    HDC dc = record->memory.dc;
    uint32_t control = record->handle;
    LONG waits = windowThreadLockWaits();
    HANDLE closer = CreateThread(nullptr, 0, CloseFromOutside, frameWindow, 0, nullptr);
    ASSERT_NE(nullptr, closer);
    // A record still there proves the lock only once the window thread waits for it.
    for (DWORD start = GetTickCount(); windowThreadLockWaits() == waits; Sleep(1))
        ASSERT_LT(GetTickCount() - start, 10000u) << "the window thread never waited for the lock";
    EXPECT_EQ(record, findObject(control)) << "released while still in use";
    EXPECT_EQ(static_cast<DWORD>(OBJ_MEMDC), GetObjectType(dc));
    RECT area = {0, 0, 40, 30};
    EXPECT_NE(0, FillRect(dc, &area, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))));
    surface.markDrawn();   // repaints a control that is already gone

    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(closer, 5000));
    CloseHandle(closer);
    EXPECT_FALSE(IsWindow(frameWindow));
    EXPECT_EQ(nullptr, findObject(control));
    EXPECT_EQ(0u, GetObjectType(dc));
}

TEST(GraphicsLock, BusyLockMakesTheNextOperationRepaint)
{
    uint32_t frame = openGraphicWindow(DynStr(""), 300, 0, 40, 30, 0);
    ASSERT_NE(0u, frame);
    attachSurface(frame, 0, false);
    // Given back when the guard goes; the window thread may hold it a moment.
    { CurrentSurfaceLock unused; }
    for (DWORD start = GetTickCount(); !tryLockGraphics();)
        ASSERT_LT(GetTickCount() - start, 5000u) << "the guard kept the graphics lock";
    unlockGraphics();
    CurrentSurfaceLock surface;
    SurfaceRecord* record = surface.record();
    ASSERT_NE(nullptr, record);
    clearSurfaceFlags(record, kFlagForceRedraw);
    // The window thread finds the lock busy.
    for (DWORD start = GetTickCount();
         !(record->flags & kFlagForceRedraw) && GetTickCount() - start < 5000;)
        Sleep(5);
    EXPECT_TRUE(record->flags & kFlagForceRedraw);
    RECT area = {0, 0, 40, 30};
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    FillRect(record->memory.dc, &area, red);
    DeleteObject(red);
    surface.markDrawn();   // forced: on the screen before it returns
    EXPECT_EQ(40 * 30, WaitForScreenCount(SurfaceToHandle<HWND>(frame), 0xFF0000, 40 * 30));
    EXPECT_FALSE(record->flags & (kFlagForceRedraw | kFlagDirty));
    closeGraphicWindow();
}

namespace {

volatile LONG gStopRepainting = 0;

// What the system does to a window on a desktop: repaints it at any moment,
// from other threads, synchronously.
DWORD WINAPI RepaintUntilStopped(void* frame)
{
    while (!gStopRepainting)
        RedrawWindow(static_cast<HWND>(frame), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    return 0;
}

}  // namespace

TEST(GraphicsLock, RepaintsFromOtherThreadsNeverSpoilACapture)
{
    const int kWidth = 120, kHeight = 40, kRounds = 3000;
    const COLORREF kPhoto = RGB(0, 0, 255);
    uint32_t photo = newBitmapSurface(kWidth, kHeight);
    ASSERT_NE(0u, photo);
    attachSurface(photo, 0, false);
    clearSurface(static_cast<int32_t>(kPhoto), 0);
    uint32_t frame = openGraphicWindow(DynStr(""), 0, 0, kWidth, kHeight, 0);
    ASSERT_NE(0u, frame);

    gStopRepainting = 0;
    HANDLE repainters[2];
    for (HANDLE& repainter : repainters) {
        repainter = CreateThread(nullptr, 0, RepaintUntilStopped, SurfaceToHandle<HWND>(frame), 0,
                                 nullptr);
        ASSERT_NE(nullptr, repainter);
    }
    int empty = 0, withoutPhoto = 0, withoutText = 0;
    attachSurface(frame, 0, false);
    for (int round = 0; round < kRounds; ++round) {
        clearSurface(0xFFFFFF, 0);
        copySurface(photo, 0, 0, 0, 0xCC0020);
        setForeColor(0);
        setBackColor(kColorNone);
        setPosition(0, 0);
        printText(DynStr("Copia"));
        DynStr block = getBits();
        if (block.length() != 8 + 4 * kWidth * kHeight) {
            ++empty;
            continue;
        }
        const unsigned char* pixels = reinterpret_cast<const unsigned char*>(block.bytes()) + 8;
        // The bottom-right pixel lies outside the text: the photo's blue.
        const unsigned char* corner = pixels + 4 * (kWidth * kHeight - 1);
        withoutPhoto += !(corner[0] == 255 && corner[1] == 0 && corner[2] == 0);
        bool black = false;
        for (int i = 0; i < 4 * kWidth * 16 && !black; i += 4)
            black = pixels[i] == 0 && pixels[i + 1] == 0 && pixels[i + 2] == 0;
        withoutText += !black;
    }
    InterlockedExchange(&gStopRepainting, 1);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForMultipleObjects(2, repainters, TRUE, 10000));
    for (HANDLE repainter : repainters)
        CloseHandle(repainter);
    closeGraphicWindow();
    attachSurface(photo, 0, false);
    endBitmapSurface();
    EXPECT_EQ(0, empty) << "of " << kRounds << " captures";
    EXPECT_EQ(0, withoutPhoto) << "of " << kRounds << " captures";
    EXPECT_EQ(0, withoutText) << "of " << kRounds << " captures";
}
