// Pending files left by an earlier run that was ended while it wrote a copy.
#include "app/app.h"
#include "imaging/imaging.h"
#include "runtime/directory.h"

void RemoveStalePendingCopies()
{
    // The mask also matches a longer extension through a short name.
    for (DynStr name = DirFirst("*.tmp", 0); !name.empty(); name = DirNext()) {
        DynStr upper = StrUpper(name);
        bool ofACopy = StrFind(1, upper, "CR_") == 1 || StrFind(1, upper, "A_") == 1;
        if (ofACopy && IsLeftPendingName(name))
            DeleteFileA(name.bytes());
    }
}
