/* A routine library that needs a routine whose name holds an escape sequence, which no library
   has: the loader refuses it and names the routine in its words. */
#include "routine_abi.h"

void missingRoutine(void) __asm__("\"missing\x1b[2Jname\"");

ROUTINE_EXPORT int32_t ROUTINE_CALL callsMissing(void)
{
    missingRoutine();
    return 0;
}
