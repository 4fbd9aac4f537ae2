/* A recording Pettrix for the teaching pages and Tolvan's window tests: sumdll keeps what it
   was given (recording.h), stores the sum as the sample Pettrix does unless told to leave c
   alone, and keeps the same bytes again. */
#include "recording.h"
#include "pettrix.h"

ROUTINE_EXPORT void ROUTINE_CALL sumdll(int16_t *a, int16_t *b, int16_t *c)
{
    Recording *call = recordingOfNewCall();
    recordingStart(call, "sumdll");
    recordingKeep(call, "a", VALUE_INT16, a, sizeof *a);
    recordingKeep(call, "b", VALUE_INT16, b, sizeof *b);
    recordingKeep(call, "c", VALUE_INT16, c, sizeof *c);

    /* Wrapped around as 16-bit two's-complement addition does. */
    if (!recordingLeavesStorageAlone())
        *c = (int16_t)(uint16_t)((uint16_t)*a + (uint16_t)*b);
    recordingKeepAfterCall(call);
}
