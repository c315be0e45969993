// The imaging library's start-up and shutdown, its token kept in gGdipToken.
#include "imaging/imaging.h"

#include "imaging/gdiplus_flat.h"

ULONG_PTR gGdipToken = 0;

ULONG_PTR fGDIp_Startup()
{
    GdipStartupInput input = PipelineStartupInput();
    if (GdiplusStartup(&gGdipToken, &input, nullptr) != kGdipOk)
        return 0;
    return gGdipToken;
}

void fGDIp_Shutdown(ULONG_PTR token)
{
    if (token)
        GdiplusShutdown(token);
}
