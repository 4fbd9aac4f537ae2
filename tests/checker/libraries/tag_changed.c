/* zArray takes the reference off its Variant's tag. */
#include "ostrum.h"

ROUTINE_EXPORT void ROUTINE_CALL zArray(VARIANT *array)
{
    array->kind &= (VARTYPE)~VT_BYREF;
}
