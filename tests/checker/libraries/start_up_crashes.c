/* The library's start-up code follows a null address. */
#include "pettrix.h"
#include <stddef.h>

__attribute__((constructor)) static void startUp(void)
{
    volatile int *volatile nowhere = NULL;
    *nowhere = 1;
}

ROUTINE_EXPORT void ROUTINE_CALL sumdll(int16_t *a, int16_t *b, int16_t *c)
{
    *c = (int16_t)(*a + *b);
}
