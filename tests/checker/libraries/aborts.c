/* yArray gives up. */
#include "ostrum.h"
#include <stdlib.h>

ROUTINE_EXPORT void ROUTINE_CALL yArray(int16_t *count, SAFEARRAY **array)
{
    (void)count, (void)array;
    abort();
}
