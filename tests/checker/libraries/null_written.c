/* sumdll stores the sum through a pointer it never set. */
#include "pettrix.h"

#include <stddef.h>

static int16_t *volatile sum = NULL;

ROUTINE_EXPORT void ROUTINE_CALL sumdll(int16_t *a, int16_t *b, int16_t *c)
{
    (void)c;
    *sum = (int16_t)(*a + *b);
}
