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
};

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
    ConsolePrintLine("Leggo lista delle immagini.");
    BuildImageList("*.*", "album,cr_,a_,crw_", &images);
    gPreviewWindow = openGraphicWindow(DynStr(), 0, 0, kPlaceholderSide, kPlaceholderSide, 0);
    ConsolePrintLine("Elaborazione.");
    ProcessImages(&images);
    attachSurface(gPreviewWindow, 0, false);
    closeGraphicWindow();
    ConsolePrintLine("Finito.");
    Sleep(kFinalPauseMs);
    StrListRelease(&images);
    return 0;
}
