/* transnumber reads 20000 elements before a: 40000 bytes before its start. */
#include "ostrum.h"

ROUTINE_EXPORT void ROUTINE_CALL transnumber(int16_t *a, int16_t *b)
{
    volatile int16_t *from = a;
    *b = from[-20000];
}
