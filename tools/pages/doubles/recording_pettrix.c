/* A recording Pettrix for the teaching pages: sumdll keeps what it was given (recording.h),
   stores the sum as the sample Pettrix does, and keeps the same bytes again. */
#include "latest_call.h"
#include "pettrix.h"

ROUTINE_EXPORT void ROUTINE_CALL sumdll(int16_t *a, int16_t *b, int16_t *c)
{
    recordingStart(&latestCall, "sumdll");
    recordingKeep(&latestCall, "a", REGION_INT16, a, sizeof *a);
    recordingKeep(&latestCall, "b", REGION_INT16, b, sizeof *b);
    recordingKeep(&latestCall, "c", REGION_INT16, c, sizeof *c);

    /* Wrapped around as 16-bit two's-complement addition does. */
    *c = (int16_t)(uint16_t)((uint16_t)*a + (uint16_t)*b);
    recordingKeepAfterCall(&latestCall);
}
