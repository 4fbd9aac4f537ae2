/* sumdll declared without ROUTINE_EXPORT in a library built with -fvisibility=hidden. */
#include <stdint.h>

void sumdll(int16_t *a, int16_t *b, int16_t *c)
{
    *c = (int16_t)(*a + *b);
}
