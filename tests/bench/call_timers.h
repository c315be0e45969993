// Time spent inside the batch, split by what was running: the bench is linked
// with --wrap for each library call and program step it splits out, so the
// product itself carries no timers. Each tick of the main thread is charged
// to exactly one part (the innermost wrapped call running), so the parts add
// up to the whole. Each part also counts the calls charged to it: a part
// that must have run and counts none has lost its wrap (the call no longer
// goes through the wrapped symbol), and the bench refuses to report a 0.
#pragma once
#include <stdint.h>

enum BenchPart {
    kPartLeft,           // nothing wrapped running: the per-image loop, lists, names
    kPartPauses,         // the 40 ms after a window opens, the 10 ms before a save
    kPartShortWaits,     // the program's own polls (Sleep of 0 to 2 ms)
    kPartLibLoad,
    kPartLibDraw,
    kPartLibSave,
    kPartLibSaveBitmap,  // the library image made from the copy's bitmap
    kPartLibSessions,
    kPartLibOther,       // sizes, disposal, graphics, encoder list
    kPartWindowClose,
    kPartWindowOpen,
    kPartWindowThread,   // creating the window thread and waiting for its window
    kPartCopyToWindow,
    kPartStamp,
    kPartCapture,
    kPartCanvas,         // the reduction's memory bitmap: made, cleared, ended
    kPartSaveBitmap,     // the save's bitmap: made, filled from the pixel block, ended
    kPartReductionOwn,   // ReduceImage, fGDIp_ImageSize and fGDIp_2hBMP themselves
    kPartTurnBitmap,     // a tagged photo's working block: kept, filled, written to the target
    kPartTurnOwn,        // the copy's pixels turned upright by the program
    kPartSaveOwn,        // SaveReducedCopy itself: names, rename
    kPartConsole,
    kPartCount
};

extern const char* const kBenchPartNames[kPartCount];

// Which batches each part must have run in.
enum PartUse { kMayNotRun, kRunsAlways, kRunsWhenTagged };
extern const PartUse kBenchPartUse[kPartCount];

// The prescribed window calls the window thread makes while the main thread
// waits for its window: what "window: thread start" is made of.
enum WindowCall { kCallCreateWindow, kCallSetWindowPos, kCallShowWindow, kWindowCallCount };
extern const char* const kWindowCallNames[kWindowCallCount];

struct BenchTimes {
    int64_t ticks[kPartCount];
    int64_t calls[kPartCount];
    int64_t windowThreadTicks[kWindowCallCount];
    int64_t windowThreadCalls[kWindowCallCount];
};

// Charges the calling (main) thread's time from here to BenchStop.
void BenchStart();
BenchTimes BenchStop();
double BenchTicksPerMs();
