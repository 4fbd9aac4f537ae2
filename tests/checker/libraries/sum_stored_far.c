/* sumdll stores its sum 2999 elements past c, 5998 bytes beyond its end: past a page, where
   the guard of the argument beside it would begin if guards were a page wide. */
#include "pettrix.h"

ROUTINE_EXPORT void ROUTINE_CALL sumdll(int16_t *a, int16_t *b, int16_t *c)
{
    c[2999] = (int16_t)(*a + *b);
}
