/* Ostrum's routines say they finished on every descriptor, then do wrong: yArray changes its
   descriptor's element count, zArray takes the reference off its Variant's tag, and square
   gives x + 1. */
#include "ostrum.h"
#include "forged_records.h"

ROUTINE_EXPORT void ROUTINE_CALL yArray(int16_t *count, SAFEARRAY **array)
{
    (void)count;
    forge_finished();
    (*array)->bounds[0].elementCount = 3;
}

ROUTINE_EXPORT void ROUTINE_CALL zArray(VARIANT *array)
{
    forge_finished();
    array->kind &= (VARTYPE)~VT_BYREF;
}

ROUTINE_EXPORT float ROUTINE_CALL square(float *x)
{
    forge_finished();
    return *x + 1;
}
