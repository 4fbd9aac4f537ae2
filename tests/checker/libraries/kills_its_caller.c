/* sumdll stores the sum and then ends the process that started the one it was called in. */
#include "pettrix.h"
#include <signal.h>
#include <unistd.h>
ROUTINE_EXPORT void ROUTINE_CALL sumdll(int16_t *a, int16_t *b, int16_t *c)
{
    *c = (int16_t)(*a + *b);
    kill(getppid(), SIGKILL);
}
