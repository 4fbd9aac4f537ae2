/* A sound sumdll that closes file descriptors 3 to 20 first. */
#include "pettrix.h"
#include <unistd.h>

ROUTINE_EXPORT void ROUTINE_CALL sumdll(int16_t *a, int16_t *b, int16_t *c)
{
    for (int descriptor = 3; descriptor <= 20; ++descriptor)
        close(descriptor);
    *c = (int16_t)(*a + *b);
}
