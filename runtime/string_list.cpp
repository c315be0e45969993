// String lists with inclusive bounds, and a comma-separated text split into one.
#include <new>
#include <string.h>

#include "runtime/errors.h"
#include "runtime/strings.h"

// count empty strings, or null (error 7 recorded).
static DynStr* NewItems(int64_t count)
{
    if (count <= 0 || static_cast<uint64_t>(count) > SIZE_MAX / sizeof(DynStr)) {
        RaiseError(kErrOutOfMemory);
        return nullptr;
    }
    DynStr* items = new (std::nothrow) DynStr[static_cast<size_t>(count)];
    if (!items)
        RaiseError(kErrOutOfMemory);
    return items;
}

void StrListCreate(StrList* list, int32_t lo, int32_t hi)
{
    if (!list)
        return;
    if (hi < lo) {
        RaiseError(kErrBounds);
        return;
    }
    DynStr* items = NewItems(static_cast<int64_t>(hi) - lo + 1);
    if (!items)
        return;
    StrListRelease(list);
    list->lo = lo;
    list->hi = hi;
    list->items = items;
    list->created = true;
}

void StrListResize(StrList* list, int32_t lo, int32_t newHi)
{
    if (!list)
        return;
    if (!list->created) {
        StrListCreate(list, lo, newHi);
        return;
    }
    if (lo != list->lo || newHi < lo) {
        RaiseError(kErrBounds);
        return;
    }
    if (newHi == list->hi)
        return;
    DynStr* items = NewItems(static_cast<int64_t>(newHi) - lo + 1);
    if (!items)
        return;
    int32_t keptHi = newHi < list->hi ? newHi : list->hi;
    for (int64_t i = 0; i <= static_cast<int64_t>(keptHi) - lo; ++i)
        items[i] = static_cast<DynStr&&>(list->items[i]);
    delete[] list->items;
    list->items = items;
    list->hi = newHi;
}

int32_t StrListUpperBound(const StrList* list)
{
    return list && list->created ? list->hi : -1;
}

DynStr* StrListAt(StrList* list, int32_t index)
{
    if (!list || !list->created || index < list->lo || index > list->hi) {
        RaiseError(kErrBounds);
        return nullptr;
    }
    return &list->items[static_cast<int64_t>(index) - list->lo];
}

void StrListRelease(StrList* list)
{
    if (!list)
        return;
    delete[] list->items;
    list->items = nullptr;
    list->lo = 0;
    list->hi = -1;
    list->created = false;
}

static int32_t CommaAtOrAfter(const char* bytes, int32_t length, int32_t from)
{
    const void* comma = memchr(bytes + from, ',', static_cast<size_t>(length - from));
    return comma ? static_cast<int32_t>(static_cast<const char*>(comma) - bytes) : length;
}

// The field that begins at *pos; *pos moves behind the comma that ends it.
static DynStr NextCommaField(const DynStr& text, int32_t* pos)
{
    const char* bytes = text.bytes();
    int32_t length = text.length();
    int32_t at = *pos;
    while (at < length && bytes[at] == ' ')
        ++at;
    int32_t begin, end;
    if (at < length && bytes[at] == '"') {
        // Quoted: up to the closing quote; the rest up to the comma is dropped.
        begin = at + 1;
        const void* quote = memchr(bytes + begin, '"', static_cast<size_t>(length - begin));
        end = quote ? static_cast<int32_t>(static_cast<const char*>(quote) - bytes) : length;
        at = CommaAtOrAfter(bytes, length, end);
    } else {
        begin = at;
        at = CommaAtOrAfter(bytes, length, begin);
        end = at;
        while (end > begin && bytes[end - 1] == ' ')
            --end;
    }
    *pos = at < length ? at + 1 : length;
    return DynStr(bytes + begin, end - begin);
}

void StrSplitToList(const DynStr& text, StrList* list)
{
    if (!list || !list->created)
        return;
    int32_t pos = 0;
    for (int64_t i = 0; i <= static_cast<int64_t>(list->hi) - list->lo; ++i) {
        if (pos < text.length())
            list->items[i] = NextCommaField(text, &pos);
        else
            list->items[i] = DynStr();
    }
}
