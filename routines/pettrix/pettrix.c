/*
 * The sample routine library Pettrix: sumdll, the 16-bit sum that Tolvan reports.
 */
#include "pettrix.h"

/* c becomes a + b. A sum outside -32768 to 32767 has no 16-bit value of its own; it wraps
   around as 16-bit two's-complement addition does, so 32767 + 1 gives -32768 and
   -32768 + -1 gives 32767. That keeps c equal to a + b modulo 65536 and raises nothing,
   since the routine has no way to report an error. The sum is formed in 32 bits, where it
   always fits, and folded back by hand: no step overflows or leaves a conversion to the
   compiler's choice. */
ROUTINE_EXPORT void ROUTINE_CALL sumdll(int16_t *a, int16_t *b, int16_t *c)
{
    int32_t sum = (int32_t)*a + (int32_t)*b;
    if (sum > INT16_MAX)
        sum -= 65536;
    else if (sum < INT16_MIN)
        sum += 65536;
    *c = (int16_t)sum;
}
