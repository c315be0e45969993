// The reduction and the save on real photos, as the per-image step runs them.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include "imaging/imaging.h"
#include "imaging/imaging_internal.h"
#include "runtime/startup.h"
#include "surfaces/surfaces.h"
#include "tests/support/dynstr_text.h"
#include "tests/support/process_run.h"
#include "tests/imaging/imaging_fixtures.h"

namespace {

const uint32_t kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF, kYellow = 0xFFFFFF00;
const uint32_t kWhite = 0xFFFFFFFF;

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
    Picture captured = PictureFromBlock(Text(gReducedBits));
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
    captured = PictureFromBlock(Text(gReducedBits));
    ASSERT_EQ(300, captured.width);
    int notWhite = 0;
    for (uint32_t pixel : captured.argb)
        notWhite += ColorDistance(pixel, kWhite) > 8;
    EXPECT_EQ(0, notWhite);

    ASSERT_EQ(1, MakeCopy("quads.png", 0, "A_QUADS.JPG"));
    captured = PictureFromBlock(Text(gReducedBits));
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
    Picture captured = PictureFromBlock(Text(gReducedBits));
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

// Smooth gradients under sharp-edged bars, none touching the edges, a red
// mark at the top-left corner and a green one at the top-right: a wrong
// turn, or a gap at an edge, shows; the fraction of a copy pixel by which a
// turn after the scaling moves the sampling does not.
Picture DetailedPicture(int32_t width, int32_t height)
{
    Picture picture = MakePicture(width, height, 0);
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x)
            picture.argb[size_t(y) * width + x] =
                0xFF000060 | uint32_t(x * 255 / width) << 16 | uint32_t(y * 255 / height) << 8;
    for (int32_t x = 60, bar = 24; x + bar < width - 60; x += 2 * bar + 16, bar += 16)
        picture.fill(x, 60, x + bar, height / 2, 0xFF202020);
    for (int32_t y = 60, bar = 24; y + bar < height - 60; y += 2 * bar + 16, bar += 16)
        picture.fill(width / 2, y, width - 60, y + bar, 0xFFE0E0E0);
    picture.fill(0, 0, width / 8, height / 8, kRed);
    picture.fill(width - width / 8, 0, width, height / 8, kGreen);
    return picture;
}

// The picture seen upright, by the tag's own definition: the side where the
// stored first row lies, and the side where the stored first column lies.
Picture UprightPicture(const Picture& stored, int orientation)
{
    const char rowSide[] = "-TTBBLRRL", columnSide[] = "-LRRLTTBB";
    bool sideways = orientation >= 5;
    Picture upright = MakePicture(sideways ? stored.height : stored.width,
                                  sideways ? stored.width : stored.height, 0);
    int32_t lastX = upright.width - 1, lastY = upright.height - 1;
    for (int32_t row = 0; row < stored.height; ++row) {
        for (int32_t column = 0; column < stored.width; ++column) {
            int32_t x = 0, y = 0;
            switch (rowSide[orientation]) {
            case 'T': y = row; break;
            case 'B': y = lastY - row; break;
            case 'L': x = row; break;
            default: x = lastX - row; break;
            }
            switch (columnSide[orientation]) {
            case 'L': x = column; break;
            case 'R': x = lastX - column; break;
            case 'T': y = column; break;
            default: y = lastY - column; break;
            }
            upright.argb[size_t(y) * upright.width + x] = stored.at(column, row);
        }
    }
    return upright;
}

// fGDIp_2hBMP of a file onto a new canvas; with kColorNone the canvas holds
// four quadrants before.
Picture DrawnCopy(const char* file, int32_t width, int32_t height, int32_t fillColor)
{
    Picture drawn;
    uint32_t canvas = newBitmapSurface(width, height);
    if (!canvas)
        return drawn;
    if (fillColor == kColorNone) {
        Picture before = QuadrantPicture(width, height);
        DynStr block = newPixelBlock(width, height);
        memcpy(blockPixels(&block), before.argb.data(), before.argb.size() * 4);
        attachSurface(canvas, 0, false);
        setBits(block);
    }
    if (fGDIp_2hBMP(DynStr(file).detach(), canvas, 0, fillColor) == int32_t(canvas))
        drawn = PictureFromBlock(Text(getBits()));
    attachSurface(canvas, 0, false);
    endBitmapSurface();
    return drawn;
}

// Mean absolute difference per channel over [x0, x1) x [y0, y1).
double MeanDifference(const Picture& a, const Picture& b, int32_t x0, int32_t y0, int32_t x1,
                      int32_t y1)
{
    int64_t sum = 0;
    for (int32_t y = y0; y < y1; ++y)
        for (int32_t x = x0; x < x1; ++x)
            for (int shift = 0; shift <= 16; shift += 8)
                sum += abs(int(a.at(x, y) >> shift & 0xFF) - int(b.at(x, y) >> shift & 0xFF));
    return double(sum) / (3.0 * (x1 - x0) * (y1 - y0));
}

}  // namespace

// The turn, exactly: numbered pixels of a stored block moved upright, whole
// to an offset in a larger block, and back; and the stored part that
// StoredPlacement names for an upright rectangle is exactly what shows there.
TEST(UprightLoading, TurnedPixelsLandWhereTheTagSays)
{
    Picture stored = MakePicture(5, 3, 0);
    for (size_t i = 0; i < stored.argb.size(); ++i)
        stored.argb[i] = uint32_t(i + 1);
    DynStr from = newPixelBlock(5, 3);
    memcpy(blockPixels(&from), stored.argb.data(), 15 * 4);
    for (int orientation = 1; orientation <= 8; ++orientation) {
        SCOPED_TRACE(orientation);
        Picture upright = UprightPicture(stored, orientation);
        Picture expected = MakePicture(upright.width + 3, upright.height + 2, 0);
        for (int32_t y = 0; y < upright.height; ++y)
            for (int32_t x = 0; x < upright.width; ++x)
                expected.argb[size_t(y + 2) * expected.width + x + 1] = upright.at(x, y);
        DynStr to = newPixelBlock(expected.width, expected.height);
        memset(blockPixels(&to), 0, expected.argb.size() * 4);
        ASSERT_TRUE(MoveTurned(from, {0, 0, 5, 3}, orientation, &to, 1, 2));
        EXPECT_EQ(0, memcmp(blockPixels(to), expected.argb.data(), expected.argb.size() * 4));
        DynStr back = newPixelBlock(5, 3);
        ASSERT_TRUE(MoveTurned(to, {1, 2, upright.width, upright.height},
                               InverseOrientation(orientation), &back, 0, 0));
        EXPECT_EQ(0, memcmp(blockPixels(back), stored.argb.data(), 15 * 4));
        // The upright rectangle from (1, 1), 2 wide and 1 high.
        Placement part = StoredPlacement({1, 1, 2, 1}, orientation, upright.width, upright.height);
        DynStr shown = newPixelBlock(2, 1);
        ASSERT_TRUE(MoveTurned(from, part, orientation, &shown, 0, 0));
        EXPECT_EQ(upright.at(1, 1), blockPixels(shown)[0]);
        EXPECT_EQ(upright.at(2, 1), blockPixels(shown)[1]);
        EXPECT_FALSE(MoveTurned(from, {4, 0, 2, 1}, orientation, &shown, 0, 0)) << "outside its block";
    }
}

// A tagged photo is drawn as the same photo stored upright, untagged, is,
// where the exact test of the turn cannot see: the library's drawing of a
// real photo at each edge of its rectangle on canvases of every shape (a
// line of the fill colour, or of what the canvas held, would show there).
TEST(UprightLoading, AllEightOrientationsDrawAsThePhotoStoredUpright)
{
    TempFolder folder;
    ASSERT_TRUE(WritePicture("stored.jpg", DetailedPicture(1100, 660), kJpegEncoder));
    std::string plain = ReadBytes("stored.jpg");
    const int32_t kMagenta = 0xFF00FF;   // in no photo here
    const double kLineTolerance = 50;    // a line of fill colour or of the old canvas: 85 and more
    for (int orientation = 1; orientation <= 8; ++orientation) {
        SCOPED_TRACE(orientation);
        ASSERT_TRUE(WriteBytes("tagged.jpg", WithExifOrientation(plain, orientation, orientation % 2)));
        Picture stored;
        ASSERT_TRUE(ReadPicture("tagged.jpg", &stored));
        ASSERT_TRUE(WritePicture("upright.png", UprightPicture(stored, orientation), kPngEncoder));
        TestGdipSession session;
        int32_t width = 0, height = 0;
        fGDIp_ImageSize(DynStr("tagged.jpg"), &width, &height);
        EXPECT_EQ(orientation >= 5 ? 660 : 1100, width);
        EXPECT_EQ(orientation >= 5 ? 1100 : 660, height);
        int32_t large[2], small[2];
        ReducedCopySize(width, height, 1, &large[0], &large[1]);
        ReducedCopySize(width, height, 0, &small[0], &small[1]);
        // Canvases of other shapes place the photo against an edge, centred,
        // past the bottom or past both sides; on these the library here draws
        // the reference whole (it leaves out the first column of some
        // rectangles that start inside a bitmap).
        const struct {
            int32_t width, height, fill;
        } canvases[] = {{width, height, kMagenta},  {large[0], large[1], kMagenta},
                        {small[0], small[1], kMagenta}, {300, 300, kColorNone},
                        {57, 91, kMagenta},            {89, 57, kColorNone},
                        {40, 120, kMagenta},           {120, 40, kColorNone}};
        for (const auto& c : canvases) {
            SCOPED_TRACE(testing::Message() << c.width << " x " << c.height << ", fill " << c.fill);
            Picture drawn = DrawnCopy("tagged.jpg", c.width, c.height, c.fill);
            Picture expected = DrawnCopy("upright.png", c.width, c.height, c.fill);
            ASSERT_EQ(c.width, drawn.width);
            ASSERT_EQ(c.height, drawn.height);
            ASSERT_EQ(c.width, expected.width);
            Placement place = PlaceImage(width, height, c.width, c.height);
            int32_t left = std::max(place.x, 0), right = std::min(place.x + place.width, c.width);
            int32_t top = std::max(place.y, 0), bottom = std::min(place.y + place.height, c.height);
            EXPECT_LE(MeanDifference(drawn, expected, left, top, right, top + 1), kLineTolerance) << "top";
            EXPECT_LE(MeanDifference(drawn, expected, left, bottom - 1, right, bottom), kLineTolerance) << "bottom";
            EXPECT_LE(MeanDifference(drawn, expected, left, top, left + 1, bottom), kLineTolerance) << "left";
            EXPECT_LE(MeanDifference(drawn, expected, right - 1, top, right, bottom), kLineTolerance) << "right";
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
    std::string before = Text(gReducedBits);
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
        EXPECT_EQ(before, Text(gReducedBits));
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
    std::string before = Text(gReducedBits);

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
        EXPECT_EQ(before, Text(gReducedBits));
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
    Picture before = PictureFromBlock(Text(getBits()));
    EXPECT_LE(ColorDistance(before.at(100, 150), kGreen), 8);
    EXPECT_EQ(0, fGDIp_2hBMP(nullptr, canvas, 0, 0xFF));

    // Landscape on a square canvas: drawn from the top edge, the rest cleared.
    EXPECT_EQ(int32_t(canvas), fGDIp_2hBMP(DynStr("wide.png").detach(), canvas, 0, 0xFF));
    Picture drawn = PictureFromBlock(Text(getBits()));
    EXPECT_LE(ColorDistance(drawn.at(100, 20), kBlue), 8);
    EXPECT_LE(ColorDistance(drawn.at(100, 150), kRed), 8);

    // -2 keeps what is outside the drawn rectangle.
    attachSurface(canvas, 0, false);
    clearSurface(0x00FF00, 0);
    EXPECT_EQ(int32_t(canvas), fGDIp_2hBMP(DynStr("wide.png").detach(), canvas, 0, -2));
    drawn = PictureFromBlock(Text(getBits()));
    EXPECT_LE(ColorDistance(drawn.at(100, 150), kGreen), 8);
    attachSurface(canvas, 0, false);
    endBitmapSurface();

    // No surface to draw on: nothing drawn.
    EXPECT_EQ(0, fGDIp_2hBMP(DynStr("wide.png").detach(), 0, 0, 0xFF));
}
