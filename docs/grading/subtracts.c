/* A student's sumdll that subtracts. */
#include "pettrix.h"

ROUTINE_EXPORT void ROUTINE_CALL sumdll(int16_t *a, int16_t *b, int16_t *c)
{
    *c = (int16_t)(*a - *b);
}
