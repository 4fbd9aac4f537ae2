/* sumdll ends the process it is called in. */
#include "pettrix.h"
#include <stdlib.h>

ROUTINE_EXPORT void ROUTINE_CALL sumdll(int16_t *a, int16_t *b, int16_t *c)
{
    (void)a, (void)b, (void)c;
    exit(0);
}
