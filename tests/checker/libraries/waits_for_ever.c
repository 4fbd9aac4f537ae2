/* sumdll waits for a signal that never comes, using no processor time. */
#include "pettrix.h"
#include <unistd.h>

ROUTINE_EXPORT void ROUTINE_CALL sumdll(int16_t *a, int16_t *b, int16_t *c)
{
    for (;;)
        pause();
    *c = (int16_t)(*a + *b);
}
