// Entering the chosen photo's folder, and folders the ANSI names cannot reach.
#include <gtest/gtest.h>

#include <string>

#include "app/app.h"
#include "tests/support/dynstr_text.h"
#include "tests/support/temp_folder.h"

namespace {

// The folder a photo path names, after EnterPhotoFolder; "!" when it failed.
std::string Entered(const std::string& photoPath)
{
    DynStr folder("untouched");
    if (!EnterPhotoFolder(photoPath.c_str(), &folder))
        return "!" + Text(folder);
    return Text(folder);
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
    TempFolder folder;
    ASSERT_TRUE(folder.made());
    std::string base = folder.path() + "\\foto";
    std::string spaced = base + "\\gita al mare";
    ASSERT_TRUE(CreateDirectoryA(base.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(spaced.c_str(), nullptr));
    std::string previous = CurrentFolder();

    std::string slashed = spaced;
    for (char& c : slashed)
        if (c == '\\')
            c = '/';
    EXPECT_EQ(slashed + "/", Entered(slashed + "/img1.jpg"));
    EXPECT_EQ(spaced, CurrentFolder());

    SetCurrentDirectoryA(previous.c_str());
    EXPECT_EQ(base + "\\", Entered(base + "\\img1.jpg"));
    EXPECT_EQ(base, CurrentFolder());

    // Mixed separators: the last one of either kind ends the folder.
    std::string mixed = base + "/gita al mare\\foto.png";
    EXPECT_EQ(base + "/gita al mare\\", Entered(mixed));
    EXPECT_EQ(spaced, CurrentFolder());

    // A bare name has no folder: nothing changes.
    EXPECT_EQ("!", Entered("img1.jpg"));
    EXPECT_EQ(spaced, CurrentFolder());
}

// The dialog gives "?" for letters outside the ANSI code page: such a folder
// can only be used when the current directory is already there.
TEST(EnterPhotoFolder, AFolderTheAnsiNamesCannotReachIsUsedOnlyWhenAlreadyCurrent)
{
    TempFolder folder;
    ASSERT_TRUE(folder.made());
    std::wstring base = std::wstring(folder.path().begin(), folder.path().end()) + L"\\foto";
    std::wstring tokyo = base + L"\\Foto \u6771\u4EAC";
    ASSERT_TRUE(CreateDirectoryW(base.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(tokyo.c_str(), nullptr));

    ASSERT_TRUE(SetCurrentDirectoryW(tokyo.c_str()));
    std::string asAnsi = CurrentFolder();
    ASSERT_NE(std::string::npos, asAnsi.find("Foto ??")) << asAnsi;
    EXPECT_EQ(asAnsi + "\\", Entered(asAnsi + "\\tempio.jpg"));
    std::string upper = asAnsi;
    for (char& c : upper) {
        if (c == '\\')
            c = '/';
        else if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    EXPECT_EQ(upper + "/", Entered(upper + "/tempio.jpg"));
    EXPECT_EQ(asAnsi, CurrentFolder());

    // Anywhere else the folder cannot be entered and nothing changes.
    ASSERT_TRUE(SetCurrentDirectoryW(base.c_str()));
    std::string baseAnsi = CurrentFolder();
    EXPECT_EQ("!" + asAnsi + "\\", Entered(asAnsi + "\\tempio.jpg"));
    EXPECT_EQ(baseAnsi, CurrentFolder());
    EXPECT_EQ("!" + baseAnsi + "\\manca\\", Entered(baseAnsi + "\\manca\\foto.jpg"));
    EXPECT_EQ(baseAnsi, CurrentFolder());
    RemoveDirectoryW(tokyo.c_str());   // a name the folder's ANSI removal cannot reach
}

}  // namespace
