// The surface list: every registered surface, window frame and control,
// newest first, looked up by handle.
#include "surfaces/surface_internal.h"
#include "surfaces/surfaces.h"

#include "runtime/font_list.h"

static SurfaceRecord* gSurfaceRegistry = nullptr;

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
    bool found = isDrawableSurface(record);
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
        SelectObject(record->memory.dc, record->previousFont);
        InterlockedDecrement(reinterpret_cast<volatile LONG*>(
            &gFonts[record->fontNumber - 1].useCount));
    }
    releaseMemoryBitmap(&record->memory);
    HeapFree(GetProcessHeap(), 0, record);
}

uint32_t resolveSurfaceHandle(uint32_t handle, int32_t controlId)
{
    HWND control = GetDlgItem(SurfaceToHandle<HWND>(handle), controlId);
    return control ? HandleToSurface(control) : handle;
}
