/* xArray takes y's first element for a reference and stores through the address it holds:
   an empty element holds a null. */
#include "ostrum.h"

ROUTINE_EXPORT void ROUTINE_CALL xArray(int16_t *count, VARIANT *x, VARIANT *y)
{
    (void)x;
    *y[0].value.r8Ref = (double)*count;
}
