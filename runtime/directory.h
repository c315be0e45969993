// Directory listing, one open search per thread, and the current directory.
#pragma once
#include <stdint.h>

#include "runtime/dynstr.h"

enum DirAttribute : uint32_t {
    kDirHidden = 2,
    kDirSystem = 4,
    kDirDirectory = 16,
    kDirOnly = 128,
};

// First name matching mask and the attribute set, or "" when there is none.
// An empty mask continues the open listing.
DynStr DirFirst(const DynStr& mask, uint32_t attributes);
DynStr DirNext();
// "" on failure, with the platform error recorded.
DynStr CurrentDirectory();
