/* sumdll stores its sum as a 32-bit integer into the 16-bit c. */
#include "pettrix.h"
#include <string.h>

ROUTINE_EXPORT void ROUTINE_CALL sumdll(int16_t *a, int16_t *b, int16_t *c)
{
    int32_t sum = *a + *b;
    memcpy(c, &sum, sizeof sum);
}
