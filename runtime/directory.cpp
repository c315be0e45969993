// Directory listing: the calling thread's search, its entries filtered by kind.
#include "runtime/directory.h"

#include <string.h>

#include "runtime/errors.h"
#include "runtime/thread_state.h"

enum {
    kMaskLimit = 256,
    kDirTypeBits = kDirHidden | kDirSystem | kDirDirectory,
};

static uint32_t ReduceAttributeSet(uint32_t attributes)
{
    attributes &= kDirTypeBits | kDirOnly;
    if ((attributes & kDirTypeBits) == 0)
        attributes &= ~static_cast<uint32_t>(kDirOnly);
    return attributes;
}

static bool Admitted(const WIN32_FIND_DATAA& entry, uint32_t set)
{
    uint32_t kind = entry.dwFileAttributes & kDirTypeBits;
    if (kind & ~set)
        return false;
    if ((set & kDirOnly) && (kind & set) == 0)
        return false;
    const char* name = entry.cFileName;
    return strcmp(name, ".") != 0 && strcmp(name, "..") != 0;
}

static void CloseSearch(ThreadState* state)
{
    if (state->searchHandle) {
        HANDLE handle = state->searchHandle;
        int32_t ignored;
        ProtectedPlatformCall([handle] { return FindClose(handle); }, &ignored);
    }
    state->searchHandle = 0;
    state->searchAttributes = 0;
}

// From the entry in *entry on, the first admitted name of the open search;
// at the end of the listing the search is closed and the name is "".
static DynStr FirstAdmitted(ThreadState* state, WIN32_FIND_DATAA* entry)
{
    HANDLE handle = state->searchHandle;
    while (!Admitted(*entry, state->searchAttributes)) {
        int32_t ignored;
        BOOL more = ProtectedPlatformCall([handle, entry] { return FindNextFileA(handle, entry); },
                                          &ignored);
        if (!more) {
            CloseSearch(state);
            return DynStr();
        }
    }
    return DynStr(entry->cFileName, static_cast<int32_t>(strnlen(entry->cFileName, MAX_PATH - 1)));
}

DynStr DirNext()
{
    ThreadState* state = CurrentThreadState();
    if (!state || !state->searchHandle)
        return DynStr();
    HANDLE handle = state->searchHandle;
    WIN32_FIND_DATAA entry;
    int32_t ignored;
    if (!ProtectedPlatformCall([handle, &entry] { return FindNextFileA(handle, &entry); },
                               &ignored)) {
        CloseSearch(state);
        return DynStr();
    }
    return FirstAdmitted(state, &entry);
}

DynStr DirFirst(const DynStr& mask, uint32_t attributes)
{
    // Room for the cut mask, "*.*" and the terminating zero.
    char pattern[kMaskLimit + 4];
    int32_t length = mask.length() < kMaskLimit ? mask.length() : kMaskLimit;
    memcpy(pattern, mask.bytes(), static_cast<size_t>(length));
    pattern[length] = 0;
    length = static_cast<int32_t>(strlen(pattern));
    if (length == 0)
        return DirNext();
    ThreadState* state = CurrentThreadState();
    if (!state) {
        RaiseError(kErrOutOfMemory);
        return DynStr();
    }
    CloseSearch(state);
    if (pattern[length - 1] == ':' || pattern[length - 1] == '\\')
        memcpy(pattern + length, "*.*", 4);
    WIN32_FIND_DATAA entry;
    int32_t ignored;
    HANDLE handle = ProtectedPlatformCall(
        [&pattern, &entry] { return FindFirstFileA(pattern, &entry); }, &ignored);
    if (handle == INVALID_HANDLE_VALUE)
        return DynStr();
    state->searchHandle = handle;
    state->searchAttributes = ReduceAttributeSet(attributes);
    return FirstAdmitted(state, &entry);
}

DynStr CurrentDirectory()
{
    char buffer[MAX_PATH + 1] = {};
    int32_t error = 0;
    DWORD length = ProtectedPlatformCall(
        [&buffer] { return GetCurrentDirectoryA(MAX_PATH, buffer); }, &error);
    if (error == 0 && length >= MAX_PATH) {
        // Too long for the buffer: the call reports the size it needs and
        // writes nothing, so there is no directory text to give.
        error = TranslatePlatformError(ERROR_FILENAME_EXCED_RANGE);
    }
    if (error != 0) {
        RaiseError(error);
        return DynStr();
    }
    return DynStr(buffer, static_cast<int32_t>(strnlen(buffer, MAX_PATH)));
}
