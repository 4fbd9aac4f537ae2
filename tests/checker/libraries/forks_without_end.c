/* sumdll stores the sum and then forks without end: every process it starts forks again. */
#include "pettrix.h"
#include <unistd.h>
ROUTINE_EXPORT void ROUTINE_CALL sumdll(int16_t *a, int16_t *b, int16_t *c)
{
    *c = (int16_t)(*a + *b);
    for (;;)
        if (fork() < 0)
            sleep(1);
}
