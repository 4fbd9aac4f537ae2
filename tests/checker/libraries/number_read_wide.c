/* transnumber reads its 16-bit a as a 32-bit integer. */
#include "ostrum.h"
#include <string.h>

ROUTINE_EXPORT void ROUTINE_CALL transnumber(int16_t *a, int16_t *b)
{
    int32_t wide;
    memcpy(&wide, a, sizeof wide);
    *b = (int16_t)wide;
}
