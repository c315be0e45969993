// The main procedure: the run's phases, once each and in order.
#include "app/main_procedure.h"

#include "app/app.h"
#include "runtime/console.h"
#include "surfaces/surfaces.h"

uint32_t gPreviewWindow;

enum {
    kConsoleColumns = 60,
    kConsoleRows = 12,
    kConsoleX = 600,
    kConsoleY = 0,
    kPlaceholderSide = 100,
    kFinalPauseMs = 1000,
    kInterruptedExitCode = 1,
};

// Whether the list names any file: a folder without photos leaves only
// its empty first element.
static bool ListsAnyImage(StrList* images)
{
    for (int32_t i = 1; i <= StrListUpperBound(images); ++i) {
        if (!StrListAt(images, i)->empty())
            return true;
    }
    return false;
}

// "1 copia non creata.", "6 copie non create."
static DynStr FailureCountLine(int32_t failed)
{
    DynStr count = StrTrimLeading(StrNumber(failed), " ");
    return StrConcat(count, failed == 1 ? " copia non creata." : " copie non create.");
}

int32_t MainProcedure(HINSTANCE, HINSTANCE, const char*, int32_t)
{
    StrList images = {};
    StrListCreate(&images, 1, 1);
    ConsoleSetScreen(kConsoleColumns, kConsoleRows);
    ConsoleSetLocation(kConsoleX, kConsoleY);
    ShowIntro();
    if (ChoosePhoto().empty()) {
        StrListRelease(&images);
        return 0;
    }
    RemoveStalePendingCopies();
    ConsolePrintLine("Leggo lista delle immagini.");
    BuildImageList("*.*", "album,cr_,a_,crw_", &images);
    gPreviewWindow = openGraphicWindow(DynStr(), 0, 0, kPlaceholderSide, kPlaceholderSide, 0);
    ConsolePrintLine("Elaborazione.");
    bool nothingToDo = !ListsAnyImage(&images);
    if (nothingToDo)
        ConsolePrintLine("Nessuna foto da copiare in questa cartella.");
    bool interrupted = false;
    int32_t failed = ProcessImages(&images, &interrupted);
    attachSurface(gPreviewWindow, 0, false);
    closeGraphicWindow();
    ConsolePrintLine(interrupted ? "Interrotto." : "Finito.");
    if (failed > 0)
        ConsolePrintLine(FailureCountLine(failed));
    // A console of the tool's own closes with it: what went wrong, or that
    // nothing was done, stays until it has been read. A stop asked by the
    // user ends at once.
    if ((failed > 0 || nothingToDo) && !interrupted && ConsoleIsOwn()) {
        ConsolePrint("Batti un tasto per uscire...");
        ConsoleWaitKey();
    } else {
        Sleep(kFinalPauseMs);
    }
    StrListRelease(&images);
    return interrupted ? kInterruptedExitCode : 0;
}
