/* sumdll stores its sum through a null address, and crashes. */
#include "pettrix.h"
#include <stddef.h>

ROUTINE_EXPORT void ROUTINE_CALL sumdll(int16_t *a, int16_t *b, int16_t *c)
{
    volatile int16_t *volatile nowhere = NULL;
    (void)c;
    *nowhere = (int16_t)(*a + *b);
}
