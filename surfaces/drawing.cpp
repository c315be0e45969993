// The drawing operations the pipeline uses: clear, copy a surface, place and print text.
#include "surfaces/surface_internal.h"
#include "surfaces/surfaces.h"

#include "runtime/runtime_state.h"

enum { kFillAttempts = 10 };

static HBRUSH makeClearBrush(int32_t color, int32_t style)
{
    if (color == kColorNone)
        return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    if (style < 0 || style > 6)
        style = 0;
    if (style == 0)
        return CreateSolidBrush(static_cast<COLORREF>(color));
    return CreateHatchBrush(style - 1, static_cast<COLORREF>(color));
}

void clearSurface(int32_t color, int32_t brushStyle)
{
    CurrentSurfaceLock surface;
    SurfaceRecord* record = surface.record();
    if (!record)
        return;
    if (color == kColorDefault)
        color = record->backColor;
    HBRUSH brush = makeClearBrush(color, brushStyle);
    RECT area = {0, 0, record->width, record->height};
    for (int attempt = 1; !FillRect(record->memoryDC, &area, brush) && attempt < kFillAttempts;
         ++attempt)
        Sleep(2);
    if (brush && color != kColorNone)
        DeleteObject(brush);
    MoveToEx(record->memoryDC, 0, 0, nullptr);
    record->positionX = 0;
    record->positionY = 0;
    setSurfaceFlags(record, kFlagForceRedraw);
    surface.markDrawn();
}

static DWORD rasterOperationOfMix(int32_t mix)
{
    switch (mix) {
    case R2_NOTMERGEPEN: return NOTSRCERASE;
    case R2_NOTCOPYPEN: return NOTSRCCOPY;
    case R2_MASKPENNOT: return SRCERASE;
    case R2_XORPEN: return SRCINVERT;
    case R2_MASKPEN: return SRCAND;
    case R2_MERGENOTPEN: return MERGEPAINT;
    case R2_MERGEPEN: return SRCPAINT;
    default: return SRCCOPY;   // 0xCC0020 itself included
    }
}

void copySurface(uint32_t sourceHandle, int32_t sourceControlId, long double x, long double y,
                 int32_t mix)
{
    uint32_t source = resolveSurfaceHandle(sourceHandle, sourceControlId);
    CurrentSurfaceLock surface;
    SurfaceRecord* destination = surface.record();
    if (!destination)
        return;
    // Looked up under the lock, so a window closing meanwhile cannot free it.
    SurfaceRecord* record = findObject(source);
    if (!isDrawableSurface(record))
        return;
    BitBlt(destination->memoryDC, static_cast<int>(RoundToInteger(x)),
           static_cast<int>(RoundToInteger(y)), record->width, record->height, record->memoryDC, 0,
           0, rasterOperationOfMix(mix));
    surface.markDrawn();
}

void setPosition(long double x, long double y)
{
    CurrentSurfaceLock surface;
    SurfaceRecord* record = surface.record();
    if (!record)
        return;
    record->positionX = static_cast<int32_t>(RoundToInteger(x));
    record->positionY = static_cast<int32_t>(RoundToInteger(y));
    MoveToEx(record->memoryDC, record->positionX, record->positionY, nullptr);
}

void printText(const DynStr& text)
{
    CurrentSurfaceLock surface;
    SurfaceRecord* record = surface.record();
    if (!record || text.empty())
        return;
    // TA_UPDATECP: the coordinates are ignored, the text starts at the
    // current position and moves it to the text's end.
    TextOutA(record->memoryDC, 0, 0, text.bytes(), text.length());
    POINT position;
    if (GetCurrentPositionEx(record->memoryDC, &position)) {
        record->positionX = position.x;
        record->positionY = position.y;
    }
    surface.markDrawn();
}

void newLine()
{
    CurrentSurfaceLock surface;
    SurfaceRecord* record = surface.record();
    if (!record)
        return;
    record->positionX = 0;
    record->positionY += record->textHeight + record->externalLeading;
    MoveToEx(record->memoryDC, 0, record->positionY, nullptr);
}
