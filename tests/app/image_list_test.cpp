// The image list: the names the two name tests keep, and a second run past the first's copies.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/app.h"
#include "tests/support/dynstr_text.h"
#include "tests/support/temp_folder.h"

namespace {

// The names are made in a fresh folder that is the current directory.
class ImageListFolder : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder_.made()); }
    void MakeFile(const std::string& name, DWORD attributes = FILE_ATTRIBUTE_NORMAL)
    {
        HANDLE file = CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, file) << name;
        CloseHandle(file);
        if (attributes != FILE_ATTRIBUTE_NORMAL) {
            ASSERT_TRUE(SetFileAttributesA(name.c_str(), attributes)) << name;
        }
    }
    void MakeFolder(const std::string& name)
    {
        ASSERT_TRUE(CreateDirectoryA(name.c_str(), nullptr));
    }
    static std::vector<std::string> BuildSorted()
    {
        StrList images = {};
        StrListCreate(&images, 1, 1);
        BuildImageList("*.*", "album,cr_,a_,crw_", &images);
        std::vector<std::string> names;
        for (int32_t i = 1; i <= StrListUpperBound(&images); ++i)
            names.push_back(Text(StrListAt(&images, i)));
        StrListRelease(&images);
        std::sort(names.begin(), names.end());
        return names;
    }

    TempFolder folder_;
};

TEST_F(ImageListFolder, KeepsTheNamesThatPassBothTestsAndNothingElse)
{
    std::vector<std::string> listed = {"IMG_0001.JPG", "foto.png",     "foto.bmp", "foto.gif",
                                       "LEGGIMI",      "foto.jpg.bak", "x.mp"};
    const char* notListed[] = {"foto.jpeg",       "foto.tif",        "foto.tiff",
                               "foto.wmf",        "cr_IMG_0002.jpg", "CR_IMG_0003.JPG",
                               "a_IMG_0001.jpg",  "vacanza_1.jpg",   "scr_01.jpg",
                               "Album di Maria.jpg", "CRW_1234.JPG", "mare.2019.jpg"};
    for (const std::string& name : listed)
        MakeFile(name);
    for (const char* name : notListed)
        MakeFile(name);
    MakeFile("nascosta.jpg", FILE_ATTRIBUTE_HIDDEN);
    MakeFile("sistema.jpg", FILE_ATTRIBUTE_SYSTEM);
    MakeFolder("sottocartella.jpg");

    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(listed, BuildSorted());
}

TEST_F(ImageListFolder, AFolderWithoutImagesLeavesTheListAsItCame)
{
    MakeFile("note.txt");
    MakeFile("cr_vecchia.jpg");
    StrList images = {};
    StrListCreate(&images, 1, 1);
    BuildImageList("*.*", "album,cr_,a_,crw_", &images);
    ASSERT_EQ(1, StrListUpperBound(&images));
    EXPECT_EQ(1, images.lo);
    EXPECT_TRUE(StrListAt(&images, 1)->empty());
    StrListRelease(&images);
}

TEST_F(ImageListFolder, ASecondRunListsNoneOfTheCopiesTheFirstRunWrites)
{
    for (const char* name : {"IMG_0001.JPG", "Gita.png", "mare.bmp", "Citt\xE0.jpg"})
        MakeFile(name);
    std::vector<std::string> first = BuildSorted();
    ASSERT_EQ(4u, first.size());
    // The names the batch writes: prefix, base name in lower case, ".jpg".
    for (const std::string& name : first) {
        std::string lowerBase = Text(StrLower(StrBefore(1, DynStr(name.c_str()), ".")));
        MakeFile("cr_" + lowerBase + ".jpg");
        MakeFile("a_" + lowerBase + ".jpg");
    }
    EXPECT_EQ(first, BuildSorted());
}

// The copies of a later photo never take the names of an earlier one's,
// compared as NTFS compares names, beyond ASCII too.
TEST(CopyNames, ALaterPhotoTakesItsWholeNameThenNone)
{
    CopyNames names = {};
    DynStr stem;
    NoteCopyWritten(&names, "CR_LOGO.JPG");
    EXPECT_EQ(kStemWholeName, CopyStem(&names, "logo.png", &stem));
    EXPECT_EQ("logo.png", Text(stem));
    NoteCopyWritten(&names, "A_LOGO.PNG.JPG");
    EXPECT_EQ(kStemNone, CopyStem(&names, "Logo.PNG", &stem));
    NoteCopyWritten(&names, "a_per\xF9.jpg");
    EXPECT_EQ(kStemWholeName, CopyStem(&names, "PER\xD9.png", &stem));
    for (int i = 0; i < 20; ++i)
        NoteCopyWritten(&names, DynStr(("cr_f" + std::to_string(i) + ".jpg").c_str()));
    EXPECT_EQ(kStemWholeName, CopyStem(&names, "F0.gif", &stem)) << "kept while the list grew";
    EXPECT_EQ(kStemBaseName, CopyStem(&names, "f20.gif", &stem));
    ReleaseCopyNames(&names);
}

}  // namespace
