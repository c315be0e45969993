// The per-image step: the large and the small copy of every listed photo.
#include "app/app.h"
#include "imaging/imaging.h"
#include "runtime/console.h"
#include "surfaces/surfaces.h"

enum { kLargeCopy = 1, kSmallCopy = 0, kPauseBeforeSaveMs = 10 };

// Width and height carry over from one copy to the next, as the reduction
// hands the copy's size to the save through them.
static void MakeCopy(const DynStr& fileName, const DynStr& baseName, const char* prefix,
                     int32_t sizeMode, int32_t* width, int32_t* height)
{
    if (ReduceImage(&gPreviewWindow, fileName, width, height, sizeMode) == 0)
        return;
    Sleep(kPauseBeforeSaveMs);
    DynStr copyName = StrUpper(StrConcat(StrConcat(prefix, baseName), ".jpg"));
    SaveReducedCopy(copyName, width, height);
}

void ProcessImages(StrList* images)
{
    int32_t width = 0;
    int32_t height = 0;
    attachSurface(gPreviewWindow, 0, true);
    for (int32_t i = 1; i <= StrListUpperBound(images); ++i) {
        const DynStr& fileName = *StrListAt(images, i);
        if (StrCompare(fileName, DynStr()) == 0)
            continue;
        DynStr baseName = StrBefore(1, fileName, ".");
        ConsolePrint("Elaboro ");
        ConsolePrint(baseName);
        ConsolePrintLine(" ....");
        MakeCopy(fileName, baseName, "cr_", kLargeCopy, &width, &height);
        MakeCopy(fileName, baseName, "a_", kSmallCopy, &width, &height);
    }
}
