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
    SurfaceRecord* record = lockCurrentSurface();
    ASSERT_NE(nullptr, record);
    HDC dc = record->memoryDC;
    uint32_t control = record->handle;
    HANDLE closer = CreateThread(nullptr, 0, CloseFromOutside, frameWindow, 0, nullptr);
    ASSERT_NE(nullptr, closer);
    PumpFor(300);
    EXPECT_EQ(record, findObject(control)) << "released while still in use";
    EXPECT_EQ(static_cast<DWORD>(OBJ_MEMDC), GetObjectType(dc));
    RECT area = {0, 0, 40, 30};
    EXPECT_NE(0, FillRect(dc, &area, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))));
    markDrawn(record);   // repaints a control that is already gone

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
    PumpFor(100);
    SurfaceRecord* record = lockCurrentSurface();
    ASSERT_NE(nullptr, record);
    clearSurfaceFlags(record, kFlagForceRedraw);
    PumpFor(100);   // the window thread finds the lock busy
    EXPECT_TRUE(record->flags & kFlagForceRedraw);
    RECT area = {0, 0, 40, 30};
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    FillRect(record->memoryDC, &area, red);
    DeleteObject(red);
    markDrawn(record);   // forced: on the screen before it returns
    EXPECT_EQ(40 * 30, CountValue(ReadClientFromScreen(SurfaceToHandle<HWND>(frame)), 0xFF0000));
    EXPECT_FALSE(record->flags & (kFlagForceRedraw | kFlagDirty));
    closeGraphicWindow();
}
