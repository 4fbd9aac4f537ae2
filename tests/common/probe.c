/* A routine library for the binding tests. PROBE_ORIGIN tells the copies apart. */
#include "routine_abi.h"

#include <errno.h>

ROUTINE_EXPORT int32_t ROUTINE_CALL probeOrigin(void)
{
    return PROBE_ORIGIN;
}

ROUTINE_EXPORT void ROUTINE_CALL probeSetLastError(int32_t *value)
{
    errno = *value;
}

ROUTINE_EXPORT void ROUTINE_CALL probeAdd(int16_t *a, int16_t *b, int16_t *sum)
{
    *sum = (int16_t)(*a + *b);
}
