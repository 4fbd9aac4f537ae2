/* sumdll declares its arguments as (a, c, b): it stores the sum into Tolvan's b. */
#include <stdint.h>

__attribute__((visibility("default"))) void sumdll(int16_t *a, int16_t *c, int16_t *b)
{
    *c = (int16_t)(*a + *b);
}
