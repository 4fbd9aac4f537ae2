/* sumdll goes on in a process of its own, as daemon() does, and ends the one it was called in. */
#include "pettrix.h"
#include <unistd.h>

ROUTINE_EXPORT void ROUTINE_CALL sumdll(int16_t *a, int16_t *b, int16_t *c)
{
    if (daemon(1, 1) == 0)
        *c = (int16_t)(*a + *b);
}
