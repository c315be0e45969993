// One reduced copy of a photo: sized, shown in a fresh graphic window and
// captured into gReducedBits for the save.
#include <utility>

#include "imaging/imaging.h"
#include "imaging/imaging_internal.h"
#include "runtime/console.h"
#include "runtime/startup.h"
#include "surfaces/surfaces.h"

DynStr gReducedBits;

namespace {

const char kStampText[] = "Copia ridotta Tarvello Soft";
const int32_t kSourceCopy = 0xCC0020;   // SRCCOPY: outside the mix table, a plain copy
// Transparent parts of a photo come out white, as on paper.
const int32_t kCanvasColor = 0xFFFFFF;

// Up to 4 MB held between photos; shutdown frees it with the other globals.
void ReleaseReducedBits()
{
    gReducedBits = DynStr();
}

}  // namespace

int32_t ReduceImage(uint32_t* window, const DynStr& fileName, int32_t* width, int32_t* height,
                    int32_t sizeMode)
{
    ULONG_PTR token = 0;
    GdipStartupInput input = PipelineStartupInput();
    if (GdiplusStartup(&token, &input, nullptr) != kGdipOk) {
        ConsolePrintLine("No GDI+");
        return 0;
    }

    int32_t result = 0;
    uint32_t canvas = 0;
    int32_t photoWidth = 0, photoHeight = 0;
    fGDIp_ImageSize(fileName, &photoWidth, &photoHeight);
    if (photoWidth > 0 && photoHeight > 0) {
        int32_t copyWidth = 0, copyHeight = 0;
        ReducedCopySize(photoWidth, photoHeight, sizeMode, &copyWidth, &copyHeight);
        *width = copyWidth;
        *height = copyHeight;

        attachSurface(*window, 0, false);
        closeGraphicWindow();
        *window = openGraphicWindow(DynStr(""), 10, 10, copyWidth, copyHeight, 0);
        canvas = newBitmapSurface(copyWidth, copyHeight);
        if (fGDIp_2hBMP(DynStr(fileName).detach(), canvas, 1, kCanvasColor) != 0) {
            attachSurface(*window, 0, false);
            copySurface(canvas, 0, 0, 0, kSourceCopy);
            setForeColor(0);
            setBackColor(kColorNone);
            if (sizeMode == 1) {
                setPosition(0, 0);
                printText(DynStr(kStampText));
                newLine();
            }
            // A capture that failed must not be saved as a copy.
            DynStr bits = getBits();
            if (!bits.empty()) {
                gReducedBits = std::move(bits);
                RuntimeAddShutdownRelease(ReleaseReducedBits);
                result = 1;
            }
        }
    }
    if (!result)
        ConsolePrintLine("Function failed");

    GdiplusShutdown(token);
    if (canvas) {
        attachSurface(canvas, 0, false);
        endBitmapSurface();
    }
    return result;
}
