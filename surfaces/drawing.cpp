// The drawing operations the pipeline uses: clear, copy a surface, place and print text.
#include "surfaces/surface_internal.h"
#include "surfaces/surfaces.h"

#include "runtime/floating_point.h"

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
    if (!surface)
        return;
    if (color == kColorDefault)
        color = surface->backColor;
    HBRUSH brush = makeClearBrush(color, brushStyle);
    RECT area = {0, 0, surface->width, surface->height};
    for (int attempt = 1; !FillRect(surface->memory.dc, &area, brush) && attempt < kFillAttempts;
         ++attempt)
        Sleep(2);
    if (brush && color != kColorNone)
        DeleteObject(brush);
    MoveToEx(surface->memory.dc, 0, 0, nullptr);
    surface->positionX = 0;
    surface->positionY = 0;
    setSurfaceFlags(surface.record(), kFlagForceRedraw);
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
    if (!surface)
        return;
    // Looked up under the lock, so a window closing meanwhile cannot free it.
    SurfaceRecord* from = findObject(source);
    if (!isDrawableSurface(from))
        return;
    BitBlt(surface->memory.dc, static_cast<int>(RoundToInteger(x)),
           static_cast<int>(RoundToInteger(y)), from->width, from->height, from->memory.dc, 0, 0,
           rasterOperationOfMix(mix));
    surface.markDrawn();
}

void setPosition(long double x, long double y)
{
    CurrentSurfaceLock surface;
    if (!surface)
        return;
    surface->positionX = static_cast<int32_t>(RoundToInteger(x));
    surface->positionY = static_cast<int32_t>(RoundToInteger(y));
    MoveToEx(surface->memory.dc, surface->positionX, surface->positionY, nullptr);
}

void printText(const DynStr& text)
{
    CurrentSurfaceLock surface;
    if (!surface || text.empty())
        return;
    // TA_UPDATECP: the coordinates are ignored, the text starts at the
    // current position and moves it to the text's end.
    TextOutA(surface->memory.dc, 0, 0, text.bytes(), text.length());
    POINT position;
    if (GetCurrentPositionEx(surface->memory.dc, &position)) {
        surface->positionX = position.x;
        surface->positionY = position.y;
    }
    surface.markDrawn();
}

void newLine()
{
    CurrentSurfaceLock surface;
    if (!surface)
        return;
    surface->positionX = 0;
    surface->positionY += surface->textHeight + surface->externalLeading;
    MoveToEx(surface->memory.dc, 0, surface->positionY, nullptr);
}
