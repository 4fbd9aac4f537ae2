/* sumdll takes address space in 64 MiB pieces until none is left, then writes through the
   null address an allocation gave back. */
#include "pettrix.h"
#include <stdlib.h>

ROUTINE_EXPORT void ROUTINE_CALL sumdll(int16_t *a, int16_t *b, int16_t *c)
{
    volatile char *piece;
    while ((piece = malloc((size_t)64 << 20)) != NULL)
        piece[0] = 1;
    piece[0] = (char)(*a + *b);
    (void)c;
}
