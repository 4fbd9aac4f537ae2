/* sumdll stores the sum, then starts four processes and with them fills 1 GiB of memory in
   each of the five, and waits: each stays within a routine's address space, all together they
   hold more than the sandbox's 4 GiB. */
#define _GNU_SOURCE
#include "pettrix.h"
#include <sys/mman.h>
#include <unistd.h>
ROUTINE_EXPORT void ROUTINE_CALL sumdll(int16_t *a, int16_t *b, int16_t *c)
{
    *c = (int16_t)(*a + *b);
    for (int started = 0; started < 4; ++started)
        if (fork() == 0)
            break;
    /* Made and filled at once, in one call, as fast as the machine can. */
    (void)mmap(NULL, (size_t)1 << 30, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
    for (;;)
        pause();
}
