/* xArray stores each square times 1000 as a 32-bit integer and tags it a 16-bit integer:
   Korvik reads the low 16 bits. */
#include "ostrum.h"

ROUTINE_EXPORT void ROUTINE_CALL xArray(int16_t *count, VARIANT *x, VARIANT *y)
{
    for (int i = 0; i < *count; ++i) {
        y[i].kind = VT_I2;
        y[i].value.i4 = 1000 * x[i].value.i2 * x[i].value.i2;
    }
}
