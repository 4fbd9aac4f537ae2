/* zArray empties the array variable its Variant refers to. */
#include "ostrum.h"
#include <stddef.h>

ROUTINE_EXPORT void ROUTINE_CALL zArray(VARIANT *array)
{
    *array->value.arrayRef = NULL;
}
