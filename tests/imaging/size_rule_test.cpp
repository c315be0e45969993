// The size rule and the placement, whatever the caller's x87 precision and rounding.
#include <gtest/gtest.h>

#include "imaging/imaging.h"
#include "imaging/imaging_internal.h"

namespace {

struct SizeCase {
    int32_t photoWidth, photoHeight;
    int64_t hundredths;
    int32_t largeWidth, largeHeight, smallWidth, smallHeight;
};

const SizeCase kSizeCases[] = {
    {4000, 3000, 75, 1000, 750, 300, 225},
    {3000, 2000, 67, 1000, 670, 300, 201},
    {2000, 3000, 150, 667, 1000, 200, 300},
    {3000, 4000, 133, 752, 1000, 226, 300},
    {1000, 1000, 100, 1000, 1000, 300, 300},
    {640, 480, 75, 1000, 750, 300, 225},
    {800, 100, 12, 1000, 120, 300, 36},       // 12.5 goes to the even 12
    {1000, 295, 29, 1000, 290, 300, 87},      // 0.295 is held just below
    {1000, 994, 99, 1000, 990, 300, 297},
    {1000, 996, 100, 1000, 1000, 300, 300},   // treated as square
    {1000, 3200, 320, 312, 1000, 94, 300},    // 312.5 goes to 312, 93.75 to 94
    {1000, 4, 0, 1000, 1, 300, 1},            // never a side of 0
    {1, 1000, 100000, 1, 1000, 1, 300},
};

}  // namespace

TEST(SizeRule, AspectHundredthsAndCopySizes)
{
    for (const SizeCase& c : kSizeCases) {
        SCOPED_TRACE(testing::Message() << c.photoWidth << " x " << c.photoHeight);
        EXPECT_EQ(c.hundredths, AspectHundredths(c.photoWidth, c.photoHeight));
        int32_t width = -1, height = -1;
        ReducedCopySize(c.photoWidth, c.photoHeight, 1, &width, &height);
        EXPECT_EQ(c.largeWidth, width);
        EXPECT_EQ(c.largeHeight, height);
        ReducedCopySize(c.photoWidth, c.photoHeight, 0, &width, &height);
        EXPECT_EQ(c.smallWidth, width);
        EXPECT_EQ(c.smallHeight, height);
    }
}

// The photo must cover its copy completely, or the canvas colour shows.
TEST(SizeRule, PlacementCoversEveryCopy)
{
    for (const SizeCase& c : kSizeCases) {
        for (int32_t mode = 0; mode <= 1; ++mode) {
            SCOPED_TRACE(testing::Message() << c.photoWidth << " x " << c.photoHeight << " mode "
                                            << mode);
            int32_t width = 0, height = 0;
            ReducedCopySize(c.photoWidth, c.photoHeight, mode, &width, &height);
            Placement place = PlaceImage(c.photoWidth, c.photoHeight, width, height);
            EXPECT_EQ(0, place.y);
            EXPECT_LE(place.x, 0);
            EXPECT_GE(place.x + place.width, width);
            EXPECT_LE(place.width - width, 1);
            EXPECT_GE(place.height, height);
            EXPECT_LE(place.height - height, 1);
        }
    }
}

TEST(SizeRule, PlacementOnOtherCanvases)
{
    Placement p = PlaceImage(2000, 3000, 667, 1000);
    EXPECT_EQ(0, p.x);
    EXPECT_EQ(667, p.width);
    EXPECT_EQ(1000, p.height);

    p = PlaceImage(800, 100, 1000, 1000);   // r = 0.12: 120 rows from the top
    EXPECT_EQ(0, p.x);
    EXPECT_EQ(0, p.y);
    EXPECT_EQ(1000, p.width);
    EXPECT_EQ(120, p.height);

    p = PlaceImage(1000, 1004, 300, 500);   // n = 100: full height, width = height
    EXPECT_EQ(500, p.width);
    EXPECT_EQ(500, p.height);
    EXPECT_EQ(-100, p.x);

    p = PlaceImage(2000, 3000, 700, 600);   // centred
    EXPECT_EQ(400, p.width);
    EXPECT_EQ(150, p.x);
    p = PlaceImage(2000, 3000, 701, 600);   // the odd spare column goes right
    EXPECT_EQ(150, p.x);

    p = PlaceImage(1000, 4, 1000, 1);
    EXPECT_EQ(1, p.height);
}

namespace {

unsigned short ControlWord()
{
    unsigned short word = 0;
    __asm__ volatile("fnstcw %0" : "=m"(word));
    return word;
}

void LoadControlWord(unsigned short word)
{
    __asm__ volatile("fldcw %0" : : "m"(word));
}

}  // namespace

// Modules loaded into the process (the file dialog's shell extensions) may
// change the x87 control word after start-up; the sizes must not follow it.
TEST(SizeRule, SizesHoldWhateverTheCallersPrecisionAndRounding)
{
    const unsigned short program = ControlWord();
    const struct {
        unsigned short word;
        const char* what;
    } callers[] = {{0x027F, "53-bit significand"}, {0x007F, "24-bit significand"},
                   {0x0B7F, "rounding up"}};
    for (const auto& caller : callers) {
        SCOPED_TRACE(caller.what);
        LoadControlWord(caller.word);
        int64_t hundredths = AspectHundredths(1000, 295);
        int32_t largeWidth = 0, largeHeight = 0, smallWidth = 0, smallHeight = 0;
        ReducedCopySize(1000, 295, 1, &largeWidth, &largeHeight);
        ReducedCopySize(1000, 295, 0, &smallWidth, &smallHeight);
        Placement large = PlaceImage(1000, 295, 1000, 290);
        Placement small = PlaceImage(1000, 295, 300, 87);
        Placement tall = PlaceImage(1000, 3200, 312, 1000);
        unsigned short after = ControlWord();
        LoadControlWord(program);

        EXPECT_EQ(29, hundredths);
        EXPECT_EQ(1000, largeWidth);
        EXPECT_EQ(290, largeHeight);
        EXPECT_EQ(300, smallWidth);
        EXPECT_EQ(87, smallHeight);
        EXPECT_EQ(290, large.height);
        EXPECT_EQ(87, small.height);
        EXPECT_EQ(312, tall.width);   // 312.5 goes to the even 312
        EXPECT_EQ(caller.word, after) << "the caller's control word is given back";
    }
}
