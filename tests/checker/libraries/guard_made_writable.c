/* sumdll makes the page after c writable where c ends a page, and writes a byte there, 10
   bytes past c's end: the write faults nowhere, and only the guard's bytes show it. */
#include "pettrix.h"
#include <stdint.h>
#include <sys/mman.h>

ROUTINE_EXPORT void ROUTINE_CALL sumdll(int16_t *a, int16_t *b, int16_t *c)
{
    *c = (int16_t)(*a + *b);
    char *end = (char *)(c + 1);
    if ((uintptr_t)end % 4096 == 0 && mprotect(end, 4096, PROT_READ | PROT_WRITE) == 0)
        end[9] = 1;
}
