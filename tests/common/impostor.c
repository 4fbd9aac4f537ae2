/* A routine library for the binding tests that exports data under the names of routines,
   beside one plain routine and one indirect routine. */
#include "routine_abi.h"

ROUTINE_EXPORT int32_t chara[4] = {1, 2, 3, 4};
ROUTINE_EXPORT const char square[] = "not code";
ROUTINE_EXPORT double transnumber;
ROUTINE_EXPORT _Thread_local int32_t yArray;

ROUTINE_EXPORT int32_t ROUTINE_CALL xArray(void)
{
    return 7;
}

/* An indirect routine: the loader asks the resolver which code the name stands for. */
typedef int32_t (*ZArrayCode)(void);

static int32_t zArrayCode(void)
{
    return 8;
}

static ZArrayCode resolveZArray(void)
{
    return zArrayCode;
}

ROUTINE_EXPORT int32_t zArray(void) __attribute__((ifunc("resolveZArray")));
