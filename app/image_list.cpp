// The image list: the names of the chosen folder that pass the two name tests.
#include "app/app.h"
#include "runtime/directory.h"

static const char kAcceptedExtensions[] = "pngbmpjpggif";

static bool HoldsSkipItem(const DynStr& name, StrList* skipItems)
{
    DynStr upperName = StrUpper(name);
    for (int32_t i = 1; i <= StrListUpperBound(skipItems); ++i) {
        if (StrFind(1, upperName, StrUpper(*StrListAt(skipItems, i))) > 0)
            return true;
    }
    return false;
}

// Both tests are text searches: any part of the extension text passes, and an
// empty second field (a name without a dot) is always found.
void BuildImageList(const DynStr& pattern, const DynStr& skipList, StrList* images)
{
    int32_t count = 0;
    DynStr name = DirFirst(pattern, 0);
    StrList skipItems = {};
    StrListCreate(&skipItems, 1, StrFieldCount(skipList, ","));
    StrSplitToList(skipList, &skipItems);
    while (!name.empty()) {
        if (!HoldsSkipItem(name, &skipItems)) {
            DynStr field = StrField(name, ".", 2);
            if (StrFind(1, kAcceptedExtensions, StrLower(field)) > 0) {
                ++count;
                StrListResize(images, 1, count);
                DynStr* element = StrListAt(images, count);
                if (element)
                    *element = name;
            }
        }
        name = DirNext();
    }
    StrListRelease(&skipItems);
}
