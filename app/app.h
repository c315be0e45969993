// The batch driver's phases.
#pragma once
#include <windows.h>
#include <stdint.h>

#include "runtime/dynstr.h"
#include "runtime/strings.h"

// Frame handle of the preview window now on screen; 0 before the first one.
extern uint32_t gPreviewWindow;

void ShowIntro();
// The chosen photo's folder with its trailing separator, or "" when nothing
// was chosen. After a choice the current directory is that folder.
DynStr ChoosePhoto();
// Sets folder to the chosen photo's folder, up to and including its last
// backslash or slash, and makes it the current directory. 1 when the current
// directory is that folder afterwards; 0 when the path has no folder or the
// folder cannot be entered (the current directory is then unchanged).
int32_t EnterPhotoFolder(const DynStr& photoPath, DynStr* folder);
// GetOpenFileNameA with the 76-byte record; fileName and flags are in and out.
int32_t OpenFileDialog(HWND owner, const DynStr& caption, DynStr* fileName,
                       const DynStr& initialFolder, const DynStr& filter,
                       const DynStr& defaultExtension, uint32_t* flags);
// Fills images (lower bound 1) with the names of the current directory that
// pass the skip test and the extension test, in listing order.
void BuildImageList(const DynStr& pattern, const DynStr& skipList, StrList* images);
// Makes the copies of every listed photo; the number of copies not made.
// Stops before the next copy once a stop is asked (Ctrl+C), with
// *interrupted set.
int32_t ProcessImages(StrList* images, bool* interrupted);

// The copies a run has written, as UTF-16 names (elements 1..count).
struct CopyNames {
    StrList written;
    int32_t count;
};
enum CopyStemKind : int32_t { kStemNone = 0, kStemBaseName = 1, kStemWholeName = 2 };
// The stem both copies of a photo are named after ("cr_" + stem + ".jpg"):
// its base name, or its whole name when an earlier copy of the run has the
// base name's; none when that is taken too.
int32_t CopyStem(CopyNames* names, const DynStr& fileName, DynStr* stem);
void NoteCopyWritten(CopyNames* names, const DynStr& copyName);
void ReleaseCopyNames(CopyNames* names);

// Removes the pending files of copies that an earlier run of the tool, ended
// before it could put them in place, left in the current directory.
void RemoveStalePendingCopies();
