// String lists: creation, bounds, resizing with contents kept, splitting by the skip-list rules.
#include <gtest/gtest.h>

#include <string>

#include "runtime/errors.h"
#include "runtime/strings.h"
#include "tests/support/dynstr_text.h"

class StrListTest : public testing::Test {
protected:
    void SetUp() override { ClearRuntimeError(); }
    void TearDown() override
    {
        StrListRelease(&list_);
        ClearRuntimeError();
    }
    StrList list_ = {};
};

TEST_F(StrListTest, NotYetCreated)
{
    EXPECT_EQ(-1, StrListUpperBound(&list_));
    EXPECT_EQ(nullptr, StrListAt(&list_, 0));
    EXPECT_EQ(9, LastRuntimeError());
}

TEST_F(StrListTest, CreateGivesEmptyElementsAndChecksBounds)
{
    StrListCreate(&list_, 1, 3);
    EXPECT_EQ(3, StrListUpperBound(&list_));
    for (int32_t i = 1; i <= 3; ++i)
        EXPECT_EQ("", Text(StrListAt(&list_, i)));
    EXPECT_EQ(0, LastRuntimeError());
    EXPECT_EQ(nullptr, StrListAt(&list_, 0));
    EXPECT_EQ(9, LastRuntimeError());
    ClearRuntimeError();
    EXPECT_EQ(nullptr, StrListAt(&list_, 4));
    EXPECT_EQ(9, LastRuntimeError());

    ClearRuntimeError();
    *StrListAt(&list_, 2) = "kept";
    StrListCreate(&list_, 1, 0);
    EXPECT_EQ(9, LastRuntimeError());
    EXPECT_EQ(3, StrListUpperBound(&list_)) << "a failed create leaves the list alone";
    EXPECT_EQ("kept", Text(StrListAt(&list_, 2)));
}

TEST_F(StrListTest, ResizeKeepsContents)
{
    StrListResize(&list_, 1, 2);   // not yet created: simply created
    ASSERT_EQ(2, StrListUpperBound(&list_));
    *StrListAt(&list_, 1) = DynStr("a\0z", 3);
    *StrListAt(&list_, 2) = "b";
    StrListResize(&list_, 1, 1000);
    EXPECT_EQ(1000, StrListUpperBound(&list_));
    EXPECT_EQ(std::string("a\0z", 3), Text(StrListAt(&list_, 1)));
    EXPECT_EQ("b", Text(StrListAt(&list_, 2)));
    EXPECT_EQ("", Text(StrListAt(&list_, 1000)));
    StrListResize(&list_, 1, 1);
    EXPECT_EQ(1, StrListUpperBound(&list_));
    EXPECT_EQ(std::string("a\0z", 3), Text(StrListAt(&list_, 1)));
    StrListResize(&list_, 1, 3);
    EXPECT_EQ("", Text(StrListAt(&list_, 2))) << "a cut element does not come back";
    EXPECT_EQ(0, LastRuntimeError());
}

TEST_F(StrListTest, ResizeWithAnotherLowerBoundOrBelowItIsError9)
{
    StrListCreate(&list_, 1, 2);
    *StrListAt(&list_, 1) = "x";
    StrListResize(&list_, 0, 5);
    EXPECT_EQ(9, LastRuntimeError());
    EXPECT_EQ(2, StrListUpperBound(&list_));
    ClearRuntimeError();
    StrListResize(&list_, 1, 0);
    EXPECT_EQ(9, LastRuntimeError());
    EXPECT_EQ(2, StrListUpperBound(&list_));
    EXPECT_EQ("x", Text(StrListAt(&list_, 1)));
}

TEST_F(StrListTest, OtherLowerBoundsAndRelease)
{
    StrListCreate(&list_, -2, 2);
    *StrListAt(&list_, -2) = "first";
    *StrListAt(&list_, 2) = "last";
    EXPECT_EQ("first", Text(StrListAt(&list_, -2)));
    EXPECT_EQ("last", Text(StrListAt(&list_, 2)));
    StrListRelease(&list_);
    EXPECT_EQ(-1, StrListUpperBound(&list_));
    EXPECT_EQ(nullptr, StrListAt(&list_, 2));
}

TEST_F(StrListTest, SplitBySkipListRules)
{
    StrListCreate(&list_, 1, 4);
    StrSplitToList("album,cr_,a_,crw_", &list_);
    const char* const items[] = {"album", "cr_", "a_", "crw_"};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(items[i], Text(StrListAt(&list_, i + 1)));

    StrListCreate(&list_, 1, 6);
    *StrListAt(&list_, 6) = "stale";
    StrSplitToList("album,cr_,a_,crw_", &list_);
    EXPECT_EQ("crw_", Text(StrListAt(&list_, 4)));
    EXPECT_EQ("", Text(StrListAt(&list_, 5)));
    EXPECT_EQ("", Text(StrListAt(&list_, 6))) << "left-over elements are emptied";

    StrListCreate(&list_, 1, 2);
    StrSplitToList("a,b,c", &list_);
    EXPECT_EQ("b", Text(StrListAt(&list_, 2))) << "fields beyond the list are ignored";
}

TEST_F(StrListTest, SplitTrimsBlanksAndHonoursQuotes)
{
    StrListCreate(&list_, 1, 3);
    StrSplitToList(" a , b", &list_);
    EXPECT_EQ("a", Text(StrListAt(&list_, 1)));
    EXPECT_EQ("b", Text(StrListAt(&list_, 2)));
    EXPECT_EQ("", Text(StrListAt(&list_, 3)));

    StrSplitToList("\"x,y\"z,w", &list_);
    EXPECT_EQ("x,y", Text(StrListAt(&list_, 1)));
    EXPECT_EQ("w", Text(StrListAt(&list_, 2)));
    EXPECT_EQ("", Text(StrListAt(&list_, 3)));

    StrSplitToList("  \" q \" , ,\"open", &list_);
    EXPECT_EQ(" q ", Text(StrListAt(&list_, 1))) << "blanks inside quotes stay";
    EXPECT_EQ("", Text(StrListAt(&list_, 2)));
    EXPECT_EQ("open", Text(StrListAt(&list_, 3))) << "an unclosed quote runs to the end";
}
