/* A recording Pettrix for the teaching pages and Tolvan's window tests: sumdll keeps what it
   was given (recording.h), and then stores the sum into c as Pettrix does, unless told to leave
   c alone. */
#include "recording.h"
#include "pettrix.h"

ROUTINE_EXPORT void ROUTINE_CALL sumdll(int16_t *a, int16_t *b, int16_t *c)
{
    Recording *call = recordingOfNewCall();
    recordingStart(call, "sumdll");
    recordingKeep(call, "a", REGION_INT16, a, sizeof *a);
    recordingKeep(call, "b", REGION_INT16, b, sizeof *b);
    recordingKeep(call, "c", REGION_INT16, c, sizeof *c);

    /* A sum outside 16 bits leaves c alone too: no test asks the double for one. */
    const int32_t sum = (int32_t)*a + (int32_t)*b;
    if (!recordingLeavesStorageAlone() && sum >= INT16_MIN && sum <= INT16_MAX)
        *c = (int16_t)sum;
}
