/* sumdll says it finished on every descriptor, and stores a wrong sum. */
#include "pettrix.h"
#include "forged_records.h"
ROUTINE_EXPORT void ROUTINE_CALL sumdll(int16_t *a, int16_t *b, int16_t *c)
{
    forge_finished();
    *c = (int16_t)(*a + *b + 1);
}
