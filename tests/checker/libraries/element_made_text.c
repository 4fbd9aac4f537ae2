/* xArray tags element 3 of y as text without making a text. */
#include "ostrum.h"

ROUTINE_EXPORT void ROUTINE_CALL xArray(int16_t *count, VARIANT *x, VARIANT *y)
{
    (void)count, (void)x;
    y[2].kind = VT_BSTR;
}
