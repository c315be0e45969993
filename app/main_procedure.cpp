#include "app/main_procedure.h"

int32_t MainProcedure(HINSTANCE, HINSTANCE, const char*, int32_t)
{
    return 0;
}
