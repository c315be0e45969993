// Bitmap surfaces: the model (attach, end, font, colours), the drawing operations and pixel access.
#include <gtest/gtest.h>
#include <string.h>

#include "runtime/errors.h"
#include "runtime/font_list.h"
#include "surface_test_support.h"
#include "surfaces/surfaces.h"

namespace {

const COLORREF kRed = RGB(255, 0, 0);
const COLORREF kGreen = RGB(0, 255, 0);
const COLORREF kBlue = RGB(0, 0, 255);

uint32_t NewAttached(int32_t width, int32_t height)
{
    uint32_t handle = newBitmapSurface(width, height);
    attachSurface(handle, 0, false);
    return handle;
}

void End(uint32_t handle)
{
    attachSurface(handle, 0, false);
    endBitmapSurface();
}

std::vector<uint32_t> CurrentPixels()
{
    long double width, height;
    surfaceSize(&width, &height);
    return ReadPixels(surfaceDC(), 0, 0, static_cast<int>(width), static_cast<int>(height));
}

// A DIB section fills a DIBSECTION and has its bits at hand. GetObject's
// height does not tell the row order (Wine gives it positive), so the top-left
// pixel, painted red before, must come first in memory.
void ExpectTopDown32BitSection(HGDIOBJ bitmap, const char* what)
{
    DIBSECTION section = {};
    EXPECT_EQ(int(sizeof(section)), GetObjectA(bitmap, sizeof(section), &section)) << what;
    EXPECT_EQ(32, section.dsBm.bmBitsPixel) << what;
    GdiFlush();
    const uint32_t* first = static_cast<const uint32_t*>(section.dsBm.bmBits);
    ASSERT_NE(nullptr, first) << what;
    EXPECT_EQ(AsRgb(kRed), *first & 0xFFFFFF) << what << ": the top row is not first";
}

POINT CurrentPosition()
{
    POINT position = {-1, -1};
    GetCurrentPositionEx(surfaceDC(), &position);
    return position;
}

}  // namespace

TEST(SurfaceModel, CreationDoesNotAttach)
{
    attachSurface(0, 0, false);
    ClearRuntimeError();
    uint32_t handle = newBitmapSurface(10, 20);
    ASSERT_NE(0u, handle);
    long double width = -1, height = -1;
    surfaceSize(&width, &height);
    EXPECT_EQ(0, width);
    EXPECT_EQ(0, height);
    EXPECT_EQ(nullptr, surfaceDC());

    attachSurface(handle, 0, false);
    EXPECT_EQ(0, LastRuntimeError());
    surfaceSize(&width, &height);
    EXPECT_EQ(10, width);
    EXPECT_EQ(20, height);
    EXPECT_EQ(OBJ_BITMAP, GetObjectType(SurfaceToHandle<HGDIOBJ>(handle)))
        << "the handle is the surface's bitmap";
    End(handle);
}

TEST(SurfaceModel, AttachOfZeroRaises5AndLeavesNothingCurrent)
{
    uint32_t handle = NewAttached(4, 4);
    ClearRuntimeError();
    attachSurface(0, 0, false);
    EXPECT_EQ(kErrBadArgument, LastRuntimeError());
    EXPECT_EQ(nullptr, surfaceDC());
    endBitmapSurface();   // nothing is current: must not end the earlier surface

    ClearRuntimeError();
    attachSurface(handle, 0, false);
    EXPECT_EQ(0, LastRuntimeError()) << "the earlier surface still exists";
    End(handle);
}

TEST(SurfaceModel, EndingReleasesEveryObjectAndTheHandleDies)
{
    uint32_t handle = NewAttached(8, 8);
    HDC dc = surfaceDC();
    ASSERT_NE(nullptr, dc);
    HGDIOBJ bitmap = GetCurrentObject(dc, OBJ_BITMAP);
    EXPECT_EQ(handle, HandleToSurface(bitmap));
    int32_t usersBefore = gFonts[0].useCount;

    endBitmapSurface();
    EXPECT_EQ(nullptr, surfaceDC()) << "ending clears the current surface";
    EXPECT_EQ(0u, GetObjectType(dc));
    EXPECT_EQ(0u, GetObjectType(bitmap));
    EXPECT_EQ(usersBefore - 1, gFonts[0].useCount);

    ClearRuntimeError();
    attachSurface(handle, 0, false);
    EXPECT_EQ(kErrBadArgument, LastRuntimeError());
    EXPECT_EQ(nullptr, surfaceDC());
}

// A bitmap of the display's format would band every copy on a 16-bit display.
TEST(SurfaceModel, CanvasPreviewAndSavedSurfaceAreTopDown32BitSections)
{
    uint32_t canvas = NewAttached(30, 20);
    PaintRect(0, 0, 1, 1, kRed);
    ExpectTopDown32BitSection(SurfaceToHandle<HGDIOBJ>(canvas), "the canvas");
    End(canvas);

    uint32_t frame = openGraphicWindow(DynStr(""), 0, 0, 30, 20, 0);
    attachSurface(frame, 0, false);
    PaintRect(0, 0, 1, 1, kRed);
    ExpectTopDown32BitSection(GetCurrentObject(surfaceDC(), OBJ_BITMAP), "the preview");
    closeGraphicWindow();

    uint32_t saved = NewAttached(30, 20);
    PaintRect(0, 0, 1, 1, kRed);
    {
        BitmapOutOfDC out;
        ExpectTopDown32BitSection(out.bitmap, "what the save encodes");
    }
    End(saved);
}

TEST(SurfaceModel, DefaultFontIsMadeOnceAndShared)
{
    uint32_t first = NewAttached(4, 4);
    HDC firstDC = surfaceDC();
    uint32_t second = NewAttached(4, 4);
    HDC secondDC = surfaceDC();
    HFONT shared = gFonts[0].font;
    ASSERT_NE(nullptr, shared);
    EXPECT_EQ(shared, GetCurrentObject(firstDC, OBJ_FONT));
    EXPECT_EQ(shared, GetCurrentObject(secondDC, OBJ_FONT));
    EXPECT_GE(gFonts[0].useCount, 2);

    LOGFONTA logFont;
    ASSERT_NE(0, GetObjectA(shared, sizeof(logFont), &logFont));
    EXPECT_EQ(-10, logFont.lfHeight) << "8 points at 96 DPI, whatever the display";
    EXPECT_STREQ("MS Sans Serif", logFont.lfFaceName);
    EXPECT_EQ(TA_UPDATECP, GetTextAlign(firstDC) & TA_UPDATECP);
    End(first);
    End(second);
    EXPECT_EQ(OBJ_FONT, GetObjectType(shared)) << "the shared font outlives its surfaces";
}

TEST(SurfaceModel, ColoursAndTheirMarkers)
{
    uint32_t handle = NewAttached(4, 4);
    HDC dc = surfaceDC();
    EXPECT_EQ(GetSysColor(COLOR_WINDOWTEXT), GetTextColor(dc));
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), GetBkColor(dc));
    EXPECT_EQ(OPAQUE, GetBkMode(dc));

    setForeColor(0x12345678);
    EXPECT_EQ(0x345678u, GetTextColor(dc)) << "stored colours keep their low 24 bits";
    setForeColor(kColorDefault);
    EXPECT_EQ(GetSysColor(COLOR_WINDOWTEXT), GetTextColor(dc));

    setBackColor(kColorNone);
    EXPECT_EQ(TRANSPARENT, GetBkMode(dc));
    setBackColor(kGreen);
    EXPECT_EQ(OPAQUE, GetBkMode(dc));
    EXPECT_EQ(kGreen, GetBkColor(dc));
    setBackColor(kColorNone);
    setBackColor(kColorDefault);
    EXPECT_EQ(OPAQUE, GetBkMode(dc));
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), GetBkColor(dc));
    End(handle);
}

TEST(Drawing, ClearWithDefaultAfterTransparentBackgroundPaintsNothing)
{
    uint32_t handle = NewAttached(6, 5);
    clearSurface(kGreen, 0);
    setPosition(3, 2);
    setBackColor(kColorNone);
    clearSurface(kColorDefault, 0);
    EXPECT_EQ(30, CountValue(CurrentPixels(), AsRgb(kGreen)));
    POINT position = CurrentPosition();
    EXPECT_EQ(0, position.x);
    EXPECT_EQ(0, position.y);

    setBackColor(kBlue);
    clearSurface(kColorDefault, 7);
    EXPECT_EQ(30, CountValue(CurrentPixels(), AsRgb(kBlue)))
        << "-1 is the background colour, styles above 6 are solid";
    End(handle);
}

TEST(Drawing, CopyMixes)
{
    uint32_t source = NewAttached(4, 4);
    clearSurface(kGreen, 0);
    uint32_t target = NewAttached(4, 4);
    for (int32_t mix : {0xCC0020, 0, 16, -1, 1, 3}) {
        clearSurface(kRed, 0);
        copySurface(source, 0, 0, 0, mix);
        EXPECT_EQ(16, CountValue(CurrentPixels(), AsRgb(kGreen))) << "mix " << mix;
    }
    clearSurface(kRed, 0);
    copySurface(source, 0, 0, 0, R2_XORPEN);
    EXPECT_EQ(16, CountValue(CurrentPixels(), AsRgb(RGB(255, 255, 0)))) << "exclusive or";
    copySurface(source, 0, 0, 0, R2_XORPEN);
    EXPECT_EQ(16, CountValue(CurrentPixels(), AsRgb(kRed))) << "twice gives the start back";
    End(target);
    End(source);
}

TEST(Drawing, CopyOfALargerSourceIsClippedToTheTarget)
{
    uint32_t source = NewAttached(1000, 750);
    clearSurface(kRed, 0);
    PaintRect(90, 95, 110, 120, kGreen);
    uint32_t target = NewAttached(100, 100);
    clearSurface(kBlue, 0);
    copySurface(source, 0, 0, 0, 0xCC0020);
    std::vector<uint32_t> pixels = CurrentPixels();
    EXPECT_EQ(10 * 5, CountValue(pixels, AsRgb(kGreen)));
    EXPECT_EQ(10000 - 50, CountValue(pixels, AsRgb(kRed)));
    End(target);
    End(source);
}

TEST(Drawing, CopyAtNegativePositionLosesTheFirstRowsAndColumns)
{
    uint32_t source = NewAttached(20, 20);
    clearSurface(kRed, 0);
    PaintRect(10, 10, 20, 20, kGreen);
    uint32_t target = NewAttached(20, 20);
    clearSurface(kBlue, 0);
    // -9.5 and -10.5 both round to -10 (ties to even).
    copySurface(source, 0, -9.5L, -10.5L, 0xCC0020);
    std::vector<uint32_t> pixels = CurrentPixels();
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 20; ++x) {
            uint32_t expected = (x < 10 && y < 10) ? AsRgb(kGreen) : AsRgb(kBlue);
            ASSERT_EQ(expected, pixels[y * 20 + x]) << x << "," << y;
        }
    }
    End(target);
    End(source);
}

TEST(Drawing, CopyFromWhatIsNoSurfaceDoesNothing)
{
    uint32_t target = NewAttached(5, 5);
    clearSurface(kBlue, 0);
    uint32_t gone = newBitmapSurface(5, 5);
    End(gone);
    attachSurface(target, 0, false);
    ClearRuntimeError();
    copySurface(gone, 0, 0, 0, 0);
    copySurface(0, 0, 0, 0, 0);
    EXPECT_EQ(0, LastRuntimeError());
    EXPECT_EQ(25, CountValue(CurrentPixels(), AsRgb(kBlue)));
    End(target);
}

TEST(Drawing, TextPositionAfterPrintAndNewLine)
{
    uint32_t handle = NewAttached(300, 60);
    clearSurface(kRed, 0);
    setForeColor(0);
    setBackColor(kColorNone);
    setPosition(0, 0);
    printText(DynStr(""));
    EXPECT_EQ(0, CurrentPosition().x) << "empty text moves nothing";

    const char text[] = "Copia ridotta";
    SIZE extent;
    ASSERT_TRUE(GetTextExtentPoint32A(surfaceDC(), text, lstrlenA(text), &extent));
    printText(DynStr(text));
    POINT position = CurrentPosition();
    EXPECT_EQ(extent.cx, position.x);
    EXPECT_EQ(0, position.y);

    TEXTMETRICA metrics;
    ASSERT_TRUE(GetTextMetricsA(surfaceDC(), &metrics));
    std::vector<uint32_t> box = ReadPixels(surfaceDC(), 0, 0, extent.cx, metrics.tmHeight);
    EXPECT_GT(CountValue(box, 0), 10) << "black glyphs";
    EXPECT_GT(CountValue(box, AsRgb(kRed)), extent.cx * metrics.tmHeight / 2)
        << "no background box with a transparent background";
    newLine();
    position = CurrentPosition();
    EXPECT_EQ(0, position.x);
    EXPECT_EQ(metrics.tmHeight + metrics.tmExternalLeading, position.y);
    setBackColor(kGreen);
    printText(DynStr(text));
    box = ReadPixels(surfaceDC(), 0, position.y, extent.cx, metrics.tmHeight);
    EXPECT_EQ(0, CountValue(box, AsRgb(kRed))) << "an opaque background fills the text box";
    EXPECT_GT(CountValue(box, AsRgb(kGreen)), 0);
    newLine();
    EXPECT_EQ(2 * (metrics.tmHeight + metrics.tmExternalLeading), CurrentPosition().y);

    setPosition(2.5L, 3.5L);
    position = CurrentPosition();
    EXPECT_EQ(2, position.x);
    EXPECT_EQ(4, position.y);
    End(handle);
}

TEST(Drawing, NothingHappensWithoutACurrentSurface)
{
    attachSurface(0, 0, false);
    ClearRuntimeError();
    clearSurface(kRed, 0);
    copySurface(0, 0, 0, 0, 0);
    setPosition(1, 1);
    printText(DynStr("x"));
    newLine();
    setForeColor(0);
    setBackColor(0);
    redrawSurface();
    closeGraphicWindow();
    setBits(DynStr("\x01\0\0\0\x01\0\0\0abcd", 12));
    EXPECT_EQ(0, getBits().length());
    EXPECT_EQ(0, LastRuntimeError());
}

TEST(PixelAccess, TwoPixelBlockBytes)
{
    uint32_t handle = NewAttached(2, 1);
    PaintRect(0, 0, 1, 1, kRed);
    PaintRect(1, 0, 2, 1, kBlue);
    DynStr block = getBits();
    ASSERT_EQ(16, block.length());
    const unsigned char expected[] = {2, 0, 0, 0, 1, 0, 0, 0, 0, 0, 255, 0, 255, 0, 0, 0};
    for (int i = 0; i < 16; ++i) {
        if (i == 11 || i == 15)
            continue;   // the byte without meaning
        EXPECT_EQ(expected[i], block.at(i)) << "byte " << i;
    }
    End(handle);
}

TEST(PixelAccess, BlockRoundTripIsPixelIdentical)
{
    uint32_t source = NewAttached(37, 23);
    setBackColor(RGB(1, 2, 3));
    clearSurface(RGB(200, 100, 50), 6);
    setForeColor(RGB(9, 250, 17));
    printText(DynStr("Ab"));
    PaintRect(30, 0, 37, 23, RGB(128, 127, 126));
    std::vector<uint32_t> original = CurrentPixels();
    DynStr block = getBits();
    ASSERT_EQ(8 + 4 * 37 * 23, block.length());

    uint32_t copy = NewAttached(37, 23);
    clearSurface(0, 0);
    setBits(block);
    EXPECT_EQ(original, CurrentPixels());
    End(copy);
    End(source);
}

TEST(PixelAccess, BlocksThatDoNotHoldTheirPixelsAreIgnored)
{
    uint32_t handle = NewAttached(4, 4);
    clearSurface(kGreen, 0);
    DynStr good = getBits();
    ASSERT_EQ(8 + 64, good.length());
    clearSurface(kBlue, 0);

    DynStr shortByOne(good.bytes(), good.length() - 1);
    setBits(shortByOne);
    setBits(DynStr(good.bytes(), 7));
    setBits(DynStr());
    auto withHeader = [&](int32_t width, int32_t height) {
        DynStr block(good.bytes(), good.length());
        memcpy(block.mutableBytes(), &width, 4);
        memcpy(block.mutableBytes() + 4, &height, 4);
        return block;
    };
    setBits(withHeader(-4, 4));
    setBits(withHeader(4, -4));
    setBits(withHeader(0x10000, 0x10000));   // 4 * W * H wraps to 0 in 32 bits
    setBits(withHeader(0x40000001, 1));
    EXPECT_EQ(16, CountValue(CurrentPixels(), AsRgb(kBlue)));

    setBits(good);
    EXPECT_EQ(16, CountValue(CurrentPixels(), AsRgb(kGreen)));
    End(handle);
}
