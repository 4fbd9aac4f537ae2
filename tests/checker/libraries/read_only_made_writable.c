/* sumdll makes the pages of a and b writable and writes into them, then stores the sum of what
   they held: the writes fault nowhere, and only their bytes show them. */
#include "pettrix.h"
#include <stdint.h>
#include <sys/mman.h>

static void make_writable(int16_t *number)
{
    uintptr_t page = (uintptr_t)number & ~(uintptr_t)4095;
    mprotect((void *)page, 4096, PROT_READ | PROT_WRITE);
}

ROUTINE_EXPORT void ROUTINE_CALL sumdll(int16_t *a, int16_t *b, int16_t *c)
{
    int16_t sum = (int16_t)(*a + *b);
    make_writable(a);
    make_writable(b);
    *a = 1;
    *b = 2;
    *c = sum;
}
