/* sumdll stores the sum and leaves a process behind in a session of its own, out of the
   caller's process group, which never writes and waits: as a daemon started by hand does. */
#include "pettrix.h"
#include <unistd.h>
ROUTINE_EXPORT void ROUTINE_CALL sumdll(int16_t *a, int16_t *b, int16_t *c)
{
    *c = (int16_t)(*a + *b);
    if (fork() == 0) {
        setsid();
        if (fork() == 0)
            sleep(30);
        _exit(0);
    }
}
