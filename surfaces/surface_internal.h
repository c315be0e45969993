// Internals shared by the files of the graphic surfaces: the surface record,
// the registry (surface_registry.cpp), the two spin locks and the repaint
// policy (surface_locking.cpp), the memory bitmap, default font and DC
// set-up (surface_dc_setup.cpp).
#pragma once
#include <windows.h>
#include <stdint.h>

enum SurfaceFlag : LONG {
    kFlagFrameWindow = 0x01,
    kFlagChildControl = 0x02,
    kFlagDeferredRedraw = 0x04,
    kFlagBatchedRedraw = 0x08,
    kFlagDirty = 0x10,
    kFlagForceRedraw = 0x20,
};

enum SurfaceKind : int32_t {
    kKindFrame = 0,
    kKindWindowSurface = 14,
    kKindBitmapSurface = 24,
};

enum { kBatchedRedrawInterval = 250 };

// A memory DC with a 32-bit top-down DIB section of width x height selected
// into it: what a surface draws on. Made by newMemoryBitmap, undone by
// releaseMemoryBitmap; all zero when there is none.
struct MemoryBitmap {
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ previousBitmap;     // what the DC held; put back before the DC goes
    void* bits;                 // the section's pixels; GdiFlush before touching them
    int32_t width;
    int32_t height;
};

struct SurfaceRecord {
    SurfaceRecord* next;
    uint32_t handle;
    uint32_t owner;
    volatile LONG flags;        // changed by the drawing and the window thread
    int32_t fontNumber;
    HGDIOBJ previousFont;
    MemoryBitmap memory;
    int32_t width;
    int32_t height;
    int32_t positionX;
    int32_t positionY;
    int32_t textHeight;
    int32_t externalLeading;
    COLORREF foreColor;
    int32_t backColor;          // COLORREF, or kColorNone for transparent
    int32_t kind;
    WNDPROC previousControlProc;
    uint32_t redrawCounter;
};

// A window surface or a bitmap surface: what drawing acts on (a frame is
// registered but is no surface).
inline bool isDrawableSurface(const SurfaceRecord* record)
{
    return record && (record->kind == kKindWindowSurface || record->kind == kKindBitmapSurface);
}

// Registry. Records returned by findObject stay valid only while the caller
// holds the graphics lock, or on the window thread that owns the window.
SurfaceRecord* registerObject(uint32_t handle, uint32_t owner, LONG flags, int32_t kind);
void releaseObject(uint32_t handle);
SurfaceRecord* findObject(uint32_t handle);
// Sets or clears the deferred-redraw bit of a registered surface of kind 14 or
// 24 in one registry walk; false when the handle names none.
bool setDeferredRedrawOfSurface(uint32_t handle, bool deferred);

// Registry lock: held only for a walk, insert or unlink of the list.
void lockRegistry();
void unlockRegistry();

// Graphics lock
void lockGraphics();
bool tryLockGraphics();
// For the window thread: waits for the lock while still answering messages
// that other threads send to it, so a drawing thread blocked in UpdateWindow
// on one of its windows can go on and release the lock.
void lockGraphicsAnsweringSends();
// How often a window thread found the graphics lock held there and waited:
// what tells a test that the wait has begun.
LONG windowThreadLockWaits();
void unlockGraphics();

// Takes the graphics lock and returns the current surface; null (lock not
// held) when the thread has none.
SurfaceRecord* lockCurrentSurface();
// Applies the repaint policy and releases the graphics lock.
void markDrawn(SurfaceRecord* record);

// The current surface under the graphics lock for one operation: the lock
// goes with the guard, unless markDrawn has handed it on to the repaint.
// Empty, the lock not held, when the thread has no current surface.
class CurrentSurfaceLock {
public:
    CurrentSurfaceLock() : record_(lockCurrentSurface()) {}
    ~CurrentSurfaceLock()
    {
        if (record_)
            unlockGraphics();
    }
    CurrentSurfaceLock(const CurrentSurfaceLock&) = delete;
    CurrentSurfaceLock& operator=(const CurrentSurfaceLock&) = delete;
    explicit operator bool() const { return record_ != nullptr; }
    SurfaceRecord* operator->() const { return record_; }
    SurfaceRecord* record() const { return record_; }
    void markDrawn()
    {
        SurfaceRecord* record = record_;
        record_ = nullptr;
        ::markDrawn(record);
    }

private:
    SurfaceRecord* record_;
};

void setSurfaceFlags(SurfaceRecord* record, LONG flags);
void clearSurfaceFlags(SurfaceRecord* record, LONG flags);

// Window handle (or, for bitmaps, the handle itself) that handle + control id
// name, as attachSurface resolves them.
uint32_t resolveSurfaceHandle(uint32_t handle, int32_t controlId);

// A top-down 32-bit header for width x height pixels, as pixel blocks hold them.
void fillTopDownHeader(BITMAPINFOHEADER* header, int32_t width, int32_t height);
// A memory DC made like referenceDC's, with a new width x height bitmap of
// 32-bit colour selected, whatever the display's format. False with nothing
// left made and *memory zeroed; also for a size that no pixel block holds.
bool newMemoryBitmap(HDC referenceDC, int32_t width, int32_t height, MemoryBitmap* memory);
// Puts the DC's first bitmap back, deletes the surface bitmap, then the DC;
// what is not there is skipped. *memory is zeroed.
void releaseMemoryBitmap(MemoryBitmap* memory);

// The system colours, the default font and the text modes of a new
// surface's DC.
void prepareSurfaceDC(SurfaceRecord* record);
