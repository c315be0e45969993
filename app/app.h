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
void ProcessImages(StrList* images);
