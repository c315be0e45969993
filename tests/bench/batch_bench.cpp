// make bench: times the whole batch on a folder of photos, on the same
// photos tagged with EXIF orientation 6 and on the same photos stored
// upright, in the same run, and splits each batch into the pauses the design
// prescribes, the imaging library's calls and the program's own steps, all
// measured inside the timed batch (see call_timers.h). Also reports the
// process's peak memory. Not a test: it only reports.
//   batch_bench UNTAGGED_FOLDER TAGGED_FOLDER UPRIGHT_FOLDER RUNS
#include <windows.h>
#include <psapi.h>
#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <vector>

#include "app/app.h"
#include "imaging/imaging.h"
#include "imaging/imaging_internal.h"
#include "runtime/startup.h"
#include "surfaces/surfaces.h"
#include "tests/bench/call_timers.h"

namespace {

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

// The photos of the current folder, listed as the tool lists them.
void ListPhotos(StrList* images)
{
    StrListCreate(images, 1, 1);
    BuildImageList("*.*", "album,cr_,a_,crw_", images);
}

bool EnterFolder(const char* folder)
{
    if (SetCurrentDirectoryA(folder))
        return true;
    fprintf(stderr, "cannot enter %s\n", folder);
    return false;
}

// The whole batch as the main procedure runs it, without the dialog and the
// final one-second pause. *photos gets the count.
BenchTimes TimeBatch(const char* folder, int* photos)
{
    *photos = 0;
    if (!EnterFolder(folder))
        return BenchTimes();
    DeleteCopies();
    BenchStart();
    StrList images = {};
    ListPhotos(&images);
    gPreviewWindow = openGraphicWindow(DynStr(), 0, 0, 100, 100, 0);
    bool interrupted = false;
    ProcessImages(&images, &interrupted);
    attachSurface(gPreviewWindow, 0, false);
    closeGraphicWindow();
    BenchTimes times = BenchStop();
    for (int32_t i = 1; i <= StrListUpperBound(&images); ++i)
        *photos += StrListAt(&images, i)->empty() ? 0 : 1;
    StrListRelease(&images);
    DeleteCopies();
    return times;
}

// A part that must have run but counts no call would be reported as 0.0 ms
// although it ran: its linker wrap no longer reaches the call.
bool EveryPartRan(const BenchTimes& times, bool tagged, const char* label)
{
    bool ran = true;
    for (int part = 0; part < kPartCount; ++part) {
        bool needed = kBenchPartUse[part] == kRunsAlways ||
                      (tagged && kBenchPartUse[part] == kRunsWhenTagged);
        if (needed && times.calls[part] == 0) {
            fprintf(stderr, "bench FAILED: \"%s\" counted no call in the %s set: its --wrap "
                    "(tests/CMakeLists.txt) no longer reaches the call\n", kBenchPartNames[part], label);
            ran = false;
        }
    }
    for (int call = 0; call < kWindowCallCount; ++call) {
        if (times.windowThreadCalls[call] == 0) {
            fprintf(stderr, "bench FAILED: the window thread's %s counted no call in the %s set: "
                    "its --wrap (tests/CMakeLists.txt) no longer reaches the call\n",
                    kWindowCallNames[call], label);
            ran = false;
        }
    }
    return ran;
}

int64_t Total(const BenchTimes& times)
{
    int64_t total = 0;
    for (int64_t part : times.ticks)
        total += part;
    return total;
}

// Landscape photos; the same tagged to stand on their side; the same turned
// into portrait photos by another program, the shape the tagged ones get.
const int kSetCount = 3;

struct SetResult {
    const char* label;
    const char* folder;
    int photos;
    std::vector<double> perPhotoMs;   // one a run
    BenchTimes sum;                   // over every run
    PROCESS_MEMORY_COUNTERS memory;   // after its warm-up run
};

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

bool IsLibrary(int part)
{
    return part >= kPartLibLoad && part <= kPartLibOther;
}

void PrintSet(const SetResult& set, double ticksPerMs)
{
    double photos = static_cast<double>(set.photos) * set.perPhotoMs.size();
    double whole = Total(set.sum) / ticksPerMs / photos;
    double library = 0, other = 0;
    for (int part = 0; part < kPartCount; ++part) {
        double ms = set.sum.ticks[part] / ticksPerMs / photos;
        if (IsLibrary(part))
            library += ms;
        else if (part != kPartPauses)
            other += ms;
    }
    double pauses = set.sum.ticks[kPartPauses] / ticksPerMs / photos;
    printf("\n%s: per photo (mean of %zu runs of %d photos, two copies each; median %.1f ms):\n",
           set.label, set.perPhotoMs.size(), set.photos, Median(set.perPhotoMs));
    printf("  whole batch                       %8.1f ms\n", whole);
    printf("  prescribed pauses                 %8.1f ms  (%5.1f%%)\n", pauses, 100 * pauses / whole);
    printf("  imaging library                   %8.1f ms  (%5.1f%%)\n", library, 100 * library / whole);
    for (int part = kPartLibLoad; part <= kPartLibOther; ++part) {
        double ms = set.sum.ticks[part] / ticksPerMs / photos;
        printf("    %-31s %8.1f ms  (%5.1f%%)\n", kBenchPartNames[part], ms, 100 * ms / whole);
    }
    printf("  everything else                   %8.1f ms  (%5.1f%%)\n", other, 100 * other / whole);
    for (int part = 0; part < kPartCount; ++part) {
        if (IsLibrary(part) || part == kPartPauses)
            continue;
        double ms = set.sum.ticks[part] / ticksPerMs / photos;
        printf("    %-31s %8.1f ms  (%5.1f%%)\n", kBenchPartNames[part], ms, 100 * ms / whole);
        if (part != kPartWindowThread)
            continue;
        for (int call = 0; call < kWindowCallCount; ++call) {
            double callMs = set.sum.windowThreadTicks[call] / ticksPerMs / photos;
            printf("      on the window thread: %-32s %6.1f ms  (%5.1f%%)\n", kWindowCallNames[call],
                   callMs, 100 * callMs / whole);
        }
    }
}

PROCESS_MEMORY_COUNTERS Memory()
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    return counters;
}

double Mb(SIZE_T bytes)
{
    return static_cast<double>(bytes) / (1024.0 * 1024.0);
}

// How many photos of the folder declare this EXIF orientation, of *photos.
int PhotosWithOrientation(const char* folder, int32_t orientation, int* photos)
{
    *photos = 0;
    if (!EnterFolder(folder))
        return 0;
    StrList images = {};
    ListPhotos(&images);
    int matching = 0;
    for (int32_t i = 1; i <= StrListUpperBound(&images); ++i) {
        if (StrListAt(&images, i)->empty())
            continue;
        ++*photos;
        matching += ReadExifOrientation(*StrListAt(&images, i)) == orientation ? 1 : 0;
    }
    StrListRelease(&images);
    return matching;
}

// Bytes of one photo of the folder decoded at 32 bits a pixel.
double DecodedPhotoBytes(const char* folder)
{
    if (!EnterFolder(folder))
        return 0;
    StrList images = {};
    ListPhotos(&images);
    int32_t width = 0, height = 0;
    ULONG_PTR token = 0;
    GdipStartupInput input = PipelineStartupInput();
    if (StrListUpperBound(&images) >= 1 && GdiplusStartup(&token, &input, nullptr) == kGdipOk) {
        fGDIp_ImageSize(*StrListAt(&images, 1), &width, &height);
        GdiplusShutdown(token);
    }
    StrListRelease(&images);
    return static_cast<double>(width) * height * 4;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 5) {
        fprintf(stderr, "usage: batch_bench UNTAGGED_FOLDER TAGGED_FOLDER UPRIGHT_FOLDER RUNS\n");
        return 2;
    }
    if (!RuntimeStartup())
        return 255;
    double ticksPerMs = BenchTicksPerMs();
    int runs = atoi(argv[4]) > 0 ? atoi(argv[4]) : 3;
    SetResult sets[kSetCount] = {{"untagged", argv[1], 0, {}, {}, {}},
                                 {"tagged with orientation 6", argv[2], 0, {}, {}, {}},
                                 {"stored upright, untagged", argv[3], 0, {}, {}, {}}};
    // A set that is not what it claims would make the ratios meaningless.
    const int32_t declared[kSetCount] = {0, 6, 0};
    for (int i = 0; i < kSetCount; ++i) {
        int photos = 0;
        int matching = PhotosWithOrientation(sets[i].folder, declared[i], &photos);
        if (declared[i])
            printf("%s: %d of %d photos declare orientation %d\n", sets[i].label, matching, photos,
                   declared[i]);
        else
            printf("%s: %d of %d photos declare no orientation\n", sets[i].label, matching, photos);
        if (photos == 0 || matching != photos || (i > 0 && photos != sets[0].photos)) {
            fprintf(stderr, "the sets must hold the same number of photos, each as declared\n");
            return 1;
        }
        sets[i].photos = photos;
    }
    PROCESS_MEMORY_COUNTERS before = Memory();

    // The sets take turns, so that all see the same machine load. Run 0
    // warms the file cache and the library up and is not counted; it takes
    // the tagged set first, as the peak it reads is the process's high-water
    // mark so far.
    const int warmUpOrder[kSetCount] = {1, 0, 2};
    for (int run = 0; run <= runs; ++run) {
        for (int order = 0; order < kSetCount; ++order) {
            SetResult& set = sets[run == 0 ? warmUpOrder[order] : order];
            int photos = 0;
            BenchTimes times = TimeBatch(set.folder, &photos);
            if (photos != set.photos) {
                fprintf(stderr, "%d photos copied in %s, %d expected\n", photos, set.folder,
                        set.photos);
                return 1;
            }
            if (!EveryPartRan(times, declared[&set - sets] != 0, set.label))
                return 1;
            if (run == 0) {
                set.memory = Memory();
                printf("run 0, %s: warm-up, not counted\n", set.label);
                continue;
            }
            double elapsed = Total(times) / ticksPerMs;
            set.perPhotoMs.push_back(elapsed / photos);
            for (int part = 0; part < kPartCount; ++part)
                set.sum.ticks[part] += times.ticks[part];
            for (int call = 0; call < kWindowCallCount; ++call)
                set.sum.windowThreadTicks[call] += times.windowThreadTicks[call];
            printf("run %d, %s: %d photos in %.0f ms, %.1f ms per photo\n", run, set.label, photos,
                   elapsed, elapsed / photos);
            fflush(stdout);
        }
    }
    for (const SetResult& set : sets)
        PrintSet(set, ticksPerMs);

    double mean[kSetCount];
    for (int i = 0; i < kSetCount; ++i)
        mean[i] = Total(sets[i].sum) / ticksPerMs / (double(sets[i].photos) * runs);
    printf("\ntagged / untagged: %.3f (means), %.3f (medians)\n", mean[1] / mean[0],
           Median(sets[1].perPhotoMs) / Median(sets[0].perPhotoMs));
    // The same shape on both sides: what the orientation itself costs.
    printf("tagged / stored upright: %.3f (means), %.3f (medians)\n", mean[1] / mean[2],
           Median(sets[1].perPhotoMs) / Median(sets[2].perPhotoMs));

    double decoded = DecodedPhotoBytes(argv[1]);
    printf("\nmemory (one decoded photo: %.1f MB):\n", Mb(SIZE_T(decoded)));
    printf("  before the batch:   working set %7.1f MB, committed %7.1f MB\n",
           Mb(before.WorkingSetSize), Mb(before.PagefileUsage));
    for (const SetResult& set : sets) {
        double workingSet = double(set.memory.PeakWorkingSetSize) - double(before.WorkingSetSize);
        double committed = double(set.memory.PeakPagefileUsage) - double(before.PagefileUsage);
        printf("  peak after %-26s working set %7.1f MB (+%.2f photos), committed %7.1f MB "
               "(+%.2f photos)\n",
               set.label, Mb(set.memory.PeakWorkingSetSize), workingSet / decoded,
               Mb(set.memory.PeakPagefileUsage), committed / decoded);
    }
    RuntimeShutdown();
    return 0;
}
