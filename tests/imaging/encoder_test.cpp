// Encoder choice and the save: extensions, MIME types, encoder list, wide text, pending names.
#include <gtest/gtest.h>

#include <string>

#include "imaging/imaging.h"
#include "imaging/imaging_internal.h"
#include "tests/imaging/imaging_fixtures.h"
#include "tests/support/dynstr_text.h"

namespace {

std::string MimeOf(const char* name, int32_t* verdict)
{
    DynStr mime("untouched");
    *verdict = SaveMimeType(DynStr(name), &mime);
    return Text(mime);
}

bool SameClsid(const CLSID& a, const CLSID& b)
{
    return memcmp(&a, &b, sizeof a) == 0;
}

// A small library image to save, made from a bitmap as the save step does.
struct SmallImage {
    SmallImage()
    {
        HDC screen = GetDC(nullptr);
        bitmap = CreateCompatibleBitmap(screen, 8, 8);
        ReleaseDC(nullptr, screen);
        GdipCreateBitmapFromHBITMAP(bitmap, nullptr, &image);
    }
    ~SmallImage()
    {
        if (image)
            GdipDisposeImage(image);
        DeleteObject(bitmap);
    }
    HBITMAP bitmap = nullptr;
    GpBitmap* image = nullptr;
};

}  // namespace

TEST(EncoderChoice, ExtensionListAndMimeTable)
{
    struct Case {
        const char* name;
        int32_t verdict;
        const char* mime;
    };
    const Case cases[] = {
        {"x.JPG", 1, "image/jpeg"},
        {"X.jPg", 1, "image/jpeg"},
        {"photo.jpeg", 1, "image/jpeg"},
        {"photo.jp", 0, "untouched"},          // the dots make the match exact
        {"photo.PEG", 0, "untouched"},
        {"scan.dib", 0, "untouched"},          // listed, but no MIME type
        {"archive.tar.png", 1, "image/png"},   // only the last dot counts
        {"a.bmp", 1, "image/bmp"},
        {"a.gif", 1, "image/gif"},
        {"a.tif", 1, "image/tiff"},
        {"a.TIFF", 1, "image/tiff"},
        {"a.emf", 1, "image/x-emf"},
        {"a.wmf", 1, "image/x-wmf"},
        {"a.ico", 1, "image/x-icon"},
        {"nodot", 0, "untouched"},
        {"trailing.", 0, "untouched"},
        {"C:\\my.pics\\photo", 0, "untouched"},
        {".jpg", 1, "image/jpeg"},
        {"", -1, "untouched"},
    };
    for (const Case& c : cases) {
        int32_t verdict = 99;
        std::string mime = MimeOf(c.name, &verdict);
        EXPECT_EQ(c.verdict, verdict) << c.name;
        EXPECT_EQ(c.mime, mime) << c.name;
    }
}

TEST(EncoderChoice, EncoderFoundByExactMimeType)
{
    TestGdipSession session;
    ASSERT_NE(0u, session.token);
    const struct {
        const char* mime;
        const CLSID* clsid;
    } known[] = {{"image/bmp", &kBmpEncoder},   {"image/jpeg", &kJpegEncoder},
                 {"image/gif", &kGifEncoder},   {"image/tiff", &kTiffEncoder},
                 {"image/png", &kPngEncoder}};
    for (const auto& k : known) {
        CLSID clsid = {};
        int32_t position = fGDIp_EncoderClsid(DynStr(k.mime), &clsid);
        EXPECT_GT(position, 0) << k.mime;
        EXPECT_TRUE(SameClsid(*k.clsid, clsid)) << k.mime;
    }
    const CLSID marker = {0xDEADBEEF, 1, 2, {3, 4, 5, 6, 7, 8, 9, 10}};
    for (const char* mime : {"IMAGE/JPEG", "image/jpe", "image/jpeg ", ""}) {
        CLSID clsid = marker;
        EXPECT_EQ(0, fGDIp_EncoderClsid(DynStr(mime), &clsid)) << mime;
        EXPECT_TRUE(SameClsid(marker, clsid)) << mime;
    }
    // A list the library failed to fill is not read.
    CLSID clsid = marker;
    gEncoderListFails = true;
    EXPECT_EQ(-1, fGDIp_EncoderClsid(DynStr("image/jpeg"), &clsid));
    gEncoderListFails = false;
    EXPECT_TRUE(SameClsid(marker, clsid));
}

TEST(EncoderChoice, WideTextToAnsi)
{
    EXPECT_EQ(0, fGDIp_WideToStr(nullptr).length());
    EXPECT_EQ(0, fGDIp_WideToStr(L"").length());
    EXPECT_TRUE(fGDIp_WideToStr(L"image/jpeg") == DynStr("image/jpeg"));
    EXPECT_TRUE(fGDIp_WideToStr(L"Citt\u00E0") == DynStr("Citt\xE0"));
}

TEST(EncoderChoice, SavedUnderTheLowerCaseNameWithTheChosenEncoder)
{
    TempFolder folder;
    TestGdipSession session;
    SmallImage small;
    ASSERT_NE(nullptr, small.image);

    // An earlier file of the name is replaced.
    ASSERT_TRUE(WriteBytes("x.jpg", "earlier copy"));
    EXPECT_EQ(0, fGDIp_SaveImage(DynStr("X.JPG"), small.image));
    EXPECT_EQ(0, fGDIp_SaveImage(DynStr("photo.jpeg"), small.image));
    EXPECT_EQ(0, fGDIp_SaveImage(DynStr("Archive.TAR.png"), small.image));
    // 0x80 becomes 0x87 whatever the code page; 0xC8 is no letter of the table.
    EXPECT_EQ(0, fGDIp_SaveImage(DynStr("A\x80\xC8.JPG"), small.image));
    EXPECT_EQ(0, fGDIp_SaveImage(DynStr("photo.jp"), small.image));
    EXPECT_EQ(0, fGDIp_SaveImage(DynStr("scan.dib"), small.image));
    EXPECT_EQ(0, fGDIp_SaveImage(DynStr("nodot"), small.image));
    EXPECT_EQ(0, fGDIp_SaveImage(DynStr("trailing."), small.image));
    EXPECT_EQ(-1, fGDIp_SaveImage(DynStr(""), small.image));

    std::vector<std::string> expected = {"archive.tar.png", "a\x87\xC8.jpg", "photo.jpeg", "x.jpg"};
    EXPECT_EQ(expected, folder.fileNames());
    EXPECT_TRUE(IsJpegFile("x.jpg"));
    EXPECT_TRUE(IsJpegFile("photo.jpeg"));
    EXPECT_TRUE(IsJpegFile("a\x87\xC8.jpg"));
    EXPECT_EQ(0u, ReadBytes("archive.tar.png").find("\x89PNG"));
    // An encoder the library lacks: tried with the zero identifier and refused
    // after the library has opened its file. An earlier file of the name stays
    // as it was, and nothing else is left.
    ASSERT_TRUE(WriteBytes("icon.ico", "earlier icon"));
    EXPECT_NE(0, fGDIp_SaveImage(DynStr("icon.ico"), small.image));
    EXPECT_EQ("earlier icon", ReadBytes("icon.ico"));
    expected = {"archive.tar.png", "a\x87\xC8.jpg", "icon.ico", "photo.jpeg", "x.jpg"};
    EXPECT_EQ(expected, folder.fileNames());
}

// Windows without long-path support refuses paths beyond MAX_PATH - 1
// characters; Wine does not, so only the choice of the name is seen here.
TEST(EncoderChoice, PendingNameStaysWithinThePathLimitWhereTheCopyDoes)
{
    TempFolder folder;
    std::string numbered = "cr_foto." + std::to_string(GetCurrentProcessId()) + ".tmp";
    // Copy paths folder\inner\cr_foto.jpg at the limit, as short as the numbered name needs, over it.
    for (size_t copyPath : {size_t(MAX_PATH - 1), MAX_PATH + 10 - numbered.size(), size_t(MAX_PATH)}) {
        std::string inner = folder.path() + "\\" + std::string(copyPath - folder.path().size() - 13, 'c');
        ASSERT_TRUE(CreateDirectoryA(inner.c_str(), nullptr) && SetCurrentDirectoryA(inner.c_str()));
        EXPECT_EQ(copyPath == MAX_PATH - 1 ? "cr_foto.tmp" : numbered,
                  Text(PendingName(DynStr("cr_foto.jpg")))) << copyPath;
        SetCurrentDirectoryA(folder.path().c_str());
    }
}
