/* sumdll stores its sum as a 32-bit integer into the 16-bit c only where c starts a page of
   memory: there the checker places c in its second call, with bytes of its own after c and no
   guard, so only those bytes show the 2 bytes too many. */
#include "pettrix.h"
#include <stdint.h>
#include <string.h>

ROUTINE_EXPORT void ROUTINE_CALL sumdll(int16_t *a, int16_t *b, int16_t *c)
{
    int32_t sum = *a + *b;
    if ((uintptr_t)c % 4096 == 0)
        memcpy(c, &sum, sizeof sum);
    else
        *c = (int16_t)sum;
}
