#include <gtest/gtest.h>

#include <string>

#include "app/app.h"

namespace {

std::string Text(const DynStr& s)
{
    return std::string(s.bytes(), s.length());
}

std::string CurrentFolder()
{
    char path[MAX_PATH];
    DWORD length = GetCurrentDirectoryA(MAX_PATH, path);
    return std::string(path, length);
}

// Wine's dialog refuses "/" in a typed name, so the separator rules of the
// chosen path are checked here rather than through the dialog.
TEST(EnterPhotoFolder, TakesThePathUpToItsLastSeparatorAndMakesItCurrent)
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string base = std::string(temp) + "cr_folder_" + std::to_string(GetCurrentProcessId());
    std::string spaced = base + "\\gita al mare";
    ASSERT_TRUE(CreateDirectoryA(base.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(spaced.c_str(), nullptr));
    std::string previous = CurrentFolder();

    std::string slashed = spaced;
    for (char& c : slashed)
        if (c == '\\')
            c = '/';
    EXPECT_EQ(slashed + "/", Text(EnterPhotoFolder((slashed + "/img1.jpg").c_str())));
    EXPECT_EQ(spaced, CurrentFolder());

    SetCurrentDirectoryA(previous.c_str());
    EXPECT_EQ(base + "\\", Text(EnterPhotoFolder((base + "\\img1.jpg").c_str())));
    EXPECT_EQ(base, CurrentFolder());

    // Mixed separators: the last one of either kind ends the folder.
    std::string mixed = base + "/gita al mare\\foto.png";
    EXPECT_EQ(base + "/gita al mare\\", Text(EnterPhotoFolder(mixed.c_str())));
    EXPECT_EQ(spaced, CurrentFolder());

    // A bare name has no folder: nothing changes.
    EXPECT_EQ("", Text(EnterPhotoFolder("img1.jpg")));
    EXPECT_EQ(spaced, CurrentFolder());

    SetCurrentDirectoryA(previous.c_str());
    RemoveDirectoryA(spaced.c_str());
    RemoveDirectoryA(base.c_str());
}

}  // namespace
