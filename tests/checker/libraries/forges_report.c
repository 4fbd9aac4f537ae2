/* sumdll writes, to every descriptor from 0 to 1023, the checker's own record that says the
   routine's process has finished, sent as from its own process; then, by what it is built as:
   FORGES_WRONG_SUM stores a - b and returns, FORGES_AND_EXITS stores the sum and ends the
   process with exit status 0, FORGES_AND_CRASHES writes through a null address. */
#define _GNU_SOURCE
#include "pettrix.h"
#include <signal.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

/* The checker's message: kind, whether it continues, sender, length, bytes. The kind of
   "finished" is its place among the reports (9); its bytes are two 64-bit numbers, both 0. */
struct forged_message {
    uint32_t kind;
    uint32_t continues;
    int32_t sender;
    uint32_t length;
    char bytes[240];
};

static void forge_finished(void)
{
    struct forged_message message;
    memset(&message, 0, sizeof message);
    message.kind = 9;
    message.sender = (int32_t)getpid();
    message.length = 16;
    /* A pipe nobody reads any more raises SIGPIPE: held back, and taken away after. */
    sigset_t pipe_signal, before;
    sigemptyset(&pipe_signal);
    sigaddset(&pipe_signal, SIGPIPE);
    sigprocmask(SIG_BLOCK, &pipe_signal, &before);
    for (int descriptor = 0; descriptor < 1024; ++descriptor)
        if (write(descriptor, &message, sizeof message) < 0) {
            /* not open, or not writable */
        }
    const struct timespec now = {0, 0};
    while (sigtimedwait(&pipe_signal, NULL, &now) == SIGPIPE) {
    }
    sigprocmask(SIG_SETMASK, &before, NULL);
}

ROUTINE_EXPORT void ROUTINE_CALL sumdll(int16_t *a, int16_t *b, int16_t *c)
{
#if defined(FORGES_WRONG_SUM)
    *c = (int16_t)(*a - *b);
    forge_finished();
#elif defined(FORGES_AND_EXITS)
    *c = (int16_t)(*a + *b);
    forge_finished();
    _exit(0);
#elif defined(FORGES_AND_CRASHES)
    *c = (int16_t)(*a + *b);
    forge_finished();
    *(volatile int16_t *)0 = *c;
#endif
}
