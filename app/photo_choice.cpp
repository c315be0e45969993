// The photo choice: the file-open dialog, then the chosen photo's folder made current.
#include "app/app.h"

#include <commdlg.h>
#include <string.h>

#include "runtime/console.h"
#include "runtime/directory.h"

enum {
    kFileNameBufferSize = 8192,
    kFileTitleBufferSize = 260,
    kChoosePhotoFlags = OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_EXPLORER | OFN_LONGNAMES,
};

static const char kImageFilter[] =
    "Immagini (*.JPG,*.BMP,*.GIF,*.JPEG,*.PNG,*.TIF,*.TIFF,*.WMF)|"
    "*.JPG;*.BMP;*.GIF;*.JPEG;*.PNG;*.TIF;*.TIFF;*.WMF|";

static DynStr ZeroByte()
{
    return DynStr("", 1);
}

static const char* TextOrNull(const DynStr& text)
{
    return text.empty() ? nullptr : text.bytes();
}

int32_t OpenFileDialog(HWND owner, const DynStr& caption, DynStr* fileName,
                       const DynStr& initialFolder, const DynStr& filter,
                       const DynStr& defaultExtension, uint32_t* flags)
{
    DynStr platformFilter = StrConcat(StrReplace(filter, "|", ZeroByte()), ZeroByte());
    DynStr folder = initialFolder.empty() ? CurrentDirectory() : initialFolder;

    int32_t zeroAt = StrFind(1, *fileName, ZeroByte());
    DynStr buffer = zeroAt > 0 ? StrMid(*fileName, 1, zeroAt) : StrConcat(*fileName, ZeroByte());
    buffer = StrConcat(buffer, StrSpaces(kFileNameBufferSize - StrLength(buffer)));
    char fileTitle[kFileTitleBufferSize] = {0};

    OPENFILENAMEA record;
    memset(&record, 0, sizeof(record));
    record.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    record.hwndOwner = owner;
    record.lpstrFilter = platformFilter.bytes();
    record.nFilterIndex = 1;
    record.lpstrFile = buffer.mutableBytes();
    record.nMaxFile = buffer.empty() ? 0 : kFileNameBufferSize;
    record.lpstrFileTitle = fileTitle;
    record.nMaxFileTitle = kFileTitleBufferSize;
    record.lpstrInitialDir = folder.bytes();
    record.lpstrTitle = TextOrNull(caption);
    record.Flags = *flags;
    record.lpstrDefExt = TextOrNull(defaultExtension);

    int32_t result = GetOpenFileNameA(&record) ? 1 : 0;

    int32_t pairAt = StrFind(1, buffer, DynStr("\0\0", 2));
    zeroAt = pairAt > 0 ? pairAt : StrFind(1, buffer, ZeroByte());
    *fileName = zeroAt > 0 ? StrMid(buffer, 1, zeroAt - 1) : DynStr();
    *flags = record.Flags;
    return result;
}

// Whether the current directory is folder, letter case, the kind of
// separator and a trailing separator aside.
static bool IsCurrentFolder(const DynStr& folder)
{
    DynStr current = StrReplace(CurrentDirectory(), "/", "\\");
    DynStr wanted = StrReplace(folder, "/", "\\");
    current = StrTrimTrailing(current, "\\");
    wanted = StrTrimTrailing(wanted, "\\");
    return !current.empty() && lstrcmpiA(current.bytes(), wanted.bytes()) == 0;
}

int32_t EnterPhotoFolder(const DynStr& photoPath, DynStr* folder)
{
    int32_t separatorAt = StrFindAny(-1, photoPath, "\\/");
    *folder = StrMid(photoPath, 1, separatorAt);
    if (folder->empty())
        return 0;
    // Wine's dialog leaves the current directory where it started; the listing
    // and every name of the batch are relative to the chosen folder. A folder
    // the ANSI names cannot reach (letters given as "?") fails here, unless the
    // dialog itself has already moved there.
    if (SetCurrentDirectoryA(folder->bytes()) || IsCurrentFolder(*folder))
        return 1;
    return 0;
}

DynStr ChoosePhoto()
{
    HWND owner = ConsoleWindowHandle();
    DynStr initialFolder = CurrentDirectory();
    DynStr fileName;
    uint32_t flags = kChoosePhotoFlags;
    int32_t chosen = OpenFileDialog(owner, "Scegli una foto da copiare ridotta", &fileName,
                                    initialFolder, kImageFilter, DynStr(), &flags);
    if (!chosen || fileName.empty())
        return DynStr();
    DynStr folder;
    if (EnterPhotoFolder(fileName, &folder))
        return folder;
    if (!folder.empty()) {
        // The run ends here, and the console window with it: the line stays
        // until the user has read it.
        ConsolePrintLine(StrConcat("Impossibile aprire la cartella ", folder));
        ConsolePrint("Batti un tasto per uscire...");
        ConsoleWaitKey();
    }
    return DynStr();
}
