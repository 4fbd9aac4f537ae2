/* sumdll stores the sum, and a thread it starts changes c again 50 ms after the return. */
#include "pettrix.h"
#include <pthread.h>
#include <time.h>

static void *writeLater(void *c)
{
    const struct timespec wait = {0, 50 * 1000 * 1000};
    nanosleep(&wait, NULL);
    *(volatile int16_t *)c = 99;
    return NULL;
}

ROUTINE_EXPORT void ROUTINE_CALL sumdll(int16_t *a, int16_t *b, int16_t *c)
{
    pthread_t thread;
    *c = (int16_t)(*a + *b);
    if (pthread_create(&thread, NULL, writeLater, c) == 0)
        pthread_detach(thread);
}
