/* A routine library that loads but holds none of the routines a program asks for; beside a
   test program it stands under the name the program declares. */
#include "routine_abi.h"

ROUTINE_EXPORT int32_t ROUTINE_CALL unrelatedRoutine(void)
{
    return 0;
}
