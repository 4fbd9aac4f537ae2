/* Morvane's square rounds x in place before squaring it. */
#include "morvane.h"

ROUTINE_EXPORT int32_t ROUTINE_CALL square(double *n, double *x, double *y)
{
    (void)n;
    *x = (float)*x;
    *y = *x * *x;
    return 0;
}
