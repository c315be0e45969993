// Graphic windows, each created, pumped and repainted by a thread of its own.
#include "surfaces/surface_internal.h"
#include "surfaces/surfaces.h"

#include "runtime/runtime_state.h"
#include "runtime/spin_lock.h"
#include "runtime/thread_state.h"

static const char kGraphClassName[] = "KORVANTAGRAPH";
static const DWORD kDefaultFrameStyle = WS_POPUP | WS_BORDER | WS_SYSMENU | WS_MINIMIZEBOX;
static const DWORD kPictureStyle = WS_CHILD | WS_VISIBLE | SS_NOTIFY | SS_OWNERDRAW;
static const UINT kFitFlags = SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE | SWP_NOCOPYBITS |
                              SWP_NOOWNERZORDER | SWP_NOSENDCHANGING;
enum { kBringToFrontMessage = 0x1400 };

static ATOM gGraphClassAtom = 0;
static volatile LONG gGraphClassLock = 0;

// Filled by the opener; the window thread reads it only until it signals done.
struct OpenRequest {
    uint32_t style;
    int32_t height;
    int32_t width;
    int32_t y;
    int32_t x;
    volatile LONG result;       // -1 until the window thread stores frame or 0
    const DynStr* caption;
    DWORD threadId;
    HANDLE thread;
    HANDLE done;
};

// What the window thread's loop and the frame procedure share; reached from
// the frame through GWLP_USERDATA.
struct WindowThreadContext {
    HWND frame;
    HWND control;
    SurfaceRecord* controlRecord;   // null once the window is destroyed
};

static LRESULT CALLBACK frameProcedure(HWND frame, UINT message, WPARAM wParam, LPARAM lParam);

static bool registerGraphClass()
{
    SpinLockAcquire(&gGraphClassLock, kSpinYield);
    if (!gGraphClassAtom) {
        WNDCLASSEXA windowClass;
        ZeroMemory(&windowClass, sizeof(windowClass));
        windowClass.cbSize = sizeof(windowClass);
        windowClass.style = CS_HREDRAW | CS_VREDRAW;
        windowClass.lpfnWndProc = frameProcedure;
        windowClass.hInstance = gRuntime.instance;
        windowClass.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
        windowClass.hIconSm = windowClass.hIcon;
        windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        windowClass.lpszClassName = kGraphClassName;
        gGraphClassAtom = RegisterClassExA(&windowClass);
    }
    bool registered = gGraphClassAtom != 0;
    SpinLockRelease(&gGraphClassLock);
    return registered;
}

static LRESULT CALLBACK controlProcedure(HWND control, UINT message, WPARAM wParam,
                                         LPARAM lParam)
{
    SurfaceRecord* record = findObject(HandleToSurface(control));
    switch (message) {
    case WM_LBUTTONDOWN:
        SetFocus(control);
        return 0;
    case WM_LBUTTONDBLCLK:
        return 0;
    case kBringToFrontMessage:
        if (record)
            SetForegroundWindow(SurfaceToHandle<HWND>(record->owner));
        SetFocus(control);
        return 0;
    default:
        break;
    }
    if (record && record->previousControlProc)
        return CallWindowProcA(record->previousControlProc, control, message, wParam, lParam);
    return DefWindowProcA(control, message, wParam, lParam);
}

static LRESULT drawPicture(HWND frame, const DRAWITEMSTRUCT* item)
{
    HWND control = GetDlgItem(frame, static_cast<int>(item->CtlID));
    SurfaceRecord* record = control ? findObject(HandleToSurface(control)) : nullptr;
    if (!record || record->kind != kKindWindowSurface || !(item->itemAction & ODA_DRAWENTIRE))
        return 0;
    // GDI fails on a DC that another thread is using, so the copy must not
    // overlap a drawing operation; nor may this thread wait, as the drawing
    // thread may be waiting for it. A busy lock leaves the old picture on
    // screen and the next operation, or the idle loop, repaints.
    if (!tryLockGraphics()) {
        setSurfaceFlags(record, kFlagForceRedraw | kFlagDirty);
        return TRUE;
    }
    BitBlt(item->hDC, 0, 0, record->width, record->height, record->memory.dc, 0, 0, SRCCOPY);
    unlockGraphics();
    return TRUE;
}

static void forgetDestroyedWindow(HWND frame)
{
    WindowThreadContext* context =
        reinterpret_cast<WindowThreadContext*>(GetWindowLongPtrA(frame, GWLP_USERDATA));
    // The drawing thread may be using the control's record under the graphics
    // lock right now; release only once it is done.
    lockGraphicsAnsweringSends();
    if (context)
        context->controlRecord = nullptr;
    releaseObject(HandleToSurface(frame));
    unlockGraphics();
    ThreadState* state = CurrentThreadState();
    if (state)
        state->currentSurface = 0;
    PostMessageA(frame, WM_QUIT, 0, 0);
}

static LRESULT CALLBACK frameProcedure(HWND frame, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_DRAWITEM:
        return drawPicture(frame, reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    case WM_NCDESTROY:
        forgetDestroyedWindow(frame);
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_ACTIVE || LOWORD(wParam) == WA_CLICKACTIVE) {
            HWND control = GetDlgItem(frame, 0);
            if (control) {
                SetForegroundWindow(frame);
                SetFocus(control);
                return 0;
            }
        }
        break;
    default:
        if (message >= WM_MOUSEFIRST && message <= WM_MBUTTONDBLCLK) {
            HWND control = GetDlgItem(frame, 0);
            WNDPROC procedure =
                control ? reinterpret_cast<WNDPROC>(GetWindowLongPtrA(control, GWLP_WNDPROC))
                        : nullptr;
            if (!procedure)
                return 0;
            LRESULT result = CallWindowProcA(procedure, control, message, wParam, lParam);
            if (result)
                return result;
        }
        break;
    }
    return DefWindowProcA(frame, message, wParam, lParam);
}

// Creates the picture control of the frame, its surface record and memory
// bitmap. False on any failure; what was made is released with the frame.
static bool createPicture(WindowThreadContext* context, int32_t width, int32_t height)
{
    HWND frame = context->frame;
    HWND control = CreateWindowExA(0, "STATIC", nullptr, kPictureStyle, 0, 0, width, height,
                                   frame, nullptr, gRuntime.instance, nullptr);
    if (!control)
        return false;
    SurfaceRecord* record = registerObject(HandleToSurface(control), HandleToSurface(frame),
                                           kFlagChildControl | kFlagBatchedRedraw,
                                           kKindWindowSurface);
    if (!record)
        return false;
    context->control = control;
    record->previousControlProc =
        reinterpret_cast<WNDPROC>(GetWindowLongPtrA(control, GWLP_WNDPROC));
    SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(controlProcedure));

    HDC controlDC = GetDC(control);
    if (!controlDC)
        return false;
    RECT client = {0, 0, 0, 0};
    GetClientRect(control, &client);
    record->width = client.right;
    record->height = client.bottom;
    bool made = newMemoryBitmap(controlDC, record->width, record->height, &record->memory);
    ReleaseDC(control, controlDC);
    if (!made)
        return false;
    FillRect(record->memory.dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    prepareSurfaceDC(record);
    context->controlRecord = record;
    return true;
}

// Creates the frame and its picture; the frame handle, or 0 with everything
// made so far released.
static HWND createGraphicWindow(const OpenRequest* request, WindowThreadContext* context)
{
    if (!registerGraphClass())
        return nullptr;
    DWORD style = request->style;
    if (style == 0) {
        style = kDefaultFrameStyle;
        if (!request->caption->empty())
            style |= WS_CAPTION;
    }
    HWND frame = CreateWindowExA(0, kGraphClassName, request->caption->bytes(), style, request->x,
                                 request->y, request->width, request->height, nullptr, nullptr,
                                 gRuntime.instance, nullptr);
    if (!frame)
        return nullptr;
    context->frame = frame;
    SetWindowLongPtrA(frame, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(context));
    SurfaceRecord* record = registerObject(HandleToSurface(frame), 0, kFlagFrameWindow, kKindFrame);
    if (record) {
        record->width = request->width;
        record->height = request->height;

        RECT window;
        RECT client;
        GetWindowRect(frame, &window);
        GetClientRect(frame, &client);
        int32_t fittedWidth = request->width + (window.right - window.left) - client.right;
        int32_t fittedHeight = request->height + (window.bottom - window.top) - client.bottom;
        SetWindowPos(frame, nullptr, request->x, request->y, fittedWidth, fittedHeight, kFitFlags);
    }
    if (!record || !createPicture(context, request->width, request->height)) {
        // The frame's destruction releases the records made so far.
        DestroyWindow(frame);
        return nullptr;
    }
    ShowWindow(frame, SW_SHOW);
    SetFocus(context->control);
    return frame;
}

static void repaintWhenIdle(WindowThreadContext* context)
{
    SurfaceRecord* record = context->controlRecord;
    if (!record)
        return;
    if (!tryLockGraphics()) {
        // The lock holder repaints at its next drawing operation.
        setSurfaceFlags(record, kFlagForceRedraw);
        return;
    }
    LONG flags = record->flags;
    bool repaint = (flags & kFlagDirty) && !(flags & kFlagDeferredRedraw);
    if (repaint) {
        clearSurfaceFlags(record, kFlagDirty);
        RECT area = {0, 0, record->width, record->height};
        InvalidateRect(context->control, &area, FALSE);
    }
    unlockGraphics();
    if (repaint)
        UpdateWindow(context->control);
}

static DWORD WINAPI windowThread(void* parameter)
{
    OpenRequest* request = static_cast<OpenRequest*>(parameter);
    HANDLE done = request->done;
    WindowThreadContext context = {nullptr, nullptr, nullptr};
    HWND frame = createGraphicWindow(request, &context);
    InterlockedExchange(&request->result, static_cast<LONG>(HandleToSurface(frame)));
    SetEvent(done);   // the request belongs to the opener again from here on

    DWORD exitCode = 0;
    while (frame) {
        MSG message;
        if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                exitCode = static_cast<DWORD>(message.wParam);
                break;
            }
            TranslateMessage(&message);
            DispatchMessageA(&message);
            continue;
        }
        // The window is gone even if its quit message was lost with it.
        if (!context.controlRecord)
            break;
        Sleep(1);
        repaintWhenIdle(&context);
    }
    ReleaseThreadState();
    return exitCode;
}

uint32_t openGraphicWindow(const DynStr& caption, int32_t x, int32_t y, int32_t width,
                           int32_t height, uint32_t style)
{
    OpenRequest request;
    ZeroMemory(&request, sizeof(request));
    request.style = style;
    request.height = height;
    request.width = width;
    request.y = y;
    request.x = x;
    request.result = -1;
    request.caption = &caption;
    request.done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (!request.done)
        return 0;
    request.thread = CreateThread(nullptr, 0, windowThread, &request, 0, &request.threadId);
    uint32_t frame = 0;
    if (request.thread) {
        // The thread's end also ends the wait, should it die before answering.
        HANDLE waits[2] = {request.done, request.thread};
        WaitForMultipleObjects(2, waits, FALSE, INFINITE);
        LONG result = InterlockedCompareExchange(&request.result, -1, -1);
        if (result != -1)
            frame = static_cast<uint32_t>(result);
        CloseHandle(request.thread);
        Sleep(40);
    }
    CloseHandle(request.done);
    return frame;
}

void closeGraphicWindow()
{
    uint32_t owner = 0;
    {
        CurrentSurfaceLock surface;
        SurfaceRecord* owning = surface && surface->owner ? findObject(surface->owner) : nullptr;
        if (owning && (owning->flags & kFlagFrameWindow))
            owner = surface->owner;
    }
    if (!owner)
        return;
    HWND frame = SurfaceToHandle<HWND>(owner);
    DWORD threadId = GetWindowThreadProcessId(frame, nullptr);
    HANDLE thread = threadId != GetCurrentThreadId() ? OpenThread(SYNCHRONIZE, FALSE, threadId)
                                                     : nullptr;
    // Sent without the graphics lock: the window thread takes it to release
    // the window's records.
    SendMessageA(frame, WM_SYSCOMMAND, SC_CLOSE, 0);
    if (thread) {
        // Once the frame is gone its thread leaves the loop at once.
        if (!IsWindow(frame))
            WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
    }
}
