/* transnumber follows a null address; yArray, checked after it, is sound. */
#include "ostrum.h"
#include <stddef.h>

ROUTINE_EXPORT void ROUTINE_CALL transnumber(int16_t *a, int16_t *b)
{
    volatile int16_t *volatile nowhere = NULL;
    *a = *nowhere;
    (void)b;
}

ROUTINE_EXPORT void ROUTINE_CALL yArray(int16_t *count, SAFEARRAY **array)
{
    (void)count, (void)array;
}
