// Saves one copy under the same name again and again, as a second instance
// of the tool on the same folder would, from the moment the test says go:
//   save_race_probe FOLDER GO_EVENT READY_SEMAPHORE SAVES
// Exit code: how many saves failed (255 when it could not start).
#include <stdio.h>
#include <stdlib.h>

#include <vector>

#include "imaging/imaging.h"
#include "runtime/startup.h"
#include "tests/imaging/imaging_fixtures.h"

int main(int argc, char** argv)
{
    if (argc != 5 || !RuntimeStartup() || !SetCurrentDirectoryA(argv[1]))
        return 255;
    HANDLE go = OpenEventA(SYNCHRONIZE, FALSE, argv[2]);
    HANDLE ready = OpenSemaphoreA(SEMAPHORE_MODIFY_STATE, FALSE, argv[3]);
    ULONG_PTR token = fGDIp_Startup();
    const int width = 300, height = 225;
    std::vector<uint32_t> pixels(width * height);
    for (int i = 0; i < width * height; ++i)
        pixels[i] = 0xFF000000u | uint32_t(i % width) << 16 | uint32_t(i / width) << 8;
    GpBitmap* image = nullptr;
    if (!go || !ready || !token ||
        GdipCreateBitmapFromScan0(width, height, width * 4, kPixelFormat32bppARGB,
                                  reinterpret_cast<BYTE*>(pixels.data()), &image) != kGdipOk)
        return 255;
    ReleaseSemaphore(ready, 1, nullptr);
    WaitForSingleObject(go, 60000);
    int failures = 0;
    for (int save = 0; save < atoi(argv[4]); ++save) {
        int32_t status = fGDIp_SaveImage(DynStr("CR_SAME.JPG"), image);
        if (status != kGdipOk) {
            printf("save %d: status %d\n", save, status);
            ++failures;
        }
    }
    GdipDisposeImage(image);
    fGDIp_Shutdown(token);
    CloseHandle(go);
    CloseHandle(ready);
    RuntimeShutdown();
    return failures;
}
