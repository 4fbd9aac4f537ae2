/* sumdll stores the sum and leaves an alarm set: the program would end a second later. */
#include "pettrix.h"
#include <unistd.h>

ROUTINE_EXPORT void ROUTINE_CALL sumdll(int16_t *a, int16_t *b, int16_t *c)
{
    *c = (int16_t)(*a + *b);
    alarm(1);
}
