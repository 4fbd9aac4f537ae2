/* xArray counts its calls in a static variable and leaves that count in count. */
#include "ostrum.h"

ROUTINE_EXPORT void ROUTINE_CALL xArray(int16_t *count, VARIANT *x, VARIANT *y)
{
    static int16_t calls = 0;
    (void)x, (void)y;
    *count = ++calls;
}
