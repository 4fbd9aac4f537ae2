/* The library's start-up code says why and ends the process. */
#include "pettrix.h"
#include <stdio.h>
#include <stdlib.h>

__attribute__((constructor)) static void startUp(void)
{
    fprintf(stderr, "no licence found\n");
    exit(3);
}

ROUTINE_EXPORT void ROUTINE_CALL sumdll(int16_t *a, int16_t *b, int16_t *c)
{
    *c = (int16_t)(*a + *b);
}
