// Fixtures of the imaging tests: pictures written and read through the library, console capture.
#include "tests/imaging/imaging_fixtures.h"

#include <stdio.h>
#include <stdlib.h>

#include <algorithm>

#include "runtime/runtime_state.h"
#include "tests/support/console_cells.h"

namespace {

#define CODEC_CLSID(last) {0x557CF400 + (last), 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}}

std::wstring Wide(const std::string& text)
{
    int n = MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), nullptr, 0);
    std::wstring result(n, L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), &result[0], n);
    return result;
}
}  // namespace

const CLSID kBmpEncoder = CODEC_CLSID(0);
const CLSID kJpegEncoder = CODEC_CLSID(1);
const CLSID kGifEncoder = CODEC_CLSID(2);
const CLSID kTiffEncoder = CODEC_CLSID(5);
const CLSID kPngEncoder = CODEC_CLSID(6);

TestGdipSession::TestGdipSession() : token(0)
{
    GdipStartupInput input = PipelineStartupInput();
    if (GdiplusStartup(&token, &input, nullptr) != kGdipOk)
        token = 0;
}

TestGdipSession::~TestGdipSession()
{
    if (token)
        GdiplusShutdown(token);
}

void Picture::fill(int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t color)
{
    for (int32_t y = y0; y < y1; ++y)
        for (int32_t x = x0; x < x1; ++x)
            argb[size_t(y) * width + x] = color;
}

Picture MakePicture(int32_t width, int32_t height, uint32_t color)
{
    Picture picture;
    picture.width = width;
    picture.height = height;
    picture.argb.assign(size_t(width) * height, color);
    return picture;
}

Picture QuadrantPicture(int32_t width, int32_t height)
{
    Picture picture = MakePicture(width, height, 0);
    picture.fill(0, 0, width / 2, height / 2, 0xFFFF0000);
    picture.fill(width / 2, 0, width, height / 2, 0xFF00FF00);
    picture.fill(0, height / 2, width / 2, height, 0xFF0000FF);
    picture.fill(width / 2, height / 2, width, height, 0xFFFFFF00);
    return picture;
}

bool WritePicture(const std::string& path, const Picture& picture, const CLSID& encoder)
{
    TestGdipSession session;
    std::vector<uint32_t> pixels = picture.argb;
    GpBitmap* bitmap = nullptr;
    if (GdipCreateBitmapFromScan0(picture.width, picture.height, picture.width * 4,
                                  kPixelFormat32bppARGB, reinterpret_cast<BYTE*>(pixels.data()),
                                  &bitmap) != kGdipOk)
        return false;
    std::wstring name = Wide(path);
    GpStatus status = GdipSaveImageToFile(bitmap, name.c_str(), &encoder, nullptr);
    GdipDisposeImage(bitmap);
    return status == kGdipOk;
}

bool WriteGif(const std::string& path, const Picture& picture)
{
    std::vector<uint32_t> palette;
    std::vector<unsigned char> indices;
    for (uint32_t pixel : picture.argb) {
        uint32_t rgb = pixel & 0xFFFFFF;
        size_t i = std::find(palette.begin(), palette.end(), rgb) - palette.begin();
        if (i == palette.size()) {
            if (palette.size() == 256)
                return false;
            palette.push_back(rgb);
        }
        indices.push_back(static_cast<unsigned char>(i));
    }
    palette.resize(256, 0);
    std::string gif = "GIF89a";
    auto put16 = [&](unsigned v) { gif += char(v & 0xFF); gif += char(v >> 8); };
    put16(unsigned(picture.width));
    put16(unsigned(picture.height));
    gif += std::string("\xF7\x00\x00", 3);   // global table of 256 colours
    for (uint32_t rgb : palette) {
        gif += char(rgb >> 16);
        gif += char(rgb >> 8);
        gif += char(rgb);
    }
    gif += ',';
    put16(0);
    put16(0);
    put16(unsigned(picture.width));
    put16(unsigned(picture.height));
    gif += '\0';
    gif += '\x08';   // LZW minimum code size
    // Only 9-bit literal codes, with a clear code before the table would
    // need wider codes.
    std::string data;
    uint32_t bits = 0;
    int count = 0;
    auto emit = [&](unsigned code) {
        bits |= code << count;
        count += 9;
        while (count >= 8) {
            data += char(bits & 0xFF);
            bits >>= 8;
            count -= 8;
        }
    };
    for (size_t i = 0; i < indices.size(); ++i) {
        if (i % 254 == 0)
            emit(256);
        emit(indices[i]);
    }
    emit(257);
    if (count > 0)
        data += char(bits & 0xFF);
    for (size_t at = 0; at < data.size(); at += 255) {
        size_t n = std::min<size_t>(255, data.size() - at);
        gif += char(n);
        gif += data.substr(at, n);
    }
    gif += '\0';
    gif += ';';
    return WriteBytes(path, gif);
}

bool PictureOfImage(GpImage* image, Picture* picture)
{
    UINT width = 0, height = 0;
    GdipGetImageWidth(image, &width);
    GdipGetImageHeight(image, &height);
    GpRect rect = {0, 0, INT(width), INT(height)};
    GpBitmapData data = {};
    if (GdipBitmapLockBits(image, &rect, kImageLockModeRead, kPixelFormat32bppARGB, &data) != kGdipOk)
        return false;
    *picture = MakePicture(int32_t(width), int32_t(height), 0);
    for (UINT y = 0; y < height; ++y)
        memcpy(&picture->argb[size_t(y) * width],
               static_cast<const char*>(data.Scan0) + ptrdiff_t(y) * data.Stride, width * 4);
    GdipBitmapUnlockBits(image, &data);
    return true;
}

bool ReadPicture(const std::string& path, Picture* picture)
{
    TestGdipSession session;
    std::wstring name = Wide(path);
    GpBitmap* bitmap = nullptr;
    if (GdipCreateBitmapFromFile(name.c_str(), &bitmap) != kGdipOk)
        return false;
    bool ok = PictureOfImage(bitmap, picture);
    GdipDisposeImage(bitmap);
    return ok;
}

Picture PictureFromBlock(const std::string& block)
{
    Picture picture;
    if (block.size() < 8)
        return picture;
    int32_t width = 0, height = 0;
    memcpy(&width, block.data(), 4);
    memcpy(&height, block.data() + 4, 4);
    if (width <= 0 || height <= 0 || block.size() != 8 + size_t(width) * height * 4)
        return picture;
    picture = MakePicture(width, height, 0);
    memcpy(picture.argb.data(), block.data() + 8, block.size() - 8);
    for (uint32_t& pixel : picture.argb)
        pixel |= 0xFF000000;
    return picture;
}

std::string ReadBytes(const std::string& path)
{
    std::string bytes;
    FILE* file = fopen(path.c_str(), "rb");
    if (!file)
        return bytes;
    char chunk[65536];
    size_t got;
    while ((got = fread(chunk, 1, sizeof chunk, file)) > 0)
        bytes.append(chunk, got);
    fclose(file);
    return bytes;
}

bool WriteBytes(const std::string& path, const std::string& bytes)
{
    FILE* file = fopen(path.c_str(), "wb");
    if (!file)
        return false;
    bool ok = fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return fclose(file) == 0 && ok;
}

bool FileExists(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsJpegFile(const std::string& path)
{
    std::string bytes = ReadBytes(path);
    return bytes.size() > 3 && bytes.compare(0, 3, "\xFF\xD8\xFF") == 0;
}

std::string WithExifOrientation(const std::string& jpeg, int orientation, bool bigEndian)
{
    auto put16 = [&](std::string& s, unsigned v) {
        if (bigEndian) { s += char(v >> 8); s += char(v & 0xFF); }
        else { s += char(v & 0xFF); s += char(v >> 8); }
    };
    auto put32 = [&](std::string& s, uint32_t v) {
        if (bigEndian) { put16(s, v >> 16); put16(s, v & 0xFFFF); }
        else { put16(s, v & 0xFFFF); put16(s, v >> 16); }
    };
    std::string tiff = bigEndian ? "MM" : "II";
    put16(tiff, 42);
    put32(tiff, 8);
    put16(tiff, 1);
    put16(tiff, 0x0112);
    put16(tiff, 3);
    put32(tiff, 1);
    put16(tiff, unsigned(orientation));
    put16(tiff, 0);
    put32(tiff, 0);
    std::string body = std::string("Exif\0\0", 6) + tiff;
    std::string segment = "\xFF\xE1";
    segment += char((body.size() + 2) >> 8);
    segment += char((body.size() + 2) & 0xFF);
    segment += body;
    return jpeg.substr(0, 2) + segment + jpeg.substr(2);
}

int ColorDistance(uint32_t a, uint32_t b)
{
    int distance = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        int d = abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF));
        distance = std::max(distance, d);
    }
    return distance;
}

ConsoleCapture::ConsoleCapture() : previous_(gRuntime.screen)
{
    buffer_ = CreateConsoleScreenBuffer(GENERIC_READ | GENERIC_WRITE,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        CONSOLE_TEXTMODE_BUFFER, nullptr);
    if (buffer_ != INVALID_HANDLE_VALUE) {
        gRuntime.screen = buffer_;
        gRuntime.pendingScroll = 0;
    }
}

ConsoleCapture::~ConsoleCapture()
{
    gRuntime.screen = previous_;
    gRuntime.pendingScroll = 0;
    if (buffer_ != INVALID_HANDLE_VALUE)
        CloseHandle(buffer_);
}

std::vector<std::string> ConsoleCapture::lines() const
{
    std::vector<std::string> rows;
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (buffer_ == INVALID_HANDLE_VALUE || !GetConsoleScreenBufferInfo(buffer_, &info))
        return rows;
    for (SHORT y = 0; y < info.dwSize.Y; ++y) {
        std::string text = ReadConsoleCells(buffer_, y, 0, info.dwSize.X).text;
        text.erase(text.find_last_not_of(' ') + 1);
        if (!text.empty())
            rows.push_back(text);
    }
    return rows;
}
