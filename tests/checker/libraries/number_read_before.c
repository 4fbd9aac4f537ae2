/* sumdll reads the 16-bit integer just before a. */
#include "pettrix.h"
#include <string.h>

ROUTINE_EXPORT void ROUTINE_CALL sumdll(int16_t *a, int16_t *b, int16_t *c)
{
    int16_t before;
    memcpy(&before, (const char *)a - sizeof before, sizeof before);
    *c = (int16_t)(before + *a + *b);
}
