// EXIF orientation of a JPEG, read from the file's own bytes: the platform's
// imaging library does not report the tag everywhere. The bytes are
// untrusted: every offset and count is checked against what was read.
#include "imaging/imaging_internal.h"

namespace {

// The EXIF block sits in the first segments; 64 KiB holds a whole APP1.
const DWORD kExifReadLimit = 64 * 1024;
const uint16_t kOrientationTag = 0x0112;
const uint16_t kTypeShort = 3;

struct ByteView {
    const unsigned char* data;
    size_t size;
    bool bigEndian;
};

bool Read16(const ByteView& view, size_t offset, uint16_t* value)
{
    if (offset > view.size || view.size - offset < 2)
        return false;
    const unsigned char* p = view.data + offset;
    *value = view.bigEndian ? static_cast<uint16_t>(p[0] << 8 | p[1])
                            : static_cast<uint16_t>(p[1] << 8 | p[0]);
    return true;
}

bool Read32(const ByteView& view, size_t offset, uint32_t* value)
{
    if (offset > view.size || view.size - offset < 4)
        return false;
    const unsigned char* p = view.data + offset;
    if (view.bigEndian)
        *value = uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
    else
        *value = uint32_t(p[3]) << 24 | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
    return true;
}

// The TIFF structure after "Exif\0\0": header, then the first IFD's entries.
int32_t OrientationFromTiff(const unsigned char* data, size_t size)
{
    if (size < 8)
        return 0;
    ByteView view = {data, size, false};
    if (data[0] == 'M' && data[1] == 'M')
        view.bigEndian = true;
    else if (!(data[0] == 'I' && data[1] == 'I'))
        return 0;
    uint16_t magic = 0;
    uint32_t ifdOffset = 0;
    if (!Read16(view, 2, &magic) || magic != 42 || !Read32(view, 4, &ifdOffset))
        return 0;
    uint16_t entryCount = 0;
    if (!Read16(view, ifdOffset, &entryCount))
        return 0;
    size_t entry = size_t(ifdOffset) + 2;
    for (uint16_t i = 0; i < entryCount; ++i, entry += 12) {
        if (entry > size || size - entry < 12)
            return 0;
        uint16_t tag = 0, type = 0;
        uint32_t count = 0;
        Read16(view, entry, &tag);
        if (tag != kOrientationTag)
            continue;
        Read16(view, entry + 2, &type);
        Read32(view, entry + 4, &count);
        uint16_t value = 0;
        if (type != kTypeShort || count < 1 || !Read16(view, entry + 8, &value))
            return 0;
        return value >= 1 && value <= 8 ? value : 0;
    }
    return 0;
}

}  // namespace

int32_t ExifOrientationFromBytes(const unsigned char* data, size_t size)
{
    if (!data || size < 4 || data[0] != 0xFF || data[1] != 0xD8)
        return 0;
    size_t pos = 2;
    while (pos < size) {
        if (data[pos] != 0xFF)
            return 0;
        while (pos < size && data[pos] == 0xFF)   // fill bytes before a marker
            ++pos;
        if (pos >= size)
            return 0;
        unsigned char marker = data[pos++];
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8))
            continue;   // markers without a length
        if (marker == 0xDA || marker == 0xD9)
            return 0;   // image data or end: no EXIF before it
        if (size - pos < 2)
            return 0;
        size_t length = size_t(data[pos]) << 8 | data[pos + 1];
        if (length < 2)
            return 0;
        const unsigned char* body = data + pos + 2;
        // A segment cut off by the read limit is still read up to the limit.
        size_t available = size - pos - 2;
        size_t bodySize = length - 2 < available ? length - 2 : available;
        if (marker == 0xE1 && bodySize >= 6 && body[0] == 'E' && body[1] == 'x' &&
            body[2] == 'i' && body[3] == 'f' && body[4] == 0 && body[5] == 0)
            return OrientationFromTiff(body + 6, bodySize - 6);
        if (length - 2 > available)
            return 0;
        pos += length;
    }
    return 0;
}

int32_t ReadExifOrientation(const DynStr& fileName)
{
    if (fileName.empty())
        return 0;
    HANDLE file = CreateFileA(fileName.bytes(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    int32_t orientation = 0;
    unsigned char* buffer = static_cast<unsigned char*>(HeapAlloc(GetProcessHeap(), 0, kExifReadLimit));
    DWORD got = 0;
    if (buffer && ReadFile(file, buffer, kExifReadLimit, &got, nullptr))
        orientation = ExifOrientationFromBytes(buffer, got);
    if (buffer)
        HeapFree(GetProcessHeap(), 0, buffer);
    CloseHandle(file);
    return orientation;
}
