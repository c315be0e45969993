// The executable's entry: the run-time frame around the main procedure.
#include "app/main_procedure.h"
#include "runtime/startup.h"

int main()
{
    RuntimeProcessEntry(MainProcedure);
    return 0;
}
