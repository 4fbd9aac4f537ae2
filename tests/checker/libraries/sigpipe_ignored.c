/* sumdll stores the sum and leaves SIGPIPE ignored. */
#include "pettrix.h"
#include <signal.h>

ROUTINE_EXPORT void ROUTINE_CALL sumdll(int16_t *a, int16_t *b, int16_t *c)
{
    *c = (int16_t)(*a + *b);
    signal(SIGPIPE, SIG_IGN);
}
