// The EXIF orientation reader on good, truncated and malicious JPEG bytes, and on files.
#include <gtest/gtest.h>

#include <string>

#include "imaging/imaging_internal.h"
#include "tests/imaging/imaging_fixtures.h"

namespace {

// Bytes placed right before an inaccessible page, so that reading one byte
// past their end faults instead of passing unnoticed.
class GuardedBytes {
public:
    explicit GuardedBytes(const std::string& bytes)
    {
        SYSTEM_INFO info;
        GetSystemInfo(&info);
        size_t page = info.dwPageSize;
        size_t pages = (bytes.size() + page - 1) / page + 1;
        base_ = static_cast<unsigned char*>(
            VirtualAlloc(nullptr, pages * page, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
        DWORD old;
        VirtualProtect(base_ + (pages - 1) * page, page, PAGE_NOACCESS, &old);
        data_ = base_ + (pages - 1) * page - bytes.size();
        memcpy(data_, bytes.data(), bytes.size());
        size_ = bytes.size();
    }
    ~GuardedBytes() { VirtualFree(base_, 0, MEM_RELEASE); }
    int32_t orientation() const { return ExifOrientationFromBytes(data_, size_); }

private:
    unsigned char* base_;
    unsigned char* data_;
    size_t size_;
};

int32_t OrientationOf(const std::string& bytes)
{
    return GuardedBytes(bytes).orientation();
}

const std::string kSoi("\xFF\xD8", 2);
const std::string kSosAndEnd("\xFF\xDA\x00\x02\xFF\xD9", 6);
const std::string kJfif("\xFF\xE0\x00\x10JFIF\0\x01\x01\x00\x00\x01\x00\x01\x00\x00", 18);

std::string Segment(unsigned char marker, const std::string& body)
{
    size_t length = body.size() + 2;
    return std::string("\xFF", 1) + char(marker) + char(length >> 8) + char(length & 0xFF) + body;
}

std::string U16(unsigned v, bool big)
{
    return big ? std::string{char(v >> 8), char(v & 0xFF)} : std::string{char(v & 0xFF), char(v >> 8)};
}

std::string U32(uint32_t v, bool big)
{
    return big ? U16(v >> 16, true) + U16(v & 0xFFFF, true)
               : U16(v & 0xFFFF, false) + U16(v >> 16, false);
}

std::string Entry(unsigned tag, unsigned type, uint32_t count, unsigned value, bool big)
{
    return U16(tag, big) + U16(type, big) + U32(count, big) + U16(value, big) + U16(0, big);
}

// A TIFF block with the given IFD0 entries at offset 8.
std::string Tiff(const std::string& entries, unsigned count, bool big)
{
    return std::string(big ? "MM" : "II") + U16(42, big) + U32(8, big) + U16(count, big) +
           entries + U32(0, big);
}

std::string ExifJpeg(const std::string& tiff)
{
    return kSoi + Segment(0xE1, std::string("Exif\0\0", 6) + tiff) + kSosAndEnd;
}

}  // namespace

TEST(ExifOrientation, EveryValueInBothByteOrders)
{
    for (bool big : {false, true}) {
        for (unsigned value = 1; value <= 8; ++value) {
            SCOPED_TRACE(testing::Message() << (big ? "MM " : "II ") << value);
            std::string entries = Entry(0x010F, 2, 4, 0, big) + Entry(0x0112, 3, 1, value, big);
            EXPECT_EQ(int32_t(value), OrientationOf(ExifJpeg(Tiff(entries, 2, big))));
        }
    }
}

TEST(ExifOrientation, FoundBehindOtherSegments)
{
    std::string exif = Segment(0xE1, std::string("Exif\0\0", 6) +
                                          Tiff(Entry(0x0112, 3, 1, 6, false), 1, false));
    std::string xmp = Segment(0xE1, "http://ns.adobe.com/xap/1.0/\0<x/>");
    EXPECT_EQ(6, OrientationOf(kSoi + kJfif + xmp + exif + kSosAndEnd));
    // Fill bytes before a marker are allowed.
    EXPECT_EQ(6, OrientationOf(kSoi + "\xFF\xFF" + exif.substr(1) + kSosAndEnd));
    // Written with the fixture's own helper, as the photos of the pipeline tests are.
    EXPECT_EQ(8, OrientationOf(WithExifOrientation(kSoi + kSosAndEnd, 8, true)));
}

TEST(ExifOrientation, NoneWhenAbsentOrMeaningless)
{
    EXPECT_EQ(0, ExifOrientationFromBytes(nullptr, 0));
    EXPECT_EQ(0, OrientationOf(""));
    EXPECT_EQ(0, OrientationOf(kSoi + kJfif + kSosAndEnd));
    EXPECT_EQ(0, OrientationOf("\x89PNG\r\n\x1A\n"));
    // The EXIF block after the image data is not looked at.
    EXPECT_EQ(0, OrientationOf(kSoi + kSosAndEnd + Segment(0xE1, std::string("Exif\0\0", 6) +
                                    Tiff(Entry(0x0112, 3, 1, 6, false), 1, false))));
    EXPECT_EQ(0, OrientationOf(ExifJpeg(Tiff(Entry(0x0112, 3, 1, 9, false), 1, false))));
    EXPECT_EQ(0, OrientationOf(ExifJpeg(Tiff(Entry(0x0112, 3, 1, 0, false), 1, false))));
    EXPECT_EQ(0, OrientationOf(ExifJpeg(Tiff(Entry(0x0112, 4, 1, 6, false), 1, false))));
    EXPECT_EQ(0, OrientationOf(ExifJpeg(Tiff(Entry(0x0112, 3, 0, 6, false), 1, false))));
    EXPECT_EQ(0, OrientationOf(ExifJpeg("XX" + Tiff(Entry(0x0112, 3, 1, 6, false), 1, false).substr(2))));
}

TEST(ExifOrientation, TruncatedAndMaliciousBlocksAreNeverReadPast)
{
    const bool big = true;
    std::string good = ExifJpeg(Tiff(Entry(0x0112, 3, 1, 3, big), 1, big));
    ASSERT_EQ(3, OrientationOf(good));
    // Every cut of the file: either the tag was read whole or nothing is found.
    for (size_t cut = 0; cut < good.size(); ++cut) {
        int32_t found = OrientationOf(good.substr(0, cut));
        EXPECT_TRUE(found == 0 || found == 3) << cut;
    }
    // IFD offset past the block, and near the top of the 32-bit range.
    for (uint32_t offset : {64u, 0xFFFFFFF0u, 0xFFFFFFFFu}) {
        std::string tiff = std::string("MM") + U16(42, big) + U32(offset, big) + U16(1, big) +
                           Entry(0x0112, 3, 1, 6, big);
        EXPECT_EQ(0, OrientationOf(ExifJpeg(tiff))) << offset;
    }
    // An entry count far beyond the entries present.
    EXPECT_EQ(0, OrientationOf(ExifJpeg(Tiff(Entry(0x010F, 2, 4, 0, big), 0xFFFF, big))));
    // Segment lengths below 2, or longer than the file.
    EXPECT_EQ(0, OrientationOf(kSoi + std::string("\xFF\xE1\x00\x01", 4) + kSosAndEnd));
    EXPECT_EQ(0, OrientationOf(kSoi + std::string("\xFF\xE0\xFF\xF0JFIF", 8)));
    EXPECT_EQ(0, OrientationOf(kSoi + std::string("\xFF\xE1\x00\x05Exif", 8)));
}

TEST(ExifOrientation, ReadFromTheFileWhichIsLeftClosed)
{
    TempFolder folder;
    std::string bytes = ExifJpeg(Tiff(Entry(0x0112, 3, 1, 6, false), 1, false));
    // A large block before it: only the first 64 KiB or so are read.
    std::string distant = kSoi + Segment(0xE2, std::string(65000, 'x')) + Segment(0xE2, std::string(65000, 'y')) +
                      bytes.substr(2);
    ASSERT_TRUE(WriteBytes("near.jpg", bytes));
    ASSERT_TRUE(WriteBytes("far.jpg", distant));
    EXPECT_EQ(6, ReadExifOrientation(DynStr("near.jpg")));
    EXPECT_EQ(0, ReadExifOrientation(DynStr("far.jpg")));
    EXPECT_EQ(0, ReadExifOrientation(DynStr("missing.jpg")));
    EXPECT_EQ(0, ReadExifOrientation(DynStr("")));
    // Nothing holds the files open any more.
    EXPECT_TRUE(DeleteFileA("near.jpg"));
    EXPECT_TRUE(DeleteFileA("far.jpg"));
}
