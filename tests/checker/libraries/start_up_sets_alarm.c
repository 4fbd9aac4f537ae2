/* The library's start-up code sets an alarm, which ends the program that loaded it. */
#include "pettrix.h"
#include <unistd.h>

__attribute__((constructor)) static void startUp(void)
{
    alarm(5);
}

ROUTINE_EXPORT void ROUTINE_CALL sumdll(int16_t *a, int16_t *b, int16_t *c)
{
    *c = (int16_t)(*a + *b);
}
