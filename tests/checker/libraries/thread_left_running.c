/* sumdll stores the sum and leaves a thread spinning. */
#include "pettrix.h"
#include <pthread.h>

static void *spin(void *unused)
{
    for (;;)
        __asm__ volatile("" ::: "memory");
    return unused;
}

ROUTINE_EXPORT void ROUTINE_CALL sumdll(int16_t *a, int16_t *b, int16_t *c)
{
    pthread_t thread;
    *c = (int16_t)(*a + *b);
    if (pthread_create(&thread, NULL, spin, NULL) == 0)
        pthread_detach(thread);
}
