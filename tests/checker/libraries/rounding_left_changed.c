/* square rounds toward zero and leaves it so. */
#include "ostrum.h"
#include <fenv.h>

ROUTINE_EXPORT float ROUTINE_CALL square(float *x)
{
    fesetround(FE_TOWARDZERO);
    return *x * *x;
}
