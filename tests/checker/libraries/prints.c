/* A sound sumdll that prints what it does. */
#include "pettrix.h"
#include <stdio.h>

ROUTINE_EXPORT void ROUTINE_CALL sumdll(int16_t *a, int16_t *b, int16_t *c)
{
    *c = (int16_t)(*a + *b);
    printf("sumdll: %d + %d = %d\n", *a, *b, *c);
    fflush(stdout);
}
