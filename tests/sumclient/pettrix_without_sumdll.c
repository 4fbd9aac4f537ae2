/* A Pettrix that loads but holds no routine named sumdll: a name that differs only in case
   does not count. */
#include "routine_abi.h"

ROUTINE_EXPORT void ROUTINE_CALL SUMDLL(int16_t *a, int16_t *b, int16_t *c)
{
    *c = (int16_t)(*a < *b ? *a : *b);
}
