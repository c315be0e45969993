#include "surfaces/surface_internal.h"
#include "surfaces/surfaces.h"

#include "runtime/runtime_state.h"

static SurfaceRecord* gSurfaceRegistry = nullptr;
static volatile LONG gRegistryLock = 0;
static volatile LONG gGraphicsLock = 0;
static volatile LONG gGraphicsLockWaiters = 0;

static void lockRegistry()
{
    while (InterlockedExchange(&gRegistryLock, -1) != 0) {
    }
}

static void unlockRegistry()
{
    InterlockedExchange(&gRegistryLock, 0);
}

// Caller holds the registry lock.
static SurfaceRecord* findLocked(uint32_t handle)
{
    for (SurfaceRecord* record = gSurfaceRegistry; record; record = record->next) {
        if (record->handle == handle)
            return record;
    }
    return nullptr;
}

SurfaceRecord* registerObject(uint32_t handle, uint32_t owner, LONG flags, int32_t kind)
{
    SurfaceRecord* record = static_cast<SurfaceRecord*>(
        HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(SurfaceRecord)));
    if (!record)
        return nullptr;
    record->handle = handle;
    record->owner = owner;
    record->flags = flags;
    record->kind = kind;

    lockRegistry();
    bool present = findLocked(handle) != nullptr;
    if (!present) {
        record->next = gSurfaceRegistry;
        gSurfaceRegistry = record;
    }
    unlockRegistry();
    if (present) {
        HeapFree(GetProcessHeap(), 0, record);
        return nullptr;
    }
    return record;
}

SurfaceRecord* findObject(uint32_t handle)
{
    lockRegistry();
    SurfaceRecord* record = findLocked(handle);
    unlockRegistry();
    return record;
}

bool setDeferredRedrawOfSurface(uint32_t handle, bool deferred)
{
    lockRegistry();
    SurfaceRecord* record = findLocked(handle);
    bool found = record &&
                 (record->kind == kKindWindowSurface || record->kind == kKindBitmapSurface);
    if (found) {
        if (deferred || record->kind == kKindBitmapSurface)
            InterlockedOr(&record->flags, kFlagDeferredRedraw);
        else
            InterlockedAnd(&record->flags, ~static_cast<LONG>(kFlagDeferredRedraw));
    }
    unlockRegistry();
    return found;
}

static uint32_t findChildOf(uint32_t owner)
{
    uint32_t child = 0;
    lockRegistry();
    for (SurfaceRecord* record = gSurfaceRegistry; record; record = record->next) {
        if (record->owner == owner && (record->flags & kFlagChildControl)) {
            child = record->handle;
            break;
        }
    }
    unlockRegistry();
    return child;
}

void releaseObject(uint32_t handle)
{
    for (uint32_t child = findChildOf(handle); child; child = findChildOf(handle))
        releaseObject(child);

    SurfaceRecord* record = nullptr;
    lockRegistry();
    for (SurfaceRecord** link = &gSurfaceRegistry; *link; link = &(*link)->next) {
        if ((*link)->handle == handle) {
            record = *link;
            *link = record->next;
            break;
        }
    }
    unlockRegistry();
    if (!record)
        return;

    if (record->fontNumber) {
        SelectObject(record->memoryDC, record->previousFont);
        InterlockedDecrement(reinterpret_cast<volatile LONG*>(
            &gRuntime.fonts[record->fontNumber - 1].useCount));
    }
    if (record->previousBitmap) {
        HGDIOBJ surfaceBitmap = SelectObject(record->memoryDC, record->previousBitmap);
        if (surfaceBitmap)
            DeleteObject(surfaceBitmap);
    }
    if (record->memoryDC)
        DeleteDC(record->memoryDC);
    HeapFree(GetProcessHeap(), 0, record);
}

void lockGraphics()
{
    for (;;) {
        // A window thread waiting to release its window goes first, or a
        // busy drawing thread could keep it out for long.
        while (gGraphicsLockWaiters != 0)
            Sleep(1);
        if (InterlockedExchange(&gGraphicsLock, -1) == 0)
            return;
        Sleep(0);
    }
}

bool tryLockGraphics()
{
    return InterlockedExchange(&gGraphicsLock, -1) == 0;
}

void lockGraphicsAnsweringSends()
{
    InterlockedIncrement(&gGraphicsLockWaiters);
    while (InterlockedExchange(&gGraphicsLock, -1) != 0) {
        MSG message;
        PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        Sleep(0);
    }
    InterlockedDecrement(&gGraphicsLockWaiters);
}

void unlockGraphics()
{
    InterlockedExchange(&gGraphicsLock, 0);
}

void setSurfaceFlags(SurfaceRecord* record, LONG flags)
{
    InterlockedOr(&record->flags, flags);
}

void clearSurfaceFlags(SurfaceRecord* record, LONG flags)
{
    InterlockedAnd(&record->flags, ~flags);
}

SurfaceRecord* lockCurrentSurface()
{
    ThreadState* state = CurrentThreadState();
    if (!state || !state->currentSurface)
        return nullptr;
    lockGraphics();
    SurfaceRecord* record = findObject(state->currentSurface);
    if (!record || (record->kind != kKindWindowSurface && record->kind != kKindBitmapSurface)) {
        unlockGraphics();
        return nullptr;
    }
    return record;
}

void markDrawn(SurfaceRecord* record)
{
    setSurfaceFlags(record, kFlagDirty);
    LONG flags = record->flags;
    bool repaint = false;
    if (!(flags & kFlagDeferredRedraw)) {
        if ((flags & kFlagForceRedraw) || !(flags & kFlagBatchedRedraw))
            repaint = true;
        else if (++record->redrawCounter >= kBatchedRedrawInterval)
            repaint = true;
    }
    HWND window = SurfaceToHandle<HWND>(record->handle);
    if (repaint) {
        Sleep(0);
        // Cleared before the invalidation: a repaint that starts from it and
        // finds the lock busy sets them again, for the idle loop.
        clearSurfaceFlags(record, kFlagDirty | kFlagForceRedraw);
        record->redrawCounter = 0;
        RECT area = {0, 0, record->width, record->height};
        InvalidateRect(window, &area, FALSE);
    }
    // The repaint copies under the graphics lock on the window thread, so
    // it must find the lock free.
    unlockGraphics();
    if (repaint)
        UpdateWindow(window);
}

uint32_t resolveSurfaceHandle(uint32_t handle, int32_t controlId)
{
    HWND control = GetDlgItem(SurfaceToHandle<HWND>(handle), controlId);
    return control ? HandleToSurface(control) : handle;
}

// The shared default font: made once per process, from the first DC that
// needs it; a thread that loses the race to create it deletes its own copy.
static HFONT defaultFont(HDC dc)
{
    FontEntry* entry = &gRuntime.fonts[0];
    if (entry->font)
        return entry->font;
    LOGFONTA logFont = entry->logFont;
    logFont.lfHeight = -(GetDeviceCaps(dc, LOGPIXELSY) * entry->pointSize / 72);
    HFONT font = CreateFontIndirectA(&logFont);
    if (!font)
        return nullptr;
    void* previous = InterlockedCompareExchangePointer(
        reinterpret_cast<void* volatile*>(&entry->font), font, nullptr);
    if (previous) {
        DeleteObject(font);
        return static_cast<HFONT>(previous);
    }
    entry->logFont.lfHeight = logFont.lfHeight;
    return font;
}

void prepareSurfaceDC(SurfaceRecord* record)
{
    HDC dc = record->memoryDC;
    HFONT font = defaultFont(dc);
    HGDIOBJ previous = font ? SelectObject(dc, font) : nullptr;
    if (previous && previous != HGDI_ERROR) {
        record->previousFont = previous;
        record->fontNumber = 1;
        InterlockedIncrement(reinterpret_cast<volatile LONG*>(&gRuntime.fonts[0].useCount));
        TEXTMETRICA metrics;
        if (GetTextMetricsA(dc, &metrics)) {
            record->textHeight = metrics.tmHeight;
            record->externalLeading = metrics.tmExternalLeading;
        }
    }
    // Text starts at, and advances, the DC's current position.
    SetTextAlign(dc, TA_UPDATECP);
    SetTextColor(dc, record->foreColor);
    SetBkColor(dc, static_cast<COLORREF>(record->backColor));
    SetBkMode(dc, OPAQUE);
}
