// String services: search, cutting, case table, comparison, fields, fitting, numbers and wide text.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "runtime/errors.h"
#include "runtime/strings.h"
#include "tests/support/dynstr_text.h"

static DynStr Bytes(const std::string& s)
{
    return DynStr(s.data(), static_cast<int32_t>(s.size()));
}

TEST(StrFind, PositionsFromEitherEnd)
{
    EXPECT_EQ(7, StrFind(1, "pngbmpjpggif", "jpg"));
    EXPECT_EQ(3, StrFind(1, "pngbmpjpggif", "gbm"));
    EXPECT_EQ(0, StrFind(1, "pngbmpjpggif", "tif"));
    EXPECT_EQ(9, StrFind(8, "pngbmpjpggif", "g"));
    EXPECT_EQ(10, StrFind(10, "pngbmpjpggif", "g"));
    EXPECT_EQ(0, StrFind(13, "pngbmpjpggif", "f"));
    EXPECT_EQ(0, StrFind(0, "abc", "a"));
    EXPECT_EQ(0, StrFind(1, "", "a"));
    EXPECT_EQ(0, StrFind(1, "ab", "abc"));
    // From the end: the last occurrence that ends at the position or before.
    EXPECT_EQ(4, StrFind(-1, "a.b.jpg", "."));
    EXPECT_EQ(0, StrFind(-1, "abc", "."));
    EXPECT_EQ(4, StrFind(-4, "a.b.jpg", "."));
    EXPECT_EQ(2, StrFind(-5, "a.b.jpg", "."));
    EXPECT_EQ(5, StrFind(-1, "abcabc", "bc"));
    EXPECT_EQ(2, StrFind(-2, "abcabc", "bc"));
    EXPECT_EQ(0, StrFind(-6, "abcabc", "bc"));
    EXPECT_EQ(1, StrFind(-6, "abcabc", "a"));
    EXPECT_EQ(0, StrFind(-7, "abcabc", "a"));
    EXPECT_EQ(0, StrFind(INT32_MIN, "abc", "a"));
    // Occurrences may overlap the start of the next one.
    EXPECT_EQ(2, StrFind(1, "aaab", "aab"));
    EXPECT_EQ(2, StrFind(-1, "aaaa", "aaa"));
}

TEST(StrFind, EmptyNeedleIsFoundAtTheStart)
{
    EXPECT_EQ(1, StrFind(1, "pngbmpjpggif", ""));
    EXPECT_EQ(40, StrFind(40, "pngbmpjpggif", "")) << "even beyond the end";
    EXPECT_EQ(12, StrFind(-1, "pngbmpjpggif", ""));
    EXPECT_EQ(1, StrFind(-12, "pngbmpjpggif", ""));
    EXPECT_EQ(0, StrFind(-13, "pngbmpjpggif", ""));
    EXPECT_EQ(0, StrFind(1, "", ""));
}

TEST(StrFind, ZeroBytesAreOrdinaryBytes)
{
    DynStr text("a\0b\0c", 5);
    DynStr zero("\0", 1);
    EXPECT_EQ(5, StrLength(text));
    EXPECT_EQ(2, StrFind(1, text, zero));
    EXPECT_EQ(4, StrFind(-1, text, zero));
    EXPECT_EQ(3, StrFind(1, text, DynStr("b\0c", 3)));
    EXPECT_EQ(4, StrFindAny(3, text, DynStr("x\0", 2)));
}

// A naive search as the reference for the rolling-hash one.
static int32_t NaiveFind(int32_t start, const std::string& text, const std::string& match)
{
    int32_t n = static_cast<int32_t>(text.size()), k = static_cast<int32_t>(match.size());
    if (start > 0) {
        for (int32_t i = start - 1; i + k <= n; ++i)
            if (text.compare(i, k, match) == 0)
                return i + 1;
        return 0;
    }
    for (int32_t i = n + start + 1 - k; i >= 0; --i)
        if (text.compare(i, k, match) == 0)
            return i + 1;
    return 0;
}

TEST(StrFind, AgreesWithANaiveSearchOnRandomText)
{
    srand(12345);
    for (int round = 0; round < 3000; ++round) {
        std::string text, match;
        int textLength = 1 + rand() % 40, matchLength = 1 + rand() % 6;
        // Three letters, one of them a byte above 127, so matches are common.
        const char alphabet[] = {'a', 'b', '\xE0'};
        for (int i = 0; i < textLength; ++i)
            text += alphabet[rand() % 3];
        for (int i = 0; i < matchLength; ++i)
            match += alphabet[rand() % 3];
        int32_t start = rand() % 2 ? 1 + rand() % textLength : -(1 + rand() % textLength);
        ASSERT_EQ(NaiveFind(start, text, match), StrFind(start, Bytes(text), Bytes(match)))
            << "text " << text << " match " << match << " start " << start;
    }
}

TEST(StrFind, SelfSimilarNeedlesTakeLinearTime)
{
    // a naive search would compare ~10^11 bytes here
    const int32_t n = 1000000;
    std::string text(n, 'a');
    std::string forward(n / 2, 'a');
    forward += 'b';
    std::string backward = "b" + std::string(n / 2, 'a');
    DWORD began = GetTickCount();
    EXPECT_EQ(0, StrFind(1, Bytes(text), Bytes(forward)));
    EXPECT_EQ(0, StrFind(-1, Bytes(text), Bytes(backward)));
    EXPECT_EQ(0, StrFieldCount(Bytes(text), Bytes(forward)) - 1);
    EXPECT_LT(GetTickCount() - began, 3000u);
}

TEST(StrFindAny, AnyByteOfTheSet)
{
    EXPECT_EQ(8, StrFindAny(-1, "C:\\foto/x.jpg", "\\/"));
    EXPECT_EQ(3, StrFindAny(1, "C:\\foto/x.jpg", "\\/"));
    EXPECT_EQ(8, StrFindAny(-6, "C:\\foto/x.jpg", "/\\"));
    EXPECT_EQ(3, StrFindAny(-7, "C:\\foto/x.jpg", "/\\"));
    EXPECT_EQ(0, StrFindAny(1, "abc", "xyz"));
    EXPECT_EQ(0, StrFindAny(4, "abc", "abc"));
    EXPECT_EQ(0, StrFindAny(-4, "abc", "abc"));
    EXPECT_EQ(0, StrFindAny(0, "abc", "abc"));
    EXPECT_EQ(2, StrFindAny(2, "abc", ""));
    EXPECT_EQ(3, StrFindAny(-1, "abc", ""));
    EXPECT_EQ(0, StrFindAny(1, "", "a"));
    EXPECT_EQ(2, StrFindAny(1, "a\xE9", "\xE9"));
}

TEST(StrMid, CutsAndItsOutOfRangeCases)
{
    EXPECT_EQ("cd", Text(StrMid("abcdef", 3, 2)));
    EXPECT_EQ("", Text(StrMid("abcdef", 0, 2)));
    EXPECT_EQ("ef", Text(StrMid("abcdef", -2, 5)));
    EXPECT_EQ("", Text(StrMid("abc", 5, 1)));
    EXPECT_EQ("", Text(StrMid("abc", -4, 1)));
    EXPECT_EQ("bc", Text(StrMid("abc", 2, 2147483647)));
    EXPECT_EQ("", Text(StrMid("abc", 1, 0)));
    // A negative count is taken from the length; still negative means all.
    EXPECT_EQ("bcde", Text(StrMid("abcdef", 2, -2)));
    EXPECT_EQ("bcdef", Text(StrMid("abcdef", 2, -100)));
    EXPECT_EQ(std::string("\0b", 2), Text(StrMid(DynStr("a\0b", 3), 2, 5)));
}

TEST(CaseTable, LettersAndTheSevenPairsOnly)
{
    const int pairs[7][2] = {{132, 142}, {148, 153}, {129, 154}, {130, 144},
                             {164, 165}, {134, 143}, {135, 128}};
    for (int code = 0; code < 256; ++code) {
        int upper = code, lower = code;
        if (code >= 'a' && code <= 'z')
            upper = code - 32;
        if (code >= 'A' && code <= 'Z')
            lower = code + 32;
        for (const auto& pair : pairs) {
            if (code == pair[0])
                upper = pair[1];
            if (code == pair[1])
                lower = pair[0];
        }
        EXPECT_EQ(upper, UpperCaseByte(static_cast<unsigned char>(code))) << "byte " << code;
        EXPECT_EQ(lower, LowerCaseByte(static_cast<unsigned char>(code))) << "byte " << code;
    }
}

TEST(CaseTable, WholeStrings)
{
    EXPECT_EQ("CRW_1.JPG", Text(StrUpper("Crw_1.jpg")));
    EXPECT_EQ("crw_1.jpg", Text(StrLower("CRW_1.JPG")));
    EXPECT_EQ("\xE0", Text(StrUpper("\xE0"))) << "224 is not in the table";
    EXPECT_EQ("\x87", Text(StrLower("\x80")));
    EXPECT_EQ(std::string("A\0\x8E", 3), Text(StrUpper(DynStr("a\0\x84", 3))));
    EXPECT_EQ("", Text(StrUpper("")));
}

TEST(StrCompare, UnsignedBytesAndPrefixes)
{
    EXPECT_EQ(0, StrCompare("jpg", "jpg"));
    EXPECT_LT(StrCompare("jpg", "jpga"), 0);
    EXPECT_GT(StrCompare("jpga", "jpg"), 0);
    EXPECT_LT(StrCompare("JPG", "jpg"), 0) << "case-sensitive";
    EXPECT_GT(StrCompare("\x80", "\x7F"), 0) << "bytes compare unsigned";
    EXPECT_LT(StrCompare("", "a"), 0);
    EXPECT_EQ(0, StrCompare("", DynStr()));
    EXPECT_LT(StrCompare(DynStr("a\0a", 3), DynStr("a\0b", 3)), 0);
    EXPECT_GT(StrCompare(DynStr("a\0", 2), "a"), 0);
}

TEST(StrConcat, KeepsZeroBytes)
{
    DynStr joined = StrConcat(DynStr("a\0", 2), DynStr("\0b", 2));
    EXPECT_EQ(std::string("a\0\0b", 4), Text(joined));
    EXPECT_EQ("ab", Text(StrConcat("ab", "")));
    EXPECT_EQ("ab", Text(StrConcat("", "ab")));
}

TEST(StrBefore, UpToTheFirstMatch)
{
    EXPECT_EQ("IMG_1", Text(StrBefore(1, "IMG_1.2.jpg", ".")));
    EXPECT_EQ("readme", Text(StrBefore(1, "readme", ".")));
    EXPECT_EQ("2", Text(StrBefore(7, "IMG_1.2.jpg", ".")));
    EXPECT_EQ("", Text(StrBefore(6, "IMG_1.2.jpg", ".")));
    EXPECT_EQ("jpg", Text(StrBefore(-3, "IMG_1.2.jpg", ".")));
    EXPECT_EQ("", Text(StrBefore(0, "abc", ".")));
    EXPECT_EQ("", Text(StrBefore(4, "abc", ".")));
    EXPECT_EQ("", Text(StrBefore(-4, "abc", ".")));
    EXPECT_EQ("abc", Text(StrBefore(2, "abc", ""))) << "empty match gives the whole text";
}

TEST(StrTrim, WholeCopiesOfTheMatch)
{
    EXPECT_EQ("x", Text(StrTrimLeading("...x", ".")));
    EXPECT_EQ("x", Text(StrTrimTrailing("x..", "..")));
    EXPECT_EQ("x.", Text(StrTrimTrailing("x.", "..")));
    EXPECT_EQ(".x", Text(StrTrimLeading("...x", "..")));
    EXPECT_EQ("jpg", Text(StrTrimTrailing(StrTrimLeading("..jpg.", "."), ".")));
    EXPECT_EQ("", Text(StrTrimLeading("....", "..")));
    EXPECT_EQ("", Text(StrTrimTrailing("....", "..")));
    EXPECT_EQ("ab", Text(StrTrimLeading("ab", "abc")));
    EXPECT_EQ("ab", Text(StrTrimTrailing("ab", "")));
}

TEST(StrReplace, EveryOccurrenceLeftToRight)
{
    DynStr filter = StrReplace("a|b|", "|", DynStr("\0", 1));
    EXPECT_EQ(4, filter.length());
    EXPECT_EQ(std::string("a\0b\0", 4), Text(filter));
    EXPECT_EQ("b", Text(StrReplace("aaba", "a", "")));
    EXPECT_EQ("", Text(StrReplace("aaaa", "aa", "")));
    EXPECT_EQ("[a][a]a", Text(StrReplace("aaaaa", "aa", "[a]")));
    EXPECT_EQ("a.JPEG.JPEG", Text(StrReplace("a.jpg.jpg", "jpg", "JPEG")));
    EXPECT_EQ("abc", Text(StrReplace("abc", "x", "y")));
    EXPECT_EQ("ab", Text(StrReplace("ab", "abc", "y")));
    EXPECT_EQ("abc", Text(StrReplace("abc", "", "y")));
}

TEST(StrReplace, LengthOverflowRecords5AndGivesEmpty)
{
    // 2^20 occurrences each growing by 4095 bytes: past 2^31 - 1.
    std::string text(1 << 20, '|');
    std::string replacement(4096, 'x');
    ClearRuntimeError();
    DynStr result = StrReplace(Bytes(text), "|", Bytes(replacement));
    EXPECT_EQ(0, result.length());
    EXPECT_EQ(5, LastRuntimeError());
    ClearRuntimeError();
}

TEST(StrField, PiecesBetweenDelimiters)
{
    EXPECT_EQ("jpg", Text(StrField("photo.jpg", ".", 2)));
    EXPECT_EQ("b", Text(StrField("a.b.c", ".", 2)));
    EXPECT_EQ("", Text(StrField("readme", ".", 2)));
    EXPECT_EQ("gz", Text(StrField("x.tar.gz", ".", -1)));
    EXPECT_EQ("x", Text(StrField("x.tar.gz", ".", -3)));
    EXPECT_EQ("", Text(StrField("x.tar.gz", ".", -4)));
    EXPECT_EQ("", Text(StrField("x", ".", 2)));
    EXPECT_EQ("", Text(StrField("x", ".", 0)));
    EXPECT_EQ("", Text(StrField("a,,b", ",", 2)));
    EXPECT_EQ("b", Text(StrField("a::b::", "::", 2)));
    EXPECT_EQ("", Text(StrField("a::b::", "::", 3)));
    EXPECT_EQ("a", Text(StrField("a", ".", 1)));
}

TEST(StrFieldCount, OccurrencesPlusOne)
{
    EXPECT_EQ(1, StrFieldCount("", ","));
    EXPECT_EQ(3, StrFieldCount("a,,b", ","));
    EXPECT_EQ(4, StrFieldCount("album,cr_,a_,crw_", ","));
    EXPECT_EQ(3, StrFieldCount("aaaaa", "aa")) << "no overlap";
}

TEST(StrFit, CenterAndLeftJustify)
{
    EXPECT_EQ("  abc   ", Text(StrCenter("abc", 8, " ")));
    EXPECT_EQ("abc  ", Text(StrLeftJustify("abc", 5, " ")));
    EXPECT_EQ("abcd", Text(StrCenter("abcdef", 4, " ")));
    EXPECT_EQ("abcd", Text(StrLeftJustify("abcdef", 4, " ")));
    EXPECT_EQ("", Text(StrCenter("abc", 0, " ")));
    EXPECT_EQ("", Text(StrLeftJustify("abc", -3, " ")));
    EXPECT_EQ("**ab**", Text(StrCenter("ab", 6, "*-")));
    EXPECT_EQ(std::string("\0ab\0\0", 5), Text(StrCenter("ab", 5, ""))) << "empty pad fills 0";
    EXPECT_EQ("...", Text(StrCenter("", 3, ".")));
}

TEST(StrRepeat, SpacesAndFillBytes)
{
    EXPECT_EQ("   ", Text(StrSpaces(3)));
    EXPECT_EQ(0, StrSpaces(0).length());
    EXPECT_EQ(0, StrSpaces(-2).length());
    EXPECT_EQ(std::string(5, '\0'), Text(StrRepeat(5, 0)));
    EXPECT_EQ("\xFF\xFF", Text(StrRepeat(2, 255)));
}

TEST(StrNumber, SignPositionThenDigits)
{
    EXPECT_EQ(" 1000", Text(StrNumber(1000)));
    EXPECT_EQ(" 1024", Text(StrNumber(1024)));
    EXPECT_EQ(" 800", Text(StrNumber(800)));
    EXPECT_EQ(" 0", Text(StrNumber(0)));
    EXPECT_EQ("-5", Text(StrNumber(-5)));
    EXPECT_EQ("-300", Text(StrNumber(-300)));
    EXPECT_EQ(" 123456789012345", Text(StrNumber(123456789012345.0L)));
    EXPECT_EQ("-999999999999999", Text(StrNumber(-999999999999999.0L)));
    EXPECT_EQ(" 0.5", Text(StrNumber(0.5L)));
}

TEST(WideText, RoundTripInTheAnsiCodePage)
{
    ASSERT_EQ(1252u, GetACP());
    DynStr wide = StrToWide("Citt\xE0");
    const unsigned char expected[] = {'C', 0, 'i', 0, 't', 0, 't', 0, 0xE0, 0};
    ASSERT_EQ(10, wide.length()) << "no terminator";
    EXPECT_EQ(0, memcmp(expected, wide.bytes(), sizeof expected));
    EXPECT_EQ("Citt\xE0", Text(StrFromWide(wide)));
    // Euro sign: 0x80 in 1252, U+20AC.
    DynStr euro = StrToWide("\x80");
    ASSERT_EQ(2, euro.length());
    EXPECT_EQ(0x20AC, euro.at(0) | euro.at(1) << 8);
    EXPECT_EQ(std::string("a\0b", 3), Text(StrFromWide(StrToWide(DynStr("a\0b", 3)))));
    EXPECT_EQ(0, StrToWide("").length());
    EXPECT_EQ(0, StrFromWide("").length());
}

TEST(FixedFields, StoreAndCopyFromMemory)
{
    unsigned char field[8];
    memset(field, 0xCC, sizeof field);
    StrStoreFixed("abc", field, 6);
    EXPECT_EQ(0, memcmp("abc   \xCC\xCC", field, 8)) << "blank-filled, nothing past the field";
    StrStoreFixed("0123456789", field, 4);
    EXPECT_EQ(0, memcmp("0123  \xCC\xCC", field, 8));
    const unsigned char id[4] = {0x00, 0x01, 0xFE, 0x00};
    EXPECT_EQ(std::string("\x00\x01\xFE\x00", 4), Text(StrFromMemory(id, 4)));
    EXPECT_EQ(0, StrFromMemory(id, 0).length());
    EXPECT_EQ(0, StrFromMemory(id, -1).length());
}
