/* sumdll says it finished on every descriptor, then writes through a null address. */
#include "pettrix.h"
#include "forged_records.h"
ROUTINE_EXPORT void ROUTINE_CALL sumdll(int16_t *a, int16_t *b, int16_t *c)
{
    *c = (int16_t)(*a + *b);
    forge_finished();
    *(volatile int16_t *)0 = *c;
}
