// The graphic-text font list that start-up fills for the graphic surfaces.
#include "runtime/font_list.h"

#include <string.h>

FontEntry gFonts[kFontListSize];

static void FillFontEntry(FontEntry* entry, int32_t number, const char* face, int32_t pointSize)
{
    memset(entry, 0, sizeof(*entry));
    entry->number = number;
    entry->pointSize = pointSize;
    entry->logFont.lfWeight = FW_NORMAL;
    entry->logFont.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(entry->logFont.lfFaceName, face, LF_FACESIZE);
}

void FontListFill()
{
    FillFontEntry(&gFonts[0], 1, "MS Sans Serif", 8);
    FillFontEntry(&gFonts[1], 2, "Courier New", 0);
}
