// The per-image step: the large and the small copy of every listed photo.
#include "app/app.h"
#include "imaging/imaging.h"
#include "runtime/console.h"
#include "runtime/interrupt.h"
#include "surfaces/surfaces.h"

enum { kLargeCopy = 1, kSmallCopy = 0, kPauseBeforeSaveMs = 10 };

// Width and height carry over from one copy to the next, as the reduction
// hands the copy's size to the save through them. 1 when the copy was written.
static int32_t MakeCopy(const DynStr& fileName, const DynStr& stem, const char* prefix,
                        int32_t sizeMode, int32_t* width, int32_t* height, CopyNames* names)
{
    if (ReduceImage(&gPreviewWindow, fileName, width, height, sizeMode) == 0)
        return 0;
    Sleep(kPauseBeforeSaveMs);
    DynStr copyName = StrUpper(StrConcat(StrConcat(prefix, stem), ".jpg"));
    if (!SaveReducedCopy(copyName, width, height))
        return 0;
    NoteCopyWritten(names, copyName);
    return 1;
}

// Both copies of the photo under the stem its names resolve to, or neither;
// the copies not made.
static int32_t MakeCopies(const DynStr& fileName, int32_t* width, int32_t* height,
                          CopyNames* names, bool* interrupted)
{
    DynStr stem;
    int32_t kind = CopyStem(names, fileName, &stem);
    if (kind == kStemNone) {
        ConsolePrintLine(StrConcat("Nome gi\xE0 usato, nessuna copia di ", fileName));
        return 2;
    }
    if (kind == kStemWholeName)
        ConsolePrintLine(StrConcat(StrConcat("Nome gi\xE0 usato: copie come cr_", StrLower(stem)),
                                   ".jpg"));
    int32_t made = MakeCopy(fileName, stem, "cr_", kLargeCopy, width, height, names);
    if (InterruptRequested()) {
        *interrupted = true;
        return 1 - made;
    }
    made += MakeCopy(fileName, stem, "a_", kSmallCopy, width, height, names);
    return 2 - made;
}

int32_t ProcessImages(StrList* images, bool* interrupted)
{
    int32_t width = 0;
    int32_t height = 0;
    int32_t failed = 0;
    CopyNames names = {};
    *interrupted = false;
    attachSurface(gPreviewWindow, 0, true);
    for (int32_t i = 1; i <= StrListUpperBound(images); ++i) {
        const DynStr& fileName = *StrListAt(images, i);
        if (StrCompare(fileName, DynStr()) == 0)
            continue;
        if (InterruptRequested()) {
            *interrupted = true;
            break;
        }
        ConsolePrint("Elaboro ");
        ConsolePrint(StrBefore(1, fileName, "."));
        ConsolePrintLine(" ....");
        failed += MakeCopies(fileName, &width, &height, &names, interrupted);
    }
    ReleaseCopyNames(&names);
    return failed;
}
