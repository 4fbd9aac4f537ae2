/* A sound sumdll, and exports whose names hold an escape sequence, a carriage return and a
   byte that is not UTF-8. */
#include "pettrix.h"

ROUTINE_EXPORT void clearScreen(void) __asm__("\"clear\x1b[2Jscreen\"");
ROUTINE_EXPORT void returnAndOverwrite(void) __asm__("\"back\rover\"");
ROUTINE_EXPORT void notText(void) __asm__("\"latin\xe9\"");

void clearScreen(void)
{
}

void returnAndOverwrite(void)
{
}

void notText(void)
{
}

ROUTINE_EXPORT void ROUTINE_CALL sumdll(int16_t *a, int16_t *b, int16_t *c)
{
    *c = (int16_t)(*a + *b);
}
