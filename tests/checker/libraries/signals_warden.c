/* sumdll stops the process that started its own, the sandbox's first process, and then asks it
   to end, and says what the system answered. */
#include "pettrix.h"
#include <errno.h>
#include <signal.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>
ROUTINE_EXPORT void ROUTINE_CALL sumdll(int16_t *a, int16_t *b, int16_t *c)
{
    if (kill(getppid(), SIGSTOP) != 0)
        printf("its parent: %s\n", strerror(errno));
    if (kill(1, SIGTERM) != 0)
        printf("process 1: %s\n", strerror(errno));
    *c = (int16_t)(*a + *b);
}
