/* A library named Morvane that exports a routine, but not square. */
#include "routine_abi.h"

ROUTINE_EXPORT int32_t ROUTINE_CALL cube(double *n, double *x, double *y)
{
    (void)n;
    *y = *x * *x * *x;
    return 0;
}
