/* sumdll keeps the address of c, and at its next call clears the c of the call before. */
#include "pettrix.h"
#include <stddef.h>

static int16_t *previous;

ROUTINE_EXPORT void ROUTINE_CALL sumdll(int16_t *a, int16_t *b, int16_t *c)
{
    if (previous != NULL)
        *previous = 0;
    *c = (int16_t)(*a + *b);
    previous = c;
}
