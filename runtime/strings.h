// String services: the text operations the program is written with.
// Positions are 1-based; a negative position counts from the end (-1 = last).
// Every operation returns a new value and leaves its arguments unchanged.
// Storage that cannot be obtained records run-time error 7 and gives "".
#pragma once
#include <stdint.h>

#include "runtime/dynstr.h"

DynStr StrConcat(const DynStr& a, const DynStr& b);
// Unsigned byte order, the shorter prefix first: <0, 0 or >0.
int32_t StrCompare(const DynStr& a, const DynStr& b);
int32_t StrLength(const DynStr& s);
int32_t StrFind(int32_t start, const DynStr& text, const DynStr& match);
int32_t StrFindAny(int32_t start, const DynStr& text, const DynStr& set);
DynStr StrMid(const DynStr& s, int32_t start, int32_t count);
// The fixed case table: a-z and seven code-page-437 pairs, whatever the locale.
DynStr StrUpper(const DynStr& s);
DynStr StrLower(const DynStr& s);
unsigned char UpperCaseByte(unsigned char byte);
unsigned char LowerCaseByte(unsigned char byte);
DynStr StrBefore(int32_t start, const DynStr& text, const DynStr& match);
DynStr StrTrimLeading(const DynStr& text, const DynStr& match);
DynStr StrTrimTrailing(const DynStr& text, const DynStr& match);
// Result length overflow records run-time error 5 and gives "".
DynStr StrReplace(const DynStr& text, const DynStr& match, const DynStr& replacement);
int32_t StrFieldCount(const DynStr& text, const DynStr& delimiter);
DynStr StrField(const DynStr& text, const DynStr& delimiter, int32_t n);
DynStr StrSpaces(int32_t n);
DynStr StrRepeat(int32_t n, unsigned char code);
DynStr StrCenter(const DynStr& text, int32_t width, const DynStr& pad);
DynStr StrLeftJustify(const DynStr& text, int32_t width, const DynStr& pad);
// Sign position first: " 800", "-5".
DynStr StrNumber(long double x);
// Wide strings hold UTF-16 code units, two bytes each, without a terminator.
DynStr StrToWide(const DynStr& s);
DynStr StrFromWide(const DynStr& w);
// The same conversion, giving `failed` instead of w when it cannot be made.
DynStr StrFromWideOr(const DynStr& w, const DynStr& failed);
void StrStoreFixed(const DynStr& text, void* field, int32_t fieldLength);
DynStr StrFromMemory(const void* address, int32_t length);

// A list of dynamic strings with inclusive bounds lo..hi. A list not yet
// created has no elements and upper bound -1.
struct StrList {
    int32_t lo;
    int32_t hi;
    DynStr* items;   // hi - lo + 1 elements, owned
    bool created;
};

// hi < lo records run-time error 9 and leaves the list unchanged.
void StrListCreate(StrList* list, int32_t lo, int32_t hi);
// Keeps lo..min(hi, newHi); a list not yet created is created. Another lower
// bound, or newHi < lo, records error 9 and leaves the list unchanged.
void StrListResize(StrList* list, int32_t lo, int32_t newHi);
int32_t StrListUpperBound(const StrList* list);
// Null outside the bounds (and records error 9).
DynStr* StrListAt(StrList* list, int32_t index);
void StrListRelease(StrList* list);
// The comma rules: quoted fields, blanks trimmed; elements filled in order.
void StrSplitToList(const DynStr& text, StrList* list);
