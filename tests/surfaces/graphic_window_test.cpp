// Graphic windows: size, class, close by program and user, what the screen shows, deferred redraw,
// leaks.
#include <gtest/gtest.h>
#include <algorithm>
#include <windows.h>
#include <tlhelp32.h>

#include "runtime/errors.h"
#include "runtime/font_list.h"
#include "surface_test_support.h"
#include "surfaces/surfaces.h"

namespace {

const COLORREF kRed = RGB(255, 0, 0);
const COLORREF kBlue = RGB(0, 0, 255);

HWND Frame(uint32_t handle)
{
    return SurfaceToHandle<HWND>(handle);
}

HWND Picture(uint32_t frame)
{
    return GetDlgItem(Frame(frame), 0);
}

void Close(uint32_t frame)
{
    attachSurface(frame, 0, false);
    closeGraphicWindow();
}

int ThreadsOfThisProcess()
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return -1;
    int count = 0;
    THREADENTRY32 entry;
    entry.dwSize = sizeof(entry);
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        count += entry.th32OwnerProcessID == GetCurrentProcessId();
    CloseHandle(snapshot);
    return count;
}

DWORD HandleCount()
{
    DWORD count = 0;
    GetProcessHandleCount(GetCurrentProcess(), &count);
    return count;
}

// Wine answers 0 for the handle count; its handle table gives out the lowest
// free slot, so a leaked handle shows as a higher value for a new one.
uintptr_t NextHandleValue()
{
    HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    uintptr_t value = reinterpret_cast<uintptr_t>(event);
    CloseHandle(event);
    return value;
}

// Wine answers 0 for the GDI object count too. Its GDI table gives out freed
// slots before new ones, so when many objects are made at once the highest
// slot (a handle's low 16 bits) is the number of live objects plus those made.
int GdiObjectsInUse()
{
    enum { kProbes = 1000 };
    static HBRUSH brushes[kProbes];
    int highest = 0;
    for (HBRUSH& brush : brushes) {
        brush = CreateSolidBrush(0);
        highest = std::max(highest, static_cast<int>(LOWORD(reinterpret_cast<uintptr_t>(brush))));
    }
    for (HBRUSH brush : brushes)
        DeleteObject(brush);
    return highest - kProbes;
}

// What a leak would raise; Wine answers 0 to the first two.
struct Resources {
    DWORD gdi, user, handles;
    uintptr_t nextHandle;
    int gdiInUse, threads;
    int32_t fontUsers;
};

Resources CountResources()
{
    HANDLE process = GetCurrentProcess();
    return {GetGuiResources(process, GR_GDIOBJECTS), GetGuiResources(process, GR_USEROBJECTS),
            HandleCount(), NextHandleValue(), GdiObjectsInUse(), ThreadsOfThisProcess(),
            gFonts[0].useCount};
}

}  // namespace

TEST(GraphicWindow, ClientAreaIsExactlyTheRequestedSize)
{
    struct Case { const char* caption; bool titleBar; };
    for (const Case& c : {Case{"", false}, Case{"Anteprima", true}}) {
        uint32_t frame = openGraphicWindow(DynStr(c.caption), 30, 40, 123, 77, 0);
        ASSERT_NE(0u, frame) << c.caption;
        RECT client;
        GetClientRect(Frame(frame), &client);
        EXPECT_EQ(123, client.right) << c.caption;
        EXPECT_EQ(77, client.bottom) << c.caption;
        LONG style = GetWindowLongA(Frame(frame), GWL_STYLE);
        EXPECT_EQ(0x808A0000, style & 0x808A0000);
        EXPECT_EQ(c.titleBar, (style & WS_CAPTION) == WS_CAPTION) << c.caption;

        HWND picture = Picture(frame);
        ASSERT_NE(nullptr, picture);
        GetClientRect(picture, &client);
        EXPECT_EQ(123, client.right);
        EXPECT_EQ(77, client.bottom);
        ClearRuntimeError();
        attachSurface(frame, 0, false);
        EXPECT_EQ(0, LastRuntimeError());
        long double width, height;
        surfaceSize(&width, &height);
        EXPECT_EQ(123, width);
        EXPECT_EQ(77, height);
        closeGraphicWindow();
        EXPECT_FALSE(IsWindow(Frame(frame)));
    }
}

TEST(GraphicWindow, FrameWithAnUnknownControlIdIsRejected)
{
    uint32_t frame = openGraphicWindow(DynStr(""), 0, 0, 20, 20, 0);
    ASSERT_NE(0u, frame);
    ClearRuntimeError();
    attachSurface(frame, 5, false);
    EXPECT_EQ(kErrBadArgument, LastRuntimeError()) << "the frame itself is no surface";
    EXPECT_EQ(nullptr, surfaceDC());
    ClearRuntimeError();
    attachSurface(HandleToSurface(Picture(frame)), 0, false);
    EXPECT_EQ(0, LastRuntimeError()) << "the picture control named directly";
    endBitmapSurface();
    EXPECT_NE(nullptr, surfaceDC()) << "a window surface is not ended as a bitmap";
    EXPECT_TRUE(IsWindow(Frame(frame)));
    closeGraphicWindow();
}

TEST(GraphicWindow, ClassIsRegisteredOnceForTwoWindows)
{
    uint32_t first = openGraphicWindow(DynStr(""), 0, 0, 40, 40, 0);
    uint32_t second = openGraphicWindow(DynStr("Due"), 50, 0, 40, 40, 0);
    ASSERT_NE(0u, first);
    ASSERT_NE(0u, second) << "registering the class again would fail the second window";
    char name[32] = "";
    GetClassNameA(Frame(second), name, sizeof(name));
    EXPECT_STREQ("KORVANTAGRAPH", name);
    EXPECT_EQ(GetClassLongPtrA(Frame(first), GCW_ATOM), GetClassLongPtrA(Frame(second), GCW_ATOM));
    EXPECT_NE(GetWindowThreadProcessId(Frame(first), nullptr),
              GetWindowThreadProcessId(Frame(second), nullptr))
        << "each window has a thread of its own";
    Close(first);
    Close(second);
    EXPECT_FALSE(IsWindow(Frame(first)));
    EXPECT_FALSE(IsWindow(Frame(second)));
}

TEST(GraphicWindow, CloseReleasesTheSurfaceAndAttachRaises5)
{
    uint32_t frame = openGraphicWindow(DynStr(""), 0, 0, 50, 30, 0);
    ASSERT_NE(0u, frame);
    attachSurface(frame, 0, false);
    HDC dc = surfaceDC();
    HGDIOBJ bitmap = GetCurrentObject(dc, OBJ_BITMAP);
    ASSERT_NE(nullptr, bitmap);
    closeGraphicWindow();
    EXPECT_FALSE(IsWindow(Frame(frame)));
    EXPECT_EQ(nullptr, surfaceDC()) << "the closed control behaves as none";
    EXPECT_EQ(0u, GetObjectType(dc));
    EXPECT_EQ(0u, GetObjectType(bitmap));
    ClearRuntimeError();
    attachSurface(frame, 0, false);
    EXPECT_EQ(kErrBadArgument, LastRuntimeError());
    closeGraphicWindow();   // nothing current: nothing happens
}

TEST(GraphicWindow, WindowClosedByTheUserIsSurvived)
{
    uint32_t frame = openGraphicWindow(DynStr(""), 0, 0, 60, 40, 0);
    ASSERT_NE(0u, frame);
    attachSurface(frame, 0, false);
    clearSurface(kRed, 0);
    SendMessageA(Frame(frame), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_FALSE(IsWindow(Frame(frame)));
    ClearRuntimeError();
    clearSurface(kBlue, 0);
    printText(DynStr("dopo"));
    EXPECT_EQ(0, getBits().length());
    EXPECT_EQ(0, LastRuntimeError());
    attachSurface(frame, 0, false);
    EXPECT_EQ(kErrBadArgument, LastRuntimeError());
}

static DWORD WINAPI CloseLater(void* frame)
{
    Sleep(30);
    PostMessageA(static_cast<HWND>(frame), WM_SYSCOMMAND, SC_CLOSE, 0);
    return 0;
}

TEST(GraphicWindow, WindowClosedWhileTheProgramDraws)
{
    for (int round = 0; round < 20; ++round) {
        uint32_t frame = openGraphicWindow(DynStr(""), 0, 0, 200, 100, 0);
        ASSERT_NE(0u, frame);
        attachSurface(frame, 0, false);
        HANDLE closer = CreateThread(nullptr, 0, CloseLater, Frame(frame), 0, nullptr);
        ASSERT_NE(nullptr, closer);
        DWORD start = GetTickCount();
        while (IsWindow(Frame(frame)) && GetTickCount() - start < 3000) {
            clearSurface(kRed, 0);
            setPosition(0, 0);
            printText(DynStr("Copia ridotta"));
            getBits();
        }
        WaitForSingleObject(closer, INFINITE);
        CloseHandle(closer);
        EXPECT_FALSE(IsWindow(Frame(frame)));
        EXPECT_EQ(nullptr, surfaceDC());
    }
}

TEST(GraphicWindow, ScreenShowsButtonFaceThenWhatIsDrawn)
{
    uint32_t frame = openGraphicWindow(DynStr(""), 100, 100, 64, 48, 0);
    ASSERT_NE(0u, frame);
    ASSERT_EQ(64u * 48u, ReadClientFromScreen(Frame(frame)).size());
    EXPECT_EQ(64 * 48, WaitForScreenCount(Frame(frame), AsRgb(GetSysColor(COLOR_BTNFACE)), 64 * 48));

    attachSurface(frame, 0, false);
    clearSurface(kRed, 0);   // clearing repaints at once
    EXPECT_EQ(64 * 48, WaitForScreenCount(Frame(frame), AsRgb(kRed), 64 * 48));

    // An ordinary drawing operation is left to the window thread's loop.
    DynStr blue = getBits();
    for (int i = 8; i < blue.length(); i += 4) {
        blue.mutableBytes()[i] = static_cast<char>(255);
        blue.mutableBytes()[i + 2] = 0;
    }
    setBits(blue);
    EXPECT_EQ(64 * 48, WaitForScreenCount(Frame(frame), AsRgb(kBlue), 64 * 48));
    closeGraphicWindow();
}

TEST(GraphicWindow, DeferredRedrawKeepsDrawingsOffTheScreen)
{
    uint32_t frame = openGraphicWindow(DynStr(""), 200, 100, 64, 48, 0);
    ASSERT_NE(0u, frame);
    ASSERT_EQ(64 * 48, WaitForScreenCount(Frame(frame), AsRgb(GetSysColor(COLOR_BTNFACE)), 64 * 48));
    attachSurface(frame, 0, true);
    clearSurface(kRed, 0);
    printText(DynStr("Copia"));
    // A send returns once the window thread is in its loop again: between two
    // it has made an idle pass over the drawing, then the screen has time.
    for (int send = 0; send < 2; ++send)
        ASSERT_NE(0, SendMessageTimeoutA(Frame(frame), WM_NULL, 0, 0, SMTO_NORMAL, 10000, nullptr));
    Sleep(300);
    std::vector<uint32_t> screen = ReadClientFromScreen(Frame(frame));
    EXPECT_EQ(64 * 48, CountValue(screen, AsRgb(GetSysColor(COLOR_BTNFACE))));
    EXPECT_EQ(0, CountValue(screen, AsRgb(kRed)));

    redrawSurface();
    std::vector<uint32_t> memory = ReadPixels(surfaceDC(), 0, 0, 64, 48);
    WaitForScreenCount(Frame(frame), AsRgb(kRed), CountValue(memory, AsRgb(kRed)));
    screen = ReadClientFromScreen(Frame(frame));
    EXPECT_EQ(memory, screen) << "the screen shows the memory bitmap";
    EXPECT_GT(CountValue(screen, AsRgb(kRed)), 64 * 48 / 2);
    closeGraphicWindow();
}

TEST(GraphicWindow, ManyOpenCloseCyclesLeakNothing)
{
    // One cycle first: the shared font and the class are made once per process.
    uint32_t frame = openGraphicWindow(DynStr(""), 0, 0, 30, 30, 0);
    ASSERT_NE(0u, frame);
    Close(frame);
    Sleep(100);
    Resources before = CountResources();

    for (int cycle = 0; cycle < 200; ++cycle) {
        frame = openGraphicWindow(DynStr(cycle % 2 ? "Anteprima" : ""), 10, 10, 40 + cycle % 7,
                                  30, 0);
        ASSERT_NE(0u, frame) << "cycle " << cycle;
        attachSurface(frame, 0, false);
        clearSurface(kRed, 0);
        printText(DynStr("x"));
        closeGraphicWindow();
        ASSERT_FALSE(IsWindow(Frame(frame))) << "cycle " << cycle;
    }
    Sleep(100);
    Resources after = CountResources();
    printf("GDI objects %lu -> %lu, user objects %lu -> %lu, handles %lu -> %lu, "
           "next handle %#llx -> %#llx, GDI objects in use %d -> %d, threads %d -> %d\n",
           before.gdi, after.gdi, before.user, after.user, before.handles, after.handles,
           static_cast<unsigned long long>(before.nextHandle),
           static_cast<unsigned long long>(after.nextHandle), before.gdiInUse, after.gdiInUse,
           before.threads, after.threads);
    // Small tolerances: the system may keep a few objects of its own.
    EXPECT_LE(after.gdi, before.gdi + 5);
    EXPECT_LE(after.user, before.user + 5);
    EXPECT_LE(after.handles, before.handles + 5);
    EXPECT_LE(after.nextHandle, before.nextHandle + 5 * 4);
    EXPECT_LE(after.gdiInUse, before.gdiInUse + 5);
    EXPECT_EQ(before.threads, after.threads);
    EXPECT_EQ(before.fontUsers, after.fontUsers);
}

TEST(GraphicWindow, FailedSetUpReturnsZeroAndLeavesNothingBehind)
{
    int threadsBefore = ThreadsOfThisProcess();
    // A child style without a parent: the frame cannot be made.
    EXPECT_EQ(0u, openGraphicWindow(DynStr(""), 0, 0, 20, 20, WS_CHILD | WS_VISIBLE));
    // Too large for a memory bitmap: the frame is made, the picture is not.
    EXPECT_EQ(0u, openGraphicWindow(DynStr(""), 0, 0, 30000, 30000, 0));
    Sleep(100);
    EXPECT_EQ(nullptr, FindWindowA("KORVANTAGRAPH", nullptr));
    EXPECT_EQ(threadsBefore, ThreadsOfThisProcess());
}
