/* A sound sumdll that needs a tenth of a second of processor time for each call. */
#include "pettrix.h"
#include <time.h>

static long long processorNanoseconds(void)
{
    struct timespec now;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return (long long)now.tv_sec * 1000000000 + now.tv_nsec;
}

ROUTINE_EXPORT void ROUTINE_CALL sumdll(int16_t *a, int16_t *b, int16_t *c)
{
    const long long start = processorNanoseconds();
    while (processorNanoseconds() - start < 100000000) {
    }
    *c = (int16_t)(*a + *b);
}
