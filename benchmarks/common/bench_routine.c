/* The routine the binding benchmark calls: three 16-bit integers by address. */
#include "routine_abi.h"

ROUTINE_EXPORT void ROUTINE_CALL benchAdd(int16_t *a, int16_t *b, int16_t *sum)
{
    *sum = (int16_t)(*a + *b);
}
