/* sumdll stores the sum; at its first call it starts 300 processes one after another, each
   waited for before the next: never more than two at once, so never near the sandbox's bound. */
#include "pettrix.h"
#include <sys/wait.h>
#include <unistd.h>
ROUTINE_EXPORT void ROUTINE_CALL sumdll(int16_t *a, int16_t *b, int16_t *c)
{
    static int called = 0;
    for (int started = 0; !called && started < 300; ++started) {
        const pid_t child = fork();
        if (child == 0)
            _exit(0);
        if (child > 0)
            waitpid(child, NULL, 0);
    }
    called = 1;
    *c = (int16_t)(*a + *b);
}
