/* yArray shortens the array it receives to the count it was given, less one. */
#include "ostrum.h"

ROUTINE_EXPORT void ROUTINE_CALL yArray(int16_t *count, SAFEARRAY **array)
{
    (*array)->bounds[0].elementCount = (uint32_t)(*count - 1);
}
