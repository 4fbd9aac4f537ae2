/* sumdll ends as a routine does that uses up its processor time: the system sends SIGXCPU at
   the limit, as it does here at once. */
#include "pettrix.h"
#include <signal.h>

ROUTINE_EXPORT void ROUTINE_CALL sumdll(int16_t *a, int16_t *b, int16_t *c)
{
    *c = (int16_t)(*a + *b);
    raise(SIGXCPU);
}
