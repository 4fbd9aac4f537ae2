/* The routine is exported under another name than the one Tolvan calls. */
#include "pettrix.h"

ROUTINE_EXPORT void ROUTINE_CALL sumDll(int16_t *a, int16_t *b, int16_t *c)
{
    *c = (int16_t)(*a + *b);
}
