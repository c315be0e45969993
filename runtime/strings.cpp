// The string services proper: joining, comparing, searching, cutting and fields.
#include "runtime/strings.h"

#include <string.h>

#include "runtime/errors.h"
#include "runtime/string_search.h"

static const unsigned char* Bytes(const DynStr& s)
{
    return reinterpret_cast<const unsigned char*>(s.bytes());
}

// A negative position counts from the end: -1 is the last byte.
static int32_t FromEnd(int32_t length, int32_t position)
{
    return length + position + 1;
}

// A result of `length` bytes, or "" with `error` recorded where the length
// does not fit a dynamic string.
static DynStr NewResult(int64_t length, int32_t error)
{
    if (length > INT32_MAX) {
        RaiseError(error);
        return DynStr();
    }
    return DynStr::ofLength(static_cast<int32_t>(length));
}

DynStr StrConcat(const DynStr& a, const DynStr& b)
{
    if (a.empty())
        return b;
    if (b.empty())
        return a;
    int64_t total = static_cast<int64_t>(a.length()) + b.length();
    DynStr result = NewResult(total, kErrOutOfMemory);
    if (result.empty())
        return result;
    memcpy(result.mutableBytes(), a.bytes(), static_cast<size_t>(a.length()));
    memcpy(result.mutableBytes() + a.length(), b.bytes(), static_cast<size_t>(b.length()));
    return result;
}

int32_t StrCompare(const DynStr& a, const DynStr& b)
{
    int32_t common = a.length() < b.length() ? a.length() : b.length();
    int order = memcmp(a.bytes(), b.bytes(), static_cast<size_t>(common));
    if (order != 0)
        return order < 0 ? -1 : 1;
    if (a.length() == b.length())
        return 0;
    return a.length() < b.length() ? -1 : 1;
}

int32_t StrLength(const DynStr& s)
{
    return s.length();
}

// The answers of StrFind and StrFindAny that need no search: start 0, empty
// text, empty search text. True when *position holds the answer.
static bool AnsweredWithoutSearch(int32_t start, int32_t length, int32_t searchLength,
                                  int32_t* position)
{
    *position = 0;
    if (start == 0 || length == 0)
        return true;
    if (searchLength != 0)
        return false;
    if (start > 0) {
        *position = start;
    } else {
        int32_t p = FromEnd(length, start);
        *position = p >= 1 && p <= length ? p : 0;
    }
    return true;
}

int32_t StrFind(int32_t start, const DynStr& text, const DynStr& match)
{
    int32_t length = text.length();
    int32_t position;
    if (AnsweredWithoutSearch(start, length, match.length(), &position))
        return position;
    int32_t found;
    if (start > 0) {
        if (start > length)
            return 0;
        found = FindForward(Bytes(text), length, start - 1, Bytes(match), match.length());
    } else {
        int32_t p = FromEnd(length, start);
        if (p < 1)
            return 0;
        // The occurrence must end at p or earlier.
        found = FindBackward(Bytes(text), length, p - match.length(), Bytes(match),
                             match.length());
    }
    return found < 0 ? 0 : found + 1;
}

int32_t StrFindAny(int32_t start, const DynStr& text, const DynStr& set)
{
    int32_t length = text.length();
    int32_t position;
    if (AnsweredWithoutSearch(start, length, set.length(), &position))
        return position;
    bool inSet[256] = {};
    for (int32_t i = 0; i < set.length(); ++i)
        inSet[set.at(i)] = true;
    const unsigned char* bytes = Bytes(text);
    if (start > 0) {
        for (int32_t i = start - 1; i < length; ++i) {
            if (inSet[bytes[i]])
                return i + 1;
        }
        return 0;
    }
    for (int32_t i = FromEnd(length, start) - 1; i >= 0; --i) {
        if (inSet[bytes[i]])
            return i + 1;
    }
    return 0;
}

DynStr StrMid(const DynStr& s, int32_t start, int32_t count)
{
    int32_t length = s.length();
    if (count < 0) {
        count = length + count;
        if (count < 0)
            count = INT32_MAX;
    }
    if (start == 0)
        return DynStr();
    if (start < 0) {
        start = FromEnd(length, start);
        if (start < 1)
            return DynStr();
    }
    if (start > length || count == 0)
        return DynStr();
    int32_t available = length - start + 1;
    return DynStr(s.bytes() + start - 1, count < available ? count : available);
}

DynStr StrBefore(int32_t start, const DynStr& text, const DynStr& match)
{
    int32_t length = text.length();
    if (start == 0 || length == 0)
        return DynStr();
    if (match.empty())
        return text;
    if (start < 0)
        start = FromEnd(length, start);
    if (start < 1 || start > length)
        return DynStr();
    int32_t found = FindForward(Bytes(text), length, start - 1, Bytes(match), match.length());
    int32_t end = found < 0 ? length : found;
    return DynStr(text.bytes() + start - 1, end - (start - 1));
}

DynStr StrTrimLeading(const DynStr& text, const DynStr& match)
{
    int32_t length = text.length(), matchLength = match.length();
    if (length == 0 || matchLength == 0 || matchLength > length)
        return text;
    int32_t begin = 0;
    while (length - begin >= matchLength &&
           memcmp(text.bytes() + begin, match.bytes(), static_cast<size_t>(matchLength)) == 0)
        begin += matchLength;
    return begin == 0 ? text : DynStr(text.bytes() + begin, length - begin);
}

DynStr StrTrimTrailing(const DynStr& text, const DynStr& match)
{
    int32_t length = text.length(), matchLength = match.length();
    if (length == 0 || matchLength == 0 || matchLength > length)
        return text;
    int32_t end = length;
    while (end >= matchLength &&
           memcmp(text.bytes() + end - matchLength, match.bytes(),
                  static_cast<size_t>(matchLength)) == 0)
        end -= matchLength;
    return end == length ? text : DynStr(text.bytes(), end);
}

DynStr StrReplace(const DynStr& text, const DynStr& match, const DynStr& replacement)
{
    const unsigned char* bytes = Bytes(text);
    int32_t length = text.length(), matchLength = match.length();
    if (length == 0 || matchLength == 0 || matchLength > length)
        return text;
    int64_t occurrences = 0;
    for (int32_t at = FindForward(bytes, length, 0, Bytes(match), matchLength); at >= 0;
         at = FindForward(bytes, length, at + matchLength, Bytes(match), matchLength))
        ++occurrences;
    if (occurrences == 0)
        return text;
    int64_t newLength =
        length + occurrences * (static_cast<int64_t>(replacement.length()) - matchLength);
    DynStr result = NewResult(newLength, kErrBadArgument);
    if (result.empty())
        return result;
    char* out = result.mutableBytes();
    int32_t copied = 0;
    for (int32_t at = FindForward(bytes, length, 0, Bytes(match), matchLength); at >= 0;
         at = FindForward(bytes, length, at + matchLength, Bytes(match), matchLength)) {
        memcpy(out, text.bytes() + copied, static_cast<size_t>(at - copied));
        out += at - copied;
        memcpy(out, replacement.bytes(), static_cast<size_t>(replacement.length()));
        out += replacement.length();
        copied = at + matchLength;
    }
    memcpy(out, text.bytes() + copied, static_cast<size_t>(length - copied));
    return result;
}

int32_t StrFieldCount(const DynStr& text, const DynStr& delimiter)
{
    int32_t length = text.length(), delimiterLength = delimiter.length();
    if (delimiterLength == 0)
        return 1;
    int32_t fields = 1;
    for (int32_t at = FindForward(Bytes(text), length, 0, Bytes(delimiter), delimiterLength);
         at >= 0;
         at = FindForward(Bytes(text), length, at + delimiterLength, Bytes(delimiter),
                          delimiterLength))
        ++fields;
    return fields;
}

DynStr StrField(const DynStr& text, const DynStr& delimiter, int32_t n)
{
    int32_t length = text.length(), delimiterLength = delimiter.length();
    if (n == 0)
        return DynStr();
    if (delimiterLength == 0)
        return n == 1 || n == -1 ? text : DynStr();
    if (n < 0) {
        n = FromEnd(StrFieldCount(text, delimiter), n);
        if (n < 1)
            return DynStr();
    }
    int32_t begin = 0;
    for (int32_t field = 1; field < n; ++field) {
        int32_t at = FindForward(Bytes(text), length, begin, Bytes(delimiter), delimiterLength);
        if (at < 0)
            return DynStr();
        begin = at + delimiterLength;
    }
    int32_t end = FindForward(Bytes(text), length, begin, Bytes(delimiter), delimiterLength);
    if (end < 0)
        end = length;
    return DynStr(text.bytes() + begin, end - begin);
}

void StrStoreFixed(const DynStr& text, void* field, int32_t fieldLength)
{
    if (!field || fieldLength <= 0)
        return;
    int32_t copied = text.length() < fieldLength ? text.length() : fieldLength;
    memcpy(field, text.bytes(), static_cast<size_t>(copied));
    memset(static_cast<char*>(field) + copied, ' ', static_cast<size_t>(fieldLength - copied));
}

DynStr StrFromMemory(const void* address, int32_t length)
{
    if (length <= 0)
        return DynStr();
    if (!address) {
        RaiseError(kErrBadArgument);
        return DynStr();
    }
    return DynStr(static_cast<const char*>(address), length);
}
