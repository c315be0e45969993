// Helpers of the surface tests: pixels read back from a DC or the screen, and painting without the
// operations.
#include "surface_test_support.h"

#include "surfaces/surfaces.h"

std::vector<uint32_t> ReadPixels(HDC dc, int x, int y, int width, int height)
{
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height, 0xDEADBEEF);
    HDC memoryDC = CreateCompatibleDC(dc);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, width, height);
    HGDIOBJ previous = SelectObject(memoryDC, bitmap);
    BitBlt(memoryDC, 0, 0, width, height, dc, x, y, SRCCOPY);
    SelectObject(memoryDC, previous);
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof(header);
    header.biWidth = width;
    header.biHeight = -height;
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = BI_RGB;
    GetDIBits(memoryDC, bitmap, 0, height, pixels.data(), reinterpret_cast<BITMAPINFO*>(&header),
              DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memoryDC);
    for (uint32_t& pixel : pixels)
        pixel &= 0xFFFFFF;
    return pixels;
}

std::vector<uint32_t> ReadScreen(int x, int y, int width, int height)
{
    HDC screen = GetDC(nullptr);
    std::vector<uint32_t> pixels = ReadPixels(screen, x, y, width, height);
    ReleaseDC(nullptr, screen);
    return pixels;
}

std::vector<uint32_t> ReadClientFromScreen(HWND window)
{
    RECT client;
    GetClientRect(window, &client);
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    return ReadScreen(origin.x, origin.y, client.right, client.bottom);
}

int CountValue(const std::vector<uint32_t>& pixels, uint32_t value)
{
    int count = 0;
    for (uint32_t pixel : pixels)
        count += pixel == value;
    return count;
}

int WaitForScreenCount(HWND window, uint32_t value, int wanted, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        int count = CountValue(ReadClientFromScreen(window), value);
        if (count == wanted || GetTickCount() - start >= timeoutMs)
            return count;
        Sleep(10);
    }
}

uint32_t AsRgb(COLORREF color)
{
    return (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color);
}

void PaintRect(int left, int top, int right, int bottom, COLORREF color)
{
    RECT area = {left, top, right, bottom};
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(surfaceDC(), &area, brush);
    DeleteObject(brush);
}
