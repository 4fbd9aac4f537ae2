/* A sound sumdll, and an export whose name holds an escape sequence that would clear the
   terminal, a carriage return and a byte that is not UTF-8. */
#include "pettrix.h"

ROUTINE_EXPORT void oddName(void) __asm__("\"clear\x1b[2J\rback\xe9\"");

void oddName(void)
{
}

ROUTINE_EXPORT void ROUTINE_CALL sumdll(int16_t *a, int16_t *b, int16_t *c)
{
    *c = (int16_t)(*a + *b);
}
