/* The library's start-up code ends the process. */
#include "pettrix.h"
#include <stdlib.h>

__attribute__((constructor)) static void startUp(void)
{
    exit(3);
}

ROUTINE_EXPORT void ROUTINE_CALL sumdll(int16_t *a, int16_t *b, int16_t *c)
{
    *c = (int16_t)(*a + *b);
}
