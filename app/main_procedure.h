// The batch driver's main procedure: the whole run of the tool.
#pragma once
#include <windows.h>
#include <stdint.h>

// The arguments are the classic entry-point four; the tool uses none of them.
int32_t MainProcedure(HINSTANCE instance, HINSTANCE previous, const char* commandTail,
                      int32_t showCommand);
