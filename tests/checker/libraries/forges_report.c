/* sumdll writes, to every descriptor from 0 to 1023, the checker's own record that says the
   routine's process has finished, sent as from its own process; then, by what it is built as:
   FORGES_WRONG_SUM stores a - b and returns, FORGES_AND_EXITS stores the sum and ends the
   process with exit status 0, FORGES_AND_CRASHES writes through a null address; FORGES_NO_ROOM
   stores the sum, writes the checker's record that it found no room for the storage of c before
   the other, and ends the process with exit status 0. */
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

/* The record of `kind` with `length` bytes: the finished process (9; two numbers, 0), or no room
   for the storage (11; the error, the address space held, the argument's name). */
static void forge(uint32_t kind, const char *bytes, uint32_t length)
{
    struct forged_message message;
    memset(&message, 0, sizeof message);
    message.kind = kind;
    message.sender = (int32_t)getpid();
    message.length = length;
    memcpy(message.bytes, bytes, length);
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

static void forge_finished(void)
{
    const char none[16] = {0};
    forge(9, none, sizeof none);
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
#elif defined(FORGES_NO_ROOM)
    char no_room[17] = {12}; /* ENOMEM, no address space held, "c" */
    no_room[16] = 'c';
    *c = (int16_t)(*a + *b);
    forge(11, no_room, sizeof no_room);
    forge_finished();
    _exit(0);
#elif defined(FORGES_AND_CRASHES)
    *c = (int16_t)(*a + *b);
    forge_finished();
    *(volatile int16_t *)0 = *c;
#endif
}
