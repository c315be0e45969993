// make bench: times the whole batch on a folder of photos and splits the time
// into the pauses the design prescribes, the imaging library's own work and
// the rest (the program's own overhead). Not a test: it only reports.
//   batch_bench FOLDER RUNS
#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <vector>

#include "app/app.h"
#include "imaging/imaging.h"
#include "imaging/imaging_internal.h"
#include "runtime/runtime_state.h"
#include "surfaces/surfaces.h"

namespace {

double gTicksPerMs;

double NowMs()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / gTicksPerMs;
}

void DeleteCopies()
{
    for (const char* pattern : {"cr_*", "a_*"}) {
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA(pattern, &found);
        if (search == INVALID_HANDLE_VALUE)
            continue;
        do
            DeleteFileA(found.cFileName);
        while (FindNextFileA(search, &found));
        FindClose(search);
    }
}

// The whole batch as the main procedure runs it, without the dialog and the
// final one-second pause. Returns milliseconds; *photos gets the count.
double TimeBatch(int* photos)
{
    DeleteCopies();
    double start = NowMs();
    StrList images = {};
    StrListCreate(&images, 1, 1);
    BuildImageList("*.*", "album,cr_,a_,crw_", &images);
    gPreviewWindow = openGraphicWindow(DynStr(), 0, 0, 100, 100, 0);
    ProcessImages(&images);
    attachSurface(gPreviewWindow, 0, false);
    closeGraphicWindow();
    double elapsed = NowMs() - start;
    *photos = 0;
    for (int32_t i = 1; i <= StrListUpperBound(&images); ++i)
        *photos += StrListAt(&images, i)->empty() ? 0 : 1;
    StrListRelease(&images);
    return elapsed;
}

// The library calls one copy costs, replayed alone: a session for the
// reduction (load for the size, load and draw), one for the save.
double TimeLibraryForCopy(const DynStr& fileName, int32_t sizeMode, const CLSID& jpeg)
{
    double spent = 0;
    DynStr wide = WideFileName(fileName);
    const WCHAR* name = reinterpret_cast<const WCHAR*>(wide.bytes());
    GdipStartupInput input = PipelineStartupInput();
    ULONG_PTR token = 0;

    double start = NowMs();
    GdiplusStartup(&token, &input, nullptr);
    GpImage* image = nullptr;
    UINT photoWidth = 0, photoHeight = 0;
    GdipLoadImageFromFile(name, &image);
    GdipGetImageWidth(image, &photoWidth);
    GdipGetImageHeight(image, &photoHeight);
    GdipDisposeImage(image);
    spent += NowMs() - start;

    int32_t width = 0, height = 0;
    ReducedCopySize(static_cast<int32_t>(photoWidth), static_cast<int32_t>(photoHeight), sizeMode,
                    &width, &height);
    HDC screen = GetDC(nullptr);
    HDC canvas = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ previous = SelectObject(canvas, bitmap);
    ReleaseDC(nullptr, screen);

    start = NowMs();
    GpGraphics* graphics = nullptr;
    GdipLoadImageFromFile(name, &image);
    GdipCreateFromHDC(canvas, &graphics);
    GdipDrawImageRectI(graphics, image, 0, 0, width, height);
    GdipDeleteGraphics(graphics);
    GdipDisposeImage(image);
    GdiplusShutdown(token);

    GdiplusStartup(&token, &input, nullptr);
    GpBitmap* copy = nullptr;
    GdipCreateBitmapFromHBITMAP(bitmap, nullptr, &copy);
    GdipSaveImageToFile(copy, L"bench_copy.jpg", &jpeg, nullptr);
    GdipDisposeImage(copy);
    GdiplusShutdown(token);
    spent += NowMs() - start;

    SelectObject(canvas, previous);
    DeleteObject(bitmap);
    DeleteDC(canvas);
    DeleteFileA("bench_copy.jpg");
    return spent;
}

double TimeLibrary(const std::vector<DynStr>& photos)
{
    CLSID jpeg = {};
    GdipStartupInput input = PipelineStartupInput();
    ULONG_PTR token = 0;
    GdiplusStartup(&token, &input, nullptr);
    fGDIp_EncoderClsid("image/jpeg", &jpeg);
    GdiplusShutdown(token);
    double total = 0;
    for (const DynStr& photo : photos)
        total += TimeLibraryForCopy(photo, 1, jpeg) + TimeLibraryForCopy(photo, 0, jpeg);
    return total;
}

// What the prescribed pauses really take here: per copy the 40 ms after a
// window opens and the 10 ms before its save.
double TimePausesPerCopy()
{
    double start = NowMs();
    for (int i = 0; i < 20; ++i) {
        Sleep(40);
        Sleep(10);
    }
    return (NowMs() - start) / 20;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        fprintf(stderr, "usage: batch_bench FOLDER RUNS\n");
        return 2;
    }
    if (!RuntimeStartup())
        return 255;
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    gTicksPerMs = static_cast<double>(frequency.QuadPart) / 1000.0;
    if (!SetCurrentDirectoryA(argv[1])) {
        fprintf(stderr, "cannot enter %s\n", argv[1]);
        return 1;
    }
    int runs = atoi(argv[2]) > 0 ? atoi(argv[2]) : 3;

    std::vector<double> batchPerPhoto;
    int photoCount = 0;
    for (int run = 1; run <= runs; ++run) {
        double elapsed = TimeBatch(&photoCount);
        if (photoCount == 0) {
            fprintf(stderr, "no photos in %s\n", argv[1]);
            return 1;
        }
        batchPerPhoto.push_back(elapsed / photoCount);
        printf("run %d: %d photos in %.0f ms, %.1f ms per photo\n", run, photoCount, elapsed,
               elapsed / photoCount);
        fflush(stdout);
    }

    StrList images = {};
    StrListCreate(&images, 1, 1);
    BuildImageList("*.*", "album,cr_,a_,crw_", &images);
    std::vector<DynStr> photos;
    for (int32_t i = 1; i <= StrListUpperBound(&images); ++i)
        photos.push_back(*StrListAt(&images, i));
    StrListRelease(&images);
    std::vector<double> libraryPerPhoto;
    for (int run = 1; run <= runs; ++run)
        libraryPerPhoto.push_back(TimeLibrary(photos) / photos.size());
    DeleteCopies();

    double batch = Median(batchPerPhoto);
    double library = Median(libraryPerPhoto);
    double pauses = 2 * TimePausesPerCopy();
    double other = batch - library - pauses;
    printf("\nper photo (median of %d runs, %d photos, two copies each):\n", runs, photoCount);
    printf("  whole batch          %8.1f ms\n", batch);
    printf("  prescribed pauses    %8.1f ms  (%4.1f%%; 2 x (40 + 10) ms by design)\n", pauses,
           100 * pauses / batch);
    printf("  imaging library      %8.1f ms  (%4.1f%%; load for size, load and draw, save)\n",
           library, 100 * library / batch);
    printf("  everything else      %8.1f ms  (%4.1f%%; windows, surfaces, capture, console)\n",
           other, 100 * other / batch);
    RuntimeShutdown();
    return 0;
}
