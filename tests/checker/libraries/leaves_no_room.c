/* sumdll stores the sum and keeps nearly all the address space it can get, leaving no room
   for the arguments of the next call. */
#include "pettrix.h"
#include <sys/mman.h>

ROUTINE_EXPORT void ROUTINE_CALL sumdll(int16_t *a, int16_t *b, int16_t *c)
{
    enum { block = 1 << 20, leftFree = 3 };
    void *last[leftFree] = {0};
    unsigned taken = 0;
    void *got;
    *c = (int16_t)(*a + *b);
    while ((got = mmap(0, block, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0)) != MAP_FAILED)
        last[taken++ % leftFree] = got;
    /* A few blocks back, for the small things a program allocates. */
    for (unsigned i = 0; i < leftFree && i < taken; ++i)
        munmap(last[i], block);
}
