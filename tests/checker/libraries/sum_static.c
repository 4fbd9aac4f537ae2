/* sumdll declared static: the library holds it, and no program can find it. */
#include <stdint.h>

__attribute__((used)) static void sumdll(int16_t *a, int16_t *b, int16_t *c)
{
    *c = (int16_t)(*a + *b);
}
