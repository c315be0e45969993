// The names of a run's copies: no photo's copy takes the place of another's
// written earlier in the same run.
#include "app/app.h"

static DynStr CopyName(const char* prefix, const DynStr& stem)
{
    return StrLower(StrConcat(StrConcat(prefix, stem), ".jpg"));
}

// Compared as the file system compares names: Perù.jpg and PERÙ.png share
// their copies, although the copies' own table lowers only ASCII.
static bool IsWritten(CopyNames* names, const DynStr& copyName)
{
    DynStr wide = StrToWide(copyName);
    for (int32_t i = 1; i <= names->count; ++i) {
        const DynStr& written = *StrListAt(&names->written, i);
        if (CompareStringOrdinal(reinterpret_cast<const WCHAR*>(written.bytes()),
                                 written.length() / 2,
                                 reinterpret_cast<const WCHAR*>(wide.bytes()), wide.length() / 2,
                                 TRUE) == CSTR_EQUAL)
            return true;
    }
    return false;
}

static bool StemTaken(CopyNames* names, const DynStr& stem)
{
    return IsWritten(names, CopyName("cr_", stem)) || IsWritten(names, CopyName("a_", stem));
}

int32_t CopyStem(CopyNames* names, const DynStr& fileName, DynStr* stem)
{
    *stem = StrBefore(1, fileName, ".");
    if (!StemTaken(names, *stem))
        return kStemBaseName;
    *stem = fileName;
    if (!StemTaken(names, *stem))
        return kStemWholeName;
    *stem = DynStr();
    return kStemNone;
}

void NoteCopyWritten(CopyNames* names, const DynStr& copyName)
{
    // Grown by halves, so that a folder of thousands of photos is not
    // copied over at every name.
    int32_t capacity = StrListUpperBound(&names->written);
    if (capacity < 0)
        capacity = 0;
    if (names->count == capacity)
        StrListResize(&names->written, 1, capacity < 8 ? 8 : capacity + capacity / 2);
    DynStr* slot = StrListAt(&names->written, names->count + 1);
    if (!slot)
        return;
    *slot = StrToWide(StrLower(copyName));
    ++names->count;
}

void ReleaseCopyNames(CopyNames* names)
{
    StrListRelease(&names->written);
    names->count = 0;
}
