// The wrappers the bench is linked with (see call_timers.h and the --wrap
// list in tests/CMakeLists.txt). Each passes straight through on other
// threads and outside a timed batch.
#include "tests/bench/call_timers.h"

#include <windows.h>
#include <string.h>

#include "imaging/gdiplus_flat.h"
#include "imaging/imaging_internal.h"
#include "runtime/dynstr.h"
#include "tests/support/link_wraps.h"

const char* const kBenchPartNames[kPartCount] = {
    "what is left (loop, list, names)",
    "prescribed pauses (40 + 10 ms)",
    "own short waits (Sleep 0-2 ms)",
    "library: load",
    "library: draw",
    "library: save",
    "library: bitmap for the save",
    "library: sessions",
    "library: other calls",
    "window: close",
    "window: open (own work)",
    "window: thread start",
    "copy onto the window",
    "stamp",
    "capture",
    "canvas bitmap",
    "save's bitmap from the block",
    "reduction's own steps",
    "turn upright: working bitmap",
    "turn upright: own pixel moves",
    "save's own steps",
    "console",
};

const PartUse kBenchPartUse[kPartCount] = {
    kMayNotRun,        // what is left: no wrap enters it
    kRunsAlways,       // pauses
    kMayNotRun,        // short waits
    kRunsAlways,       // library: load
    kRunsAlways,       // library: draw
    kRunsAlways,       // library: save
    kRunsAlways,       // library: bitmap for the save
    kRunsAlways,       // library: sessions
    kRunsAlways,       // library: other calls
    kRunsAlways,       // window: close
    kRunsAlways,       // window: open
    kRunsAlways,       // window: thread start
    kRunsAlways,       // copy onto the window
    kRunsAlways,       // stamp
    kRunsAlways,       // capture
    kRunsAlways,       // canvas bitmap
    kRunsAlways,       // save's bitmap
    kRunsAlways,       // reduction's own steps
    kRunsWhenTagged,   // turn upright: working bitmap
    kRunsWhenTagged,   // turn upright: own pixel moves
    kRunsAlways,       // save's own steps
    kRunsAlways,       // console
};

const char* const kWindowCallNames[kWindowCallCount] = {
    "CreateWindowExA (frame, picture)",
    "SetWindowPos",
    "ShowWindow",
};

namespace {

bool gTiming = false;
DWORD gMainThread = 0;
int gCurrent = kPartLeft;
int64_t gLast = 0;
BenchTimes gTimes;

int64_t Ticks()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

// Charges what ran so far to the part that was running; -1 when not timing.
int Enter(int part)
{
    if (!gTiming || GetCurrentThreadId() != gMainThread)
        return -1;
    int64_t now = Ticks();
    gTimes.ticks[gCurrent] += now - gLast;
    gLast = now;
    int saved = gCurrent;
    gCurrent = part;
    ++gTimes.calls[part];
    return saved;
}

void Leave(int saved)
{
    if (saved < 0)
        return;
    int64_t now = Ticks();
    gTimes.ticks[gCurrent] += now - gLast;
    gLast = now;
    gCurrent = saved;
}

struct Charge {
    explicit Charge(int part) : saved(Enter(part)) {}
    ~Charge() { Leave(saved); }
    int saved;
};

// A surface call belongs to the turn's working bitmap while a tagged photo
// is drawn, to the save while the save runs, else to its own part.
int SurfacePart(int otherwise)
{
    if (gCurrent == kPartTurnBitmap)
        return kPartTurnBitmap;
    return gCurrent == kPartSaveOwn ? kPartSaveBitmap : otherwise;
}

}  // namespace

void BenchStart()
{
    memset(&gTimes, 0, sizeof(gTimes));
    gMainThread = GetCurrentThreadId();
    gCurrent = kPartLeft;
    gLast = Ticks();
    gTiming = true;
}

BenchTimes BenchStop()
{
    gTimes.ticks[gCurrent] += Ticks() - gLast;
    gTiming = false;
    return gTimes;
}

double BenchTicksPerMs()
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(frequency.QuadPart) / 1000.0;
}

// Library calls: plain (non-dllimport) declarations, so --wrap=Name (with the
// @N of the 32-bit stdcall names) reaches them.
#define WRAP_GDIP(part, name, params, args)          \
    extern "C" GpStatus WINAPI __real_##name params; \
    extern "C" GpStatus WINAPI __wrap_##name params  \
    {                                                \
        Charge charge(part);                         \
        return __real_##name args;                   \
    }

WRAP_GDIP(kPartLibSessions, GdiplusStartup,
          (ULONG_PTR* token, const GdipStartupInput* input, void* output), (token, input, output))
WRAP_GDIP(kPartLibLoad, GdipLoadImageFromFile, (const WCHAR* fileName, GpImage** image),
          (fileName, image))
WRAP_GDIP(kPartLibOther, GdipGetImageWidth, (GpImage* image, UINT* width), (image, width))
WRAP_GDIP(kPartLibOther, GdipGetImageHeight, (GpImage* image, UINT* height), (image, height))
WRAP_GDIP(kPartLibOther, GdipDisposeImage, (GpImage* image), (image))
WRAP_GDIP(kPartLibOther, GdipCreateFromHDC, (HDC dc, GpGraphics** graphics), (dc, graphics))
WRAP_GDIP(kPartLibOther, GdipDeleteGraphics, (GpGraphics* graphics), (graphics))
WRAP_GDIP(kPartLibDraw, GdipDrawImageRectI,
          (GpGraphics* graphics, GpImage* image, INT x, INT y, INT width, INT height),
          (graphics, image, x, y, width, height))
WRAP_GDIP(kPartLibSaveBitmap, GdipCreateBitmapFromHBITMAP,
          (HBITMAP bitmap, HPALETTE palette, GpBitmap** result), (bitmap, palette, result))
WRAP_GDIP(kPartLibSave, GdipSaveImageToFile,
          (GpImage* image, const WCHAR* fileName, const CLSID* encoder, const void* parameters),
          (image, fileName, encoder, parameters))
WRAP_GDIP(kPartLibOther, GdipGetImageEncodersSize, (UINT* count, UINT* size), (count, size))
WRAP_GDIP(kPartLibOther, GdipGetImageEncoders,
          (UINT count, UINT size, GdipImageCodecInfo* encoders), (count, size, encoders))

extern "C" VOID WINAPI __real_GdiplusShutdown(ULONG_PTR token);
extern "C" VOID WINAPI __wrap_GdiplusShutdown(ULONG_PTR token)
{
    Charge charge(kPartLibSessions);
    __real_GdiplusShutdown(token);
}

extern "C" int32_t WINAPI __real_fGDIp_2hBMP(BSTR fileName, uint32_t target, int32_t reserved,
                                             int32_t fillColor);
extern "C" int32_t WINAPI __wrap_fGDIp_2hBMP(BSTR fileName, uint32_t target, int32_t reserved,
                                             int32_t fillColor)
{
    Charge charge(kPartReductionOwn);
    return __real_fGDIp_2hBMP(fileName, target, reserved, fillColor);
}

// Program steps: C++ functions, wrapped under their mangled names (the same
// on both builds; the 32-bit one adds the leading underscore of C names).
#define STR2(x) #x
#define STR(x) STR2(x)
#define CXX_SYMBOL(prefix, mangled) STR(__USER_LABEL_PREFIX__) prefix mangled

#define WRAP_STEP(part, ret, mangled, params, args)                          \
    ret real_##mangled params asm(CXX_SYMBOL("__real_", #mangled));          \
    ret wrap_##mangled params asm(CXX_SYMBOL("__wrap_", #mangled));          \
    ret wrap_##mangled params                                                \
    {                                                                        \
        Charge charge(part);                                                 \
        return real_##mangled args;                                          \
    }

WRAP_STEP(kPartWindowClose, void, _Z18closeGraphicWindowv, (), ())
WRAP_STEP(kPartWindowOpen, uint32_t, _Z17openGraphicWindowRK6DynStriiiij,
          (const DynStr& caption, int32_t x, int32_t y, int32_t width, int32_t height,
           uint32_t style),
          (caption, x, y, width, height, style))
WRAP_STEP(kPartCopyToWindow, void, _Z11copySurfacejieei,
          (uint32_t source, int32_t control, long double x, long double y, int32_t mix),
          (source, control, x, y, mix))
WRAP_STEP(kPartStamp, void, _Z11setPositionee, (long double x, long double y), (x, y))
WRAP_STEP(kPartStamp, void, _Z9printTextRK6DynStr, (const DynStr& text), (text))
WRAP_STEP(kPartStamp, void, _Z7newLinev, (), ())
WRAP_STEP(kPartStamp, void, _Z12setForeColori, (int32_t color), (color))
WRAP_STEP(kPartStamp, void, _Z12setBackColori, (int32_t color), (color))
WRAP_STEP(SurfacePart(kPartCapture), DynStr, _Z7getBitsv, (), ())
WRAP_STEP(SurfacePart(kPartCanvas), void, _Z12clearSurfaceii, (int32_t color, int32_t style),
          (color, style))
WRAP_STEP(SurfacePart(kPartCanvas), uint32_t, _Z16newBitmapSurfaceii,
          (int32_t width, int32_t height), (width, height))
WRAP_STEP(SurfacePart(kPartCanvas), void, _Z16endBitmapSurfacev, (), ())
WRAP_STEP(SurfacePart(kPartSaveBitmap), void, _Z7setBitsRK6DynStr, (const DynStr& block),
          (block))
WRAP_STEP(kPartReductionOwn, int32_t, _Z11ReduceImagePjRK6DynStrPiS3_i,
          (uint32_t* window, const DynStr& fileName, int32_t* width, int32_t* height,
           int32_t sizeMode),
          (window, fileName, width, height, sizeMode))
WRAP_STEP(kPartTurnBitmap, GpStatus, _Z17DrawTurnedUprightP7GpImagei9Placementiii,
          (GpImage* image, int32_t orientation, Placement place, int32_t width, int32_t height,
           int32_t fillColor),
          (image, orientation, place, width, height, fillColor))
WRAP_STEP(kPartTurnOwn, bool, _Z10MoveTurnedRK6DynStr9PlacementiPS_ii,
          (const DynStr& from, Placement area, int32_t orientation, DynStr* to, int32_t toX,
           int32_t toY),
          (from, area, orientation, to, toX, toY))
WRAP_STEP(kPartReductionOwn, void, _Z15fGDIp_ImageSizeRK6DynStrPiS2_,
          (const DynStr& fileName, int32_t* width, int32_t* height), (fileName, width, height))
WRAP_STEP(kPartSaveOwn, int32_t, _Z15SaveReducedCopyRK6DynStrPiS2_,
          (const DynStr& outputName, int32_t* width, int32_t* height),
          (outputName, width, height))
WRAP_STEP(kPartConsole, void, _Z12ConsolePrintRK6DynStr, (const DynStr& text), (text))
WRAP_STEP(kPartConsole, void, _Z14ConsoleNewLinev, (), ())

// System calls are dllimport: the wrap replaces their import slots.

typedef VOID(WINAPI* SleepCall)(DWORD);
typedef HANDLE(WINAPI* CreateThreadCall)(LPSECURITY_ATTRIBUTES, SIZE_T, LPTHREAD_START_ROUTINE,
                                         LPVOID, DWORD, LPDWORD);
typedef DWORD(WINAPI* WaitCall)(DWORD, const HANDLE*, BOOL, DWORD);
typedef HWND(WINAPI* CreateWindowCall)(DWORD, LPCSTR, LPCSTR, DWORD, int, int, int, int, HWND,
                                       HMENU, HINSTANCE, LPVOID);
typedef BOOL(WINAPI* SetWindowPosCall)(HWND, HWND, int, int, int, int, UINT);
typedef BOOL(WINAPI* ShowWindowCall)(HWND, int);

extern "C" {
extern SleepCall realSleep asm(IMPORT_SLOT("__real_", Sleep, 4));
extern CreateThreadCall realCreateThread asm(IMPORT_SLOT("__real_", CreateThread, 24));
extern WaitCall realWait asm(IMPORT_SLOT("__real_", WaitForMultipleObjects, 16));
extern CreateWindowCall realCreateWindow asm(IMPORT_SLOT("__real_", CreateWindowExA, 48));
extern SetWindowPosCall realSetWindowPos asm(IMPORT_SLOT("__real_", SetWindowPos, 28));
extern ShowWindowCall realShowWindow asm(IMPORT_SLOT("__real_", ShowWindow, 8));
}

static VOID WINAPI TimedSleep(DWORD ms)
{
    Charge charge(ms == 40 || ms == 10 ? kPartPauses : kPartShortWaits);
    realSleep(ms);
}

// Only the window's opening starts its thread; other threads (the turn's
// helper) stay with the step that starts them.
static HANDLE WINAPI TimedCreateThread(LPSECURITY_ATTRIBUTES security, SIZE_T stack,
                                       LPTHREAD_START_ROUTINE start, LPVOID parameter,
                                       DWORD flags, LPDWORD id)
{
    Charge charge(gCurrent == kPartWindowOpen ? kPartWindowThread : gCurrent);
    return realCreateThread(security, stack, start, parameter, flags, id);
}

static DWORD WINAPI TimedWait(DWORD count, const HANDLE* handles, BOOL all, DWORD timeout)
{
    Charge charge(kPartWindowThread);
    return realWait(count, handles, all, timeout);
}

// Timed on the window thread only, while the batch is timed; the main thread
// reads the sums after the last window and its thread are gone.
struct WindowThreadCharge {
    explicit WindowThreadCharge(WindowCall call)
        : call(call), start(gTiming && GetCurrentThreadId() != gMainThread ? Ticks() : 0) {}
    ~WindowThreadCharge()
    {
        if (!start)
            return;
        InterlockedExchangeAdd64(&gTimes.windowThreadTicks[call], Ticks() - start);
        InterlockedIncrement64(&gTimes.windowThreadCalls[call]);
    }
    WindowCall call;
    int64_t start;
};

static HWND WINAPI TimedCreateWindow(DWORD exStyle, LPCSTR className, LPCSTR title, DWORD style,
                                     int x, int y, int width, int height, HWND parent, HMENU menu,
                                     HINSTANCE instance, LPVOID parameter)
{
    WindowThreadCharge charge(kCallCreateWindow);
    return realCreateWindow(exStyle, className, title, style, x, y, width, height, parent, menu,
                            instance, parameter);
}

static BOOL WINAPI TimedSetWindowPos(HWND window, HWND after, int x, int y, int width, int height,
                                     UINT flags)
{
    WindowThreadCharge charge(kCallSetWindowPos);
    return realSetWindowPos(window, after, x, y, width, height, flags);
}

static BOOL WINAPI TimedShowWindow(HWND window, int command)
{
    WindowThreadCharge charge(kCallShowWindow);
    return realShowWindow(window, command);
}

extern "C" {
SleepCall wrapSleep asm(IMPORT_SLOT("__wrap_", Sleep, 4)) = TimedSleep;
CreateThreadCall wrapCreateThread asm(IMPORT_SLOT("__wrap_", CreateThread, 24)) =
    TimedCreateThread;
WaitCall wrapWait asm(IMPORT_SLOT("__wrap_", WaitForMultipleObjects, 16)) = TimedWait;
CreateWindowCall wrapCreateWindow asm(IMPORT_SLOT("__wrap_", CreateWindowExA, 48)) =
    TimedCreateWindow;
SetWindowPosCall wrapSetWindowPos asm(IMPORT_SLOT("__wrap_", SetWindowPos, 28)) =
    TimedSetWindowPos;
ShowWindowCall wrapShowWindow asm(IMPORT_SLOT("__wrap_", ShowWindow, 8)) = TimedShowWindow;
}
