// The directory listing: masks, attribute sets, one search per thread, and the current directory.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "runtime/directory.h"
#include "runtime/errors.h"
#include "runtime/strings.h"
#include "runtime/thread_state.h"
#include "tests/support/dynstr_text.h"
#include "tests/support/temp_folder.h"

namespace {

typedef std::vector<std::string> Names;

// Every name of a listing begun with `first`, sorted: the order is the file
// system's.
Names Drain(const DynStr& first)
{
    Names names;
    for (DynStr name = first; !name.empty(); name = DirNext())
        names.push_back(Text(name));
    std::sort(names.begin(), names.end());
    return names;
}

HANDLE OpenSearchHandle()
{
    ThreadState* state = CurrentThreadState();
    return state ? state->searchHandle : 0;
}

// A folder under the temporary folder holding one entry of every kind.
class DirectoryTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder_.made());
        MakeFile("a.jpg", FILE_ATTRIBUTE_NORMAL);
        MakeFile("r.txt", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE);
        MakeFile("b.jpg", FILE_ATTRIBUTE_HIDDEN);
        MakeFile("d.sys", FILE_ATTRIBUTE_SYSTEM);
        MakeFile("e.dat", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
        MakeFolder("c", 0);
        MakeFolder("h", FILE_ATTRIBUTE_HIDDEN);
        ClearRuntimeError();
    }

    void TearDown() override
    {
        // A listing of nothing closes whatever search a test left open.
        DirFirst(Mask("no-such-entry"), 0);
        EXPECT_TRUE(folder_.remove()) << "folder left behind";
        ClearRuntimeError();
    }

    std::string Path(const std::string& name) const { return folder_.path() + "\\" + name; }
    DynStr Mask(const std::string& tail) const { return DynStr(Path(tail).c_str()); }

    void MakeFile(const std::string& name, DWORD attributes)
    {
        HANDLE file = CreateFileA(Path(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, file) << name;
        CloseHandle(file);
        ASSERT_TRUE(SetFileAttributesA(Path(name).c_str(), attributes)) << name;
        CheckAttributes(name, attributes & ~FILE_ATTRIBUTE_NORMAL);
    }

    void MakeFolder(const std::string& name, DWORD attributes)
    {
        ASSERT_TRUE(CreateDirectoryA(Path(name).c_str(), nullptr)) << name;
        if (attributes) {
            ASSERT_TRUE(SetFileAttributesA(Path(name).c_str(), attributes)) << name;
        }
        CheckAttributes(name, attributes | FILE_ATTRIBUTE_DIRECTORY);
    }

    void CheckAttributes(const std::string& name, DWORD wanted)
    {
        const DWORD kinds = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                            FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY;
        EXPECT_EQ(wanted & kinds, GetFileAttributesA(Path(name).c_str()) & kinds)
            << name << ": the file system does not keep the attributes";
    }

    TempFolder folder_;
};

TEST_F(DirectoryTest, PlainFilesOnlyWithSetZero)
{
    EXPECT_EQ((Names{"a.jpg", "r.txt"}), Drain(DirFirst(Mask("*.*"), 0)));
    EXPECT_EQ(0, OpenSearchHandle()) << "the search is closed at the end";
    EXPECT_EQ("", Text(DirNext())) << "and stays at the end";
    EXPECT_EQ("", Text(DirNext()));
    EXPECT_EQ(0, LastRuntimeError()) << "the end of a listing raises nothing";
}

TEST_F(DirectoryTest, AttributeSets)
{
    struct Row {
        uint32_t set;
        Names names;
    };
    const Row rows[] = {
        {kDirDirectory, {"a.jpg", "c", "r.txt"}},
        {kDirDirectory | kDirOnly, {"c"}},
        {kDirHidden, {"a.jpg", "b.jpg", "r.txt"}},
        {kDirHidden | kDirOnly, {"b.jpg"}},
        {kDirHidden | kDirSystem | kDirOnly, {"b.jpg", "d.sys", "e.dat"}},
        {kDirHidden | kDirDirectory | kDirOnly, {"b.jpg", "c", "h"}},
        {kDirHidden | kDirSystem | kDirDirectory, {"a.jpg", "b.jpg", "c", "d.sys", "e.dat", "h",
                                                   "r.txt"}},
        // "only" without a kind is dropped, and so is every other bit.
        {kDirOnly, {"a.jpg", "r.txt"}},
        {1 | 32 | 64 | 256 | 0x80000000u, {"a.jpg", "r.txt"}},
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.names, Drain(DirFirst(Mask("*"), row.set))) << "set " << row.set;
}

TEST_F(DirectoryTest, EmptyMaskContinuesTheOpenListing)
{
    EXPECT_EQ("", Text(DirFirst("", kDirDirectory))) << "nothing open";
    Names names;
    names.push_back(Text(DirFirst(Mask("*.*"), kDirDirectory | kDirOnly | kDirHidden)));
    // The open search keeps its own attribute set.
    for (DynStr name = DirFirst("", 0); !name.empty(); name = DirFirst("", 0))
        names.push_back(Text(name));
    std::sort(names.begin(), names.end());
    EXPECT_EQ((Names{"b.jpg", "c", "h"}), names);
}

// An open search holds its folder open, and a folder held open cannot be
// removed: removing it shows whether the search was closed.
TEST_F(DirectoryTest, NewListingClosesTheOldSearch)
{
    MakeFolder("s1", 0);
    MakeFile("s1\\x.jpg", FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ("x.jpg", Text(DirFirst(Mask("s1\\*"), 0)));
    ASSERT_NE(nullptr, OpenSearchHandle());
    EXPECT_EQ(Names({"a.jpg", "r.txt"}), Drain(DirFirst(Mask("*"), 0)))
        << "the new listing starts from its own beginning";
    EXPECT_TRUE(DeleteFileA(Path("s1\\x.jpg").c_str()));
    EXPECT_TRUE(RemoveDirectoryA(Path("s1").c_str())) << "the old search was left open";

    MakeFolder("s2", 0);
    MakeFile("s2\\y.jpg", FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ("y.jpg", Text(DirFirst(Mask("s2\\"), 0)));
    EXPECT_EQ("", Text(DirFirst(Mask("none-such"), 0)));
    EXPECT_EQ(0, OpenSearchHandle());
    EXPECT_TRUE(DeleteFileA(Path("s2\\y.jpg").c_str()));
    EXPECT_TRUE(RemoveDirectoryA(Path("s2").c_str()))
        << "a DirFirst that finds nothing still closes the open search";
}

TEST_F(DirectoryTest, MissingFolderGivesNothingAndNoError)
{
    DirFirst(Mask("*.*"), 0);
    EXPECT_EQ("", Text(DirFirst(Mask("missing\\*.*"), 0)));
    EXPECT_EQ(0, OpenSearchHandle());
    EXPECT_EQ(0, LastRuntimeError());
    EXPECT_EQ("", Text(DirNext()));
    EXPECT_EQ("", Text(DirFirst("Q:\\*.*", 0))) << "a drive that does not exist";
    EXPECT_EQ("", Text(DirFirst("<>|", 0))) << "a bad mask";
    EXPECT_EQ(0, LastRuntimeError());
}

TEST_F(DirectoryTest, MasksEndingInAColonOrBackslashListEverything)
{
    EXPECT_EQ((Names{"a.jpg", "r.txt"}), Drain(DirFirst(Mask(""), 0)));
    ASSERT_TRUE(SetCurrentDirectoryA(folder_.path().c_str()));
    EXPECT_EQ((Names{"a.jpg", "r.txt"}), Drain(DirFirst("*.*", 0))) << "relative mask";
    std::string drive = folder_.path().substr(0, 2);
    ASSERT_EQ(':', drive[1]);
    EXPECT_EQ((Names{"a.jpg", "r.txt"}), Drain(DirFirst(DynStr(drive.c_str()), 0)))
        << "a drive alone lists that drive's current directory";
    EXPECT_EQ((Names{"a.jpg"}), Drain(DirFirst("a.*", 0)));
}

TEST_F(DirectoryTest, MaskIsCutAt256Characters)
{
    // The folder, then ".\" steps up to exactly 256 characters, then text that
    // the cut must drop; what is left ends in '\' and lists the folder.
    std::string mask = folder_.path() + "\\";
    while (mask.size() + 2 <= 256)
        mask += ".\\";
    if (mask.size() < 256)
        mask.insert(folder_.path().size(), "\\");
    ASSERT_EQ(256u, mask.size());
    ASSERT_EQ('\\', mask.back());
    mask += "zz*.none";
    EXPECT_EQ((Names{"a.jpg", "r.txt"}), Drain(DirFirst(DynStr(mask.c_str()), 0)));
}

DWORD WINAPI ListInAnotherThread(void* mask)
{
    // No search of its own yet; the main thread's is not visible here.
    DWORD result = DirNext().empty() ? 0 : 1;
    Names names = Drain(DirFirst(*static_cast<DynStr*>(mask), kDirDirectory | kDirOnly));
    if (names != Names{"c"})
        result |= 2;
    ReleaseThreadState();
    return result;
}

TEST_F(DirectoryTest, EachThreadHasItsOwnSearch)
{
    Names names;
    names.push_back(Text(DirFirst(Mask("*.*"), 0)));
    DynStr mask = Mask("*");
    HANDLE thread = CreateThread(nullptr, 0, ListInAnotherThread, &mask, 0, nullptr);
    ASSERT_NE(nullptr, thread);
    WaitForSingleObject(thread, INFINITE);
    DWORD result = 99;
    GetExitCodeThread(thread, &result);
    CloseHandle(thread);
    EXPECT_EQ(0u, result);
    for (DynStr name = DirNext(); !name.empty(); name = DirNext())
        names.push_back(Text(name));
    std::sort(names.begin(), names.end());
    EXPECT_EQ((Names{"a.jpg", "r.txt"}), names);
}

TEST_F(DirectoryTest, CurrentDirectoryIsThePlatformsAnswer)
{
    char expected[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, expected);
    EXPECT_EQ(std::string(expected), Text(CurrentDirectory()));
    ASSERT_TRUE(SetCurrentDirectoryA(Path("c").c_str()));
    GetCurrentDirectoryA(MAX_PATH, expected);
    EXPECT_EQ(Path("c"), std::string(expected));
    EXPECT_EQ(std::string(expected), Text(CurrentDirectory()));
    EXPECT_EQ(0, LastRuntimeError());
}

TEST_F(DirectoryTest, CurrentDirectoryTooLongForItsBufferIsAFailure)
{
    // Nested folders past 260 characters, made through the wide calls.
    std::wstring path(folder_.path().begin(), folder_.path().end());
    std::vector<std::wstring> made;
    while (path.size() < 300) {
        path += L"\\" + std::wstring(40, L'L');
        if (!CreateDirectoryW((L"\\\\?\\" + path).c_str(), nullptr))
            break;
        made.push_back(path);
    }
    ASSERT_GE(path.size(), 300u);
    bool entered = SetCurrentDirectoryW(path.c_str());
    if (entered) {
        ClearRuntimeError();
        EXPECT_EQ("", Text(CurrentDirectory()));
        EXPECT_EQ(75, LastRuntimeError());
        SetCurrentDirectoryA(folder_.path().c_str());
    }
    for (auto it = made.rbegin(); it != made.rend(); ++it)
        RemoveDirectoryW((L"\\\\?\\" + *it).c_str());
    if (!entered)
        GTEST_SKIP() << "this platform keeps the current directory under 260 characters";
}

}  // namespace
