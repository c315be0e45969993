// The reduction and the save on real photos, as the per-image step runs them.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "imaging/imaging.h"
#include "imaging/imaging_internal.h"
#include "runtime/runtime_state.h"
#include "surfaces/surfaces.h"
#include "tests/support/process_run.h"
#include "tests/imaging/imaging_fixtures.h"

namespace {

const uint32_t kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF, kYellow = 0xFFFFFF00;
const uint32_t kWhite = 0xFFFFFFFF;

std::string Block(const DynStr& bits)
{
    return std::string(bits.bytes(), bits.length());
}

class Pipeline : public testing::Test {
protected:
    void TearDown() override
    {
        if (window_) {
            attachSurface(window_, 0, false);
            closeGraphicWindow();
        }
    }

    // One copy as the per-image step makes it: reduce, then save under the name.
    int32_t MakeCopy(const char* source, int32_t sizeMode, const char* outputName)
    {
        int32_t result = ReduceImage(&window_, DynStr(source), &width_, &height_, sizeMode);
        if (result)
            SaveReducedCopy(DynStr(outputName), &width_, &height_);
        return result;
    }

    void ExpectCopy(const char* file, int32_t width, int32_t height, Picture* copy)
    {
        SCOPED_TRACE(file);
        EXPECT_TRUE(IsJpegFile(file));
        ASSERT_TRUE(ReadPicture(file, copy));
        EXPECT_EQ(width, copy->width);
        EXPECT_EQ(height, copy->height);
    }

    TempFolder folder_;
    uint32_t window_ = 0;
    int32_t width_ = 0;
    int32_t height_ = 0;
};

}  // namespace

TEST_F(Pipeline, BothCopiesAreJpegOfTheRuleSizeWhateverTheSource)
{
    struct Source {
        const char* name;
        int32_t width, height;
        const CLSID* encoder;
        int32_t largeWidth, largeHeight, smallWidth, smallHeight;
    };
    const Source sources[] = {
        {"Big.JPG", 1200, 900, &kJpegEncoder, 1000, 750, 300, 225},
        {"tall.png", 600, 900, &kPngEncoder, 667, 1000, 200, 300},
        {"strip.bmp", 400, 100, &kBmpEncoder, 1000, 250, 300, 75},
        {"small.gif", 300, 200, nullptr, 1000, 670, 300, 201},
    };
    std::vector<std::string> originals;
    for (const Source& s : sources) {
        Picture picture = QuadrantPicture(s.width, s.height);
        ASSERT_TRUE(s.encoder ? WritePicture(s.name, picture, *s.encoder) : WriteGif(s.name, picture));
        originals.push_back(ReadBytes(s.name));
    }
    ConsoleCapture console;
    for (const Source& s : sources) {
        SCOPED_TRACE(s.name);
        std::string base = std::string(s.name).substr(0, strchr(s.name, '.') - s.name);
        std::string large = "CR_" + base + ".JPG", smallName = "A_" + base + ".JPG";
        ASSERT_EQ(1, MakeCopy(s.name, 1, large.c_str()));
        EXPECT_EQ(s.largeWidth, width_);
        EXPECT_EQ(s.largeHeight, height_);
        ASSERT_EQ(1, MakeCopy(s.name, 0, smallName.c_str()));
        EXPECT_EQ(s.smallWidth, width_);
        EXPECT_EQ(s.smallHeight, height_);

        for (char& c : base)
            c = char(tolower(c));
        Picture copy;
        ExpectCopy(("cr_" + base + ".jpg").c_str(), s.largeWidth, s.largeHeight, &copy);
        ExpectCopy(("a_" + base + ".jpg").c_str(), s.smallWidth, s.smallHeight, &copy);
    }
    for (size_t i = 0; i < originals.size(); ++i)
        EXPECT_EQ(originals[i], ReadBytes(sources[i].name)) << sources[i].name;
    EXPECT_EQ(12u, folder_.fileNames().size());
    ASSERT_TRUE(console.ok());
    EXPECT_TRUE(console.lines().empty());
}

TEST_F(Pipeline, SmallCopyIsTheScaledPhotoAndOnlyTheLargeOneIsStamped)
{
    ASSERT_TRUE(WritePicture("white.jpg", MakePicture(1200, 900, kWhite), kJpegEncoder));
    ASSERT_TRUE(WritePicture("quads.png", QuadrantPicture(1200, 900), kPngEncoder));

    ASSERT_EQ(1, MakeCopy("white.jpg", 1, "CR_WHITE.JPG"));
    Picture captured = PictureFromBlock(Block(gReducedBits));
    ASSERT_EQ(1000, captured.width);
    int dark = 0;
    for (int32_t y = 0; y < 16; ++y)
        for (int32_t x = 0; x < 200; ++x)
            dark += ColorDistance(captured.at(x, y), 0xFF000000) < 100;
    EXPECT_GT(dark, 30);
    int darkElsewhere = 0;
    for (int32_t y = 40; y < captured.height; y += 7)
        for (int32_t x = 0; x < captured.width; x += 7)
            darkElsewhere += ColorDistance(captured.at(x, y), kWhite) > 8;
    EXPECT_EQ(0, darkElsewhere);
    Picture saved;
    ASSERT_TRUE(ReadPicture("cr_white.jpg", &saved));
    int darkSaved = 0;
    for (int32_t y = 0; y < 16; ++y)
        for (int32_t x = 0; x < 200; ++x)
            darkSaved += ColorDistance(saved.at(x, y), 0xFF000000) < 100;
    EXPECT_GT(darkSaved, 30);

    ASSERT_EQ(1, MakeCopy("white.jpg", 0, "A_WHITE.JPG"));
    captured = PictureFromBlock(Block(gReducedBits));
    ASSERT_EQ(300, captured.width);
    int notWhite = 0;
    for (uint32_t pixel : captured.argb)
        notWhite += ColorDistance(pixel, kWhite) > 8;
    EXPECT_EQ(0, notWhite);

    ASSERT_EQ(1, MakeCopy("quads.png", 0, "A_QUADS.JPG"));
    captured = PictureFromBlock(Block(gReducedBits));
    ASSERT_EQ(300, captured.width);
    ASSERT_EQ(225, captured.height);
    Picture file;
    ASSERT_TRUE(ReadPicture("a_quads.jpg", &file));
    const struct {
        int32_t x, y;
        uint32_t color;
    } probes[] = {{5, 5, kRed}, {75, 56, kRed}, {225, 56, kGreen}, {294, 5, kGreen},
                  {75, 168, kBlue}, {5, 219, kBlue}, {225, 168, kYellow}, {294, 219, kYellow}};
    for (const auto& p : probes) {
        EXPECT_LE(ColorDistance(captured.at(p.x, p.y), p.color), 8) << p.x << "," << p.y;
        EXPECT_LE(ColorDistance(file.at(p.x, p.y), p.color), 60) << p.x << "," << p.y;
    }
}

TEST_F(Pipeline, TransparentPartsComeOutWhite)
{
    Picture picture = MakePicture(400, 300, 0x00000000);
    picture.fill(200, 0, 400, 300, kBlue);
    ASSERT_TRUE(WritePicture("clear.png", picture, kPngEncoder));
    ASSERT_EQ(1, MakeCopy("clear.png", 0, "A_CLEAR.JPG"));
    Picture captured = PictureFromBlock(Block(gReducedBits));
    ASSERT_EQ(300, captured.width);
    EXPECT_LE(ColorDistance(captured.at(10, 200), kWhite), 8);
    EXPECT_LE(ColorDistance(captured.at(140, 100), kWhite), 8);
    EXPECT_LE(ColorDistance(captured.at(250, 100), kBlue), 8);
    Picture file;
    ASSERT_TRUE(ReadPicture("a_clear.jpg", &file));
    EXPECT_LE(ColorDistance(file.at(60, 100), kWhite), 30);
}

TEST_F(Pipeline, ShutdownFreesTheLastCapturedCopy)
{
    ASSERT_TRUE(WritePicture("white.jpg", MakePicture(400, 300, kWhite), kJpegEncoder));
    ASSERT_EQ(1, ReduceImage(&window_, DynStr("white.jpg"), &width_, &height_, 0));
    attachSurface(window_, 0, false);
    closeGraphicWindow();
    window_ = 0;
    ASSERT_FALSE(gReducedBits.empty());
    RuntimeShutdown();
    bool freed = gReducedBits.empty();
    ASSERT_TRUE(RuntimeStartup());
    EXPECT_TRUE(freed);
}

TEST_F(Pipeline, TaggedPhotosStandUpright)
{
    // Stored 400 x 200 with a red band along its top edge.
    Picture stored = MakePicture(400, 200, kGreen);
    stored.fill(0, 0, 400, 40, kRed);
    ASSERT_TRUE(WritePicture("plain.jpg", stored, kJpegEncoder));
    std::string plain = ReadBytes("plain.jpg");
    const struct {
        int orientation;
        bool bigEndian;
        int32_t width, height;   // the large copy
        int32_t redX, redY;      // a point of the band, upright
        int32_t greenX, greenY;
    } cases[] = {
        {1, false, 1000, 500, 500, 20, 500, 400},
        {3, true, 1000, 500, 500, 480, 500, 100},
        {6, false, 500, 1000, 480, 500, 100, 500},
        {8, true, 500, 1000, 20, 500, 400, 500},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.orientation);
        std::string name = "turned" + std::to_string(c.orientation) + ".jpg";
        ASSERT_TRUE(WriteBytes(name, WithExifOrientation(plain, c.orientation, c.bigEndian)));
        ASSERT_EQ(1, ReduceImage(&window_, DynStr(name.c_str()), &width_, &height_, 1));
        EXPECT_EQ(c.width, width_);
        EXPECT_EQ(c.height, height_);
        Picture captured = PictureFromBlock(Block(gReducedBits));
        ASSERT_EQ(c.width, captured.width);
        EXPECT_LE(ColorDistance(captured.at(c.redX, c.redY), kRed), 40);
        EXPECT_LE(ColorDistance(captured.at(c.greenX, c.greenY), kGreen), 40);
    }
}

// A photo tagged by another program (made at build time where exiftool is).
TEST_F(Pipeline, PhotoTaggedByExiftoolStandsUpright)
{
    std::string tagged = SiblingProgramPath("exiftool_orientation6.jpg");
    if (!FileExists(tagged))
        GTEST_SKIP() << "no exiftool photo in the build tree";
    ASSERT_TRUE(CopyFileA(tagged.c_str(), "tagged.jpg", FALSE));
    EXPECT_EQ(6, ReadExifOrientation(DynStr("tagged.jpg")));
    ASSERT_EQ(1, MakeCopy("tagged.jpg", 1, "CR_TAGGED.JPG"));
    Picture copy;
    ExpectCopy("cr_tagged.jpg", 500, 1000, &copy);
    EXPECT_LE(ColorDistance(copy.at(480, 500), kRed), 60);
    EXPECT_LE(ColorDistance(copy.at(100, 500), kGreen), 60);
}

namespace {

// The reference drawing: the pixels turned in place by the library, then
// drawn into the placement. The loader, which reads the size without turning, must give
// exactly these pixels.
std::string DrawnTurnedInPlace(const char* file, int32_t orientation, int32_t width, int32_t height)
{
    std::string block;
    GpImage* image = nullptr;
    DynStr wide = WideFileName(DynStr(file));
    if (GdipLoadImageFromFile(reinterpret_cast<const WCHAR*>(wide.bytes()), &image) != kGdipOk)
        return block;
    uint32_t canvas = newBitmapSurface(width, height);
    if (canvas)
        attachSurface(canvas, 0, false);
    GpGraphics* graphics = nullptr;
    if (canvas && TurnUprightByLibrary(image, orientation) == kGdipOk &&
            GdipCreateFromHDC(surfaceDC(), &graphics) == kGdipOk) {
        clearSurface(0xFFFFFF, 0);
        UINT w = 0, h = 0;
        GdipGetImageWidth(image, &w);
        GdipGetImageHeight(image, &h);
        Placement place = PlaceImage(int32_t(w), int32_t(h), width, height);
        if (GdipDrawImageRectI(graphics, image, place.x, place.y, place.width, place.height) == kGdipOk)
            block = Block(getBits());
        GdipDeleteGraphics(graphics);
    }
    GdipDisposeImage(image);
    if (canvas) {
        attachSurface(canvas, 0, false);
        endBitmapSurface();
    }
    return block;
}

}  // namespace

// Where the stored top-left and top-right corners must appear for each of the
// eight orientations, as the EXIF tag defines them (0 = top-left, 1 =
// top-right, 2 = bottom-right, 3 = bottom-left); at the photo's own size and
// reduced onto canvases of other shapes, pixel for pixel as a turn in place.
TEST(UprightLoading, AllEightOrientations)
{
    TempFolder folder;
    Picture stored = QuadrantPicture(160, 80);
    stored.fill(0, 0, 40, 20, kRed);
    stored.fill(120, 0, 160, 20, kGreen);
    stored.fill(0, 60, 160, 80, kBlue);
    ASSERT_TRUE(WritePicture("corners.jpg", stored, kJpegEncoder));
    std::string plain = ReadBytes("corners.jpg");
    const int redCorner[] = {0, 0, 1, 2, 3, 0, 1, 2, 3};
    const int greenCorner[] = {0, 1, 0, 3, 2, 3, 2, 1, 0};
    for (int orientation = 1; orientation <= 8; ++orientation) {
        SCOPED_TRACE(orientation);
        ASSERT_TRUE(WriteBytes("turned.jpg", WithExifOrientation(plain, orientation, orientation % 2)));
        TestGdipSession session;
        int32_t width = 0, height = 0;
        fGDIp_ImageSize(DynStr("turned.jpg"), &width, &height);
        EXPECT_EQ(orientation >= 5 ? 80 : 160, width);
        EXPECT_EQ(orientation >= 5 ? 160 : 80, height);

        const int32_t canvases[][2] = {{width, height}, {57, 91}, {91, 57}, {300, 300}};
        for (const auto& size : canvases) {
            SCOPED_TRACE(testing::Message() << size[0] << " x " << size[1]);
            uint32_t canvas = newBitmapSurface(size[0], size[1]);
            ASSERT_NE(0u, canvas);
            DynStr name("turned.jpg");
            ASSERT_EQ(int32_t(canvas), fGDIp_2hBMP(DynStr(name).detach(), canvas, 0, 0xFFFFFF));
            std::string block = Block(getBits());
            attachSurface(canvas, 0, false);
            endBitmapSurface();
            std::string ref = DrawnTurnedInPlace("turned.jpg", orientation, size[0], size[1]);
            EXPECT_TRUE(block == ref);
            if (size[0] != width || size[1] != height)
                continue;
            Picture drawn = PictureFromBlock(block);
            ASSERT_EQ(width, drawn.width);
            const int32_t cx[] = {5, drawn.width - 6, drawn.width - 6, 5};
            const int32_t cy[] = {5, 5, drawn.height - 6, drawn.height - 6};
            EXPECT_LE(ColorDistance(drawn.at(cx[redCorner[orientation]], cy[redCorner[orientation]]), kRed), 60);
            EXPECT_LE(ColorDistance(drawn.at(cx[greenCorner[orientation]], cy[greenCorner[orientation]]), kGreen), 60);
        }
    }
}

// The program's own turn of 24 and 32-bit photos against the library's turn,
// and the library's turn for the rest: every pixel where the library puts
// it, for all eight orientations, on sides that end inside a tile.
TEST(UprightLoading, TheTurnMovesEveryPixelWhereTheLibraryPutsIt)
{
    TempFolder folder;
    TestGdipSession session;
    uint32_t seed = 12345;
    auto speckle = [&seed](int32_t width, int32_t height) {
        Picture picture = MakePicture(width, height, 0);
        for (uint32_t& pixel : picture.argb) {
            seed = seed * 1103515245u + 12345u;
            pixel = 0xFF000000u | (seed >> 8);
        }
        return picture;
    };
    Picture speckled = speckle(131, 70);
    Picture translucent = speckled;
    for (size_t i = 0; i < translucent.argb.size(); ++i)
        translucent.argb[i] = (translucent.argb[i] & 0xFFFFFF) | uint32_t(i % 251 + 4) << 24;
    Picture few = speckled;
    for (uint32_t& pixel : few.argb)
        pixel = 0xFF000000u | (pixel & 0x00C0C0C0);   // 64 colours: a GIF palette holds them
    // Big enough to be moved in two bands, on two threads.
    ASSERT_TRUE(WritePicture("banded.jpg", speckle(1031, 1021), kJpegEncoder));
    ASSERT_TRUE(WritePicture("speckled.jpg", speckled, kJpegEncoder));
    ASSERT_TRUE(WritePicture("translucent.png", translucent, kPngEncoder));
    ASSERT_TRUE(WriteGif("few.gif", few));
    const struct {
        const char* name;
        INT format;   // as the library decodes it here; only reported
    } photos[] = {{"speckled.jpg", kPixelFormat24bppRGB},
                  {"banded.jpg", kPixelFormat24bppRGB},
                  {"translucent.png", kPixelFormat32bppARGB},
                  {"few.gif", 0}};
    for (const auto& photo : photos) {
        DynStr wide = WideFileName(DynStr(photo.name));
        const WCHAR* name = reinterpret_cast<const WCHAR*>(wide.bytes());
        for (int32_t orientation = 1; orientation <= 8; ++orientation) {
            SCOPED_TRACE(testing::Message() << photo.name << ", orientation " << orientation);
            GpImage* turned = nullptr;
            GpImage* reference = nullptr;
            ASSERT_EQ(kGdipOk, GdipLoadImageFromFile(name, &turned));
            ASSERT_EQ(kGdipOk, GdipLoadImageFromFile(name, &reference));
            INT format = 0;
            GdipGetImagePixelFormat(turned, &format);
            if (photo.format) {
                EXPECT_EQ(photo.format, format);
            }
            EXPECT_EQ(kGdipOk, TurnUpright(&turned, orientation));
            EXPECT_EQ(kGdipOk, TurnUprightByLibrary(reference, orientation));
            INT turnedFormat = 0;
            GdipGetImagePixelFormat(turned, &turnedFormat);
            EXPECT_EQ(format, turnedFormat);
            Picture got, expected;
            ASSERT_TRUE(PictureOfImage(turned, &got));
            ASSERT_TRUE(PictureOfImage(reference, &expected));
            EXPECT_EQ(expected.width, got.width);
            EXPECT_EQ(expected.height, got.height);
            EXPECT_TRUE(expected.argb == got.argb);
            GdipDisposeImage(turned);
            GdipDisposeImage(reference);
        }
    }
}

TEST_F(Pipeline, UndecodablePhotosFailWithoutTouchingAnything)
{
    ASSERT_TRUE(WritePicture("good.jpg", QuadrantPicture(1200, 900), kJpegEncoder));
    std::string good = ReadBytes("good.jpg");
    ASSERT_GT(good.size(), 3000u);
    ASSERT_TRUE(WriteBytes("text.jpg", "this is no photo\r\n"));
    ASSERT_TRUE(WriteBytes("cut.jpg", good.substr(0, 3000)));
    ASSERT_TRUE(WriteBytes("empty.jpg", ""));
    ASSERT_EQ(1, ReduceImage(&window_, DynStr("good.jpg"), &width_, &height_, 0));
    std::string before = Block(gReducedBits);
    uint32_t windowBefore = window_;
    std::vector<std::string> filesBefore = folder_.fileNames();

    for (const char* name : {"text.jpg", "cut.jpg", "empty.jpg", "missing.jpg", ""}) {
        SCOPED_TRACE(name);
        std::string bytes = ReadBytes(name);
        ConsoleCapture console;
        int32_t width = width_, height = height_;
        EXPECT_EQ(0, MakeCopy(name, 1, "CR_BROKEN.JPG"));
        EXPECT_EQ(0, MakeCopy(name, 0, "A_BROKEN.JPG"));
        EXPECT_EQ(width, width_);
        EXPECT_EQ(height, height_);
        EXPECT_EQ(windowBefore, window_);
        EXPECT_EQ(before, Block(gReducedBits));
        EXPECT_EQ(bytes, ReadBytes(name));
        ASSERT_TRUE(console.ok());
        std::vector<std::string> expected = {"Function failed", "Function failed"};
        EXPECT_EQ(expected, console.lines());
    }
    EXPECT_EQ(filesBefore, folder_.fileNames());
    int32_t w = 7, h = 9;
    TestGdipSession session;
    fGDIp_ImageSize(DynStr("text.jpg"), &w, &h);
    EXPECT_EQ(7, w);
    EXPECT_EQ(9, h);
}

// 300 megapixels, made at build time: the 32-bit process loads it but cannot
// draw it. A drawing that fails must not come out as a blank copy; where it
// draws, the copy is the photo. Either way the next photo gets its copies.
TEST_F(Pipeline, APhotoTooBigToDrawGivesNoBlankCopy)
{
    std::string huge = SiblingProgramPath("cjpeg_20000x15000.jpg");
    if (!FileExists(huge))
        GTEST_SKIP() << "no cjpeg photo in the build tree";
    ASSERT_TRUE(WritePicture("next.jpg", QuadrantPicture(400, 300), kJpegEncoder));
    ASSERT_EQ(1, ReduceImage(&window_, DynStr("next.jpg"), &width_, &height_, 1));
    std::string before = Block(gReducedBits);

    ConsoleCapture console;
    if (MakeCopy(huge.c_str(), 0, "A_HUGE.JPG") == 1) {
        ASSERT_TRUE(console.ok());
        EXPECT_TRUE(console.lines().empty());
        Picture copy;
        ExpectCopy("a_huge.jpg", 300, 225, &copy);
        const struct {
            int32_t x;
            uint32_t color;
        } probes[] = {{3, 0xFF0040FF}, {150, 0xFF80407F}, {296, 0xFFFF4000}};
        for (const auto& p : probes) {
            for (int32_t y : {3, 112, 221})
                EXPECT_LE(ColorDistance(copy.at(p.x, y), p.color), 24) << p.x << "," << y;
        }
    } else {
        ASSERT_TRUE(console.ok());
        EXPECT_EQ(std::vector<std::string>{"Function failed"}, console.lines());
        EXPECT_FALSE(FileExists("a_huge.jpg"));
        EXPECT_EQ(before, Block(gReducedBits));
    }

    ASSERT_EQ(1, MakeCopy("next.jpg", 1, "CR_NEXT.JPG"));
    Picture next;
    ExpectCopy("cr_next.jpg", 1000, 750, &next);
    EXPECT_LE(ColorDistance(next.at(700, 600), kYellow), 60);
}

TEST_F(Pipeline, AFailedSaveIsReportedAndTheBatchGoesOn)
{
    ASSERT_TRUE(WritePicture("photo.jpg", QuadrantPicture(400, 300), kJpegEncoder));
    ASSERT_TRUE(CreateDirectoryA("cr_taken.jpg", nullptr));
    ConsoleCapture console;
    ASSERT_EQ(1, MakeCopy("photo.jpg", 1, "NOFOLDER\\CR_PHOTO.JPG"));
    ASSERT_EQ(1, MakeCopy("photo.jpg", 1, "CR_TAKEN.JPG"));
    ASSERT_EQ(1, MakeCopy("photo.jpg", 0, "A_PHOTO.JPG"));
    EXPECT_TRUE(IsJpegFile("a_photo.jpg"));
    // A block that does not match the size given is not saved.
    int32_t width = 20, height = 20;
    SaveReducedCopy(DynStr("A_WRONG.JPG"), &width, &height);
    EXPECT_FALSE(FileExists("a_wrong.jpg"));
    EXPECT_EQ(std::vector<std::string>({"a_photo.jpg", "photo.jpg"}), folder_.fileNames());
    ASSERT_TRUE(console.ok());
    std::vector<std::string> expected = {"Impossibile salvare nofolder\\cr_photo.jpg",
                                         "Impossibile salvare cr_taken.jpg",
                                         "Impossibile salvare a_wrong.jpg"};
    EXPECT_EQ(expected, console.lines());
}

// Windows documents that a bitmap handed to GetDIBits, SetDIBits or the
// library's bitmap from a handle is selected into no DC at that moment.
TEST_F(Pipeline, BitmapsAreHandedOverOutOfTheirDCs)
{
    ASSERT_TRUE(WritePicture("photo.jpg", QuadrantPicture(400, 300), kJpegEncoder));
    memset(gBitmapHandOvers, 0, sizeof gBitmapHandOvers);
    ASSERT_EQ(1, MakeCopy("photo.jpg", 1, "CR_PHOTO.JPG"));
    for (int call = 0; call < kHandOverCount; ++call) {
        EXPECT_GT(gBitmapHandOvers[call].calls, 0) << call;
        EXPECT_EQ(0, gBitmapHandOvers[call].whileSelected) << call;
    }
    Picture copy;
    ExpectCopy("cr_photo.jpg", 1000, 750, &copy);
    EXPECT_LE(ColorDistance(copy.at(700, 600), kYellow), 60);
}

// Two instances of the tool on one folder save the same copies at the same
// moments: every save of both succeeds, one whole copy is left, no pending file.
TEST_F(Pipeline, TwoProcessesSavingOneCopyAtOnceBothSucceed)
{
    std::string go = "cr_save_go_" + std::to_string(GetCurrentProcessId());
    std::string ready = "cr_save_ready_" + std::to_string(GetCurrentProcessId());
    HANDLE goEvent = CreateEventA(nullptr, TRUE, FALSE, go.c_str());
    HANDLE readySemaphore = CreateSemaphoreA(nullptr, 0, 2, ready.c_str());
    ASSERT_TRUE(goEvent && readySemaphore);
    std::string command = "\"" + SiblingProgramPath("save_race_probe.exe") + "\" \"" +
                          folder_.path() + "\" " + go + " " + ready + " 30";
    ProcessOutcome outcomes[2];
    std::thread runs[2];
    for (int i = 0; i < 2; ++i)
        runs[i] = std::thread([&outcomes, &command, i] { outcomes[i] = RunCapturedProcess(command, 120000); });
    // Both wait for the word before their first save.
    bool bothReady = WaitForSingleObject(readySemaphore, 60000) == WAIT_OBJECT_0 &&
                     WaitForSingleObject(readySemaphore, 60000) == WAIT_OBJECT_0;
    SetEvent(goEvent);
    for (std::thread& run : runs)
        run.join();
    CloseHandle(goEvent);
    CloseHandle(readySemaphore);
    ASSERT_TRUE(bothReady);
    for (const ProcessOutcome& outcome : outcomes) {
        EXPECT_TRUE(outcome.finished);
        EXPECT_EQ(0u, outcome.exitCode) << outcome.output;
    }
    EXPECT_EQ(std::vector<std::string>{"cr_same.jpg"}, folder_.fileNames());
    Picture copy;
    ExpectCopy("cr_same.jpg", 300, 225, &copy);
}

TEST(ImageLoader, DrawsIntoASurfaceAndFreesItsName)
{
    TempFolder folder;
    ASSERT_TRUE(WritePicture("wide.png", MakePicture(400, 100, kBlue), kPngEncoder));
    TestGdipSession session;
    uint32_t canvas = newBitmapSurface(200, 200);
    ASSERT_NE(0u, canvas);
    attachSurface(canvas, 0, false);
    clearSurface(0x00FF00, 0);

    // A file that cannot be loaded leaves the surface as it was.
    EXPECT_EQ(0, fGDIp_2hBMP(DynStr("missing.png").detach(), canvas, 0, 0xFF));
    Picture before = PictureFromBlock(Block(getBits()));
    EXPECT_LE(ColorDistance(before.at(100, 150), kGreen), 8);
    EXPECT_EQ(0, fGDIp_2hBMP(nullptr, canvas, 0, 0xFF));

    // Landscape on a square canvas: drawn from the top edge, the rest cleared.
    EXPECT_EQ(int32_t(canvas), fGDIp_2hBMP(DynStr("wide.png").detach(), canvas, 0, 0xFF));
    Picture drawn = PictureFromBlock(Block(getBits()));
    EXPECT_LE(ColorDistance(drawn.at(100, 20), kBlue), 8);
    EXPECT_LE(ColorDistance(drawn.at(100, 150), kRed), 8);

    // -2 keeps what is outside the drawn rectangle.
    attachSurface(canvas, 0, false);
    clearSurface(0x00FF00, 0);
    EXPECT_EQ(int32_t(canvas), fGDIp_2hBMP(DynStr("wide.png").detach(), canvas, 0, -2));
    drawn = PictureFromBlock(Block(getBits()));
    EXPECT_LE(ColorDistance(drawn.at(100, 150), kGreen), 8);
    attachSurface(canvas, 0, false);
    endBitmapSurface();

    // No surface to draw on: nothing drawn.
    EXPECT_EQ(0, fGDIp_2hBMP(DynStr("wide.png").detach(), 0, 0, 0xFF));
}
