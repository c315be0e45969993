// Names for linker wraps (--wrap, listed in tests/CMakeLists.txt) of system
// calls, which a program reaches through their import address slots: the
// wrap replaces the slot (__imp_Name, on 32-bit _imp__Name@ARGUMENT_BYTES)
// with a pointer variable of its own.
#pragma once

#ifdef _WIN64
#define IMPORT_SLOT(prefix, name, at) prefix "__imp_" #name
#else
#define IMPORT_SLOT(prefix, name, at) "_" prefix "_imp__" #name "@" #at
#endif
