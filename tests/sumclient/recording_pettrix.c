/* The recording stand-in for Pettrix. */
#include "recording_pettrix.h"
#include "pettrix.h"

static int32_t behaviour = RECORDING_STORES_SUM;
static int32_t callCount = 0;
static SumdllCall calls[RECORDING_PETTRIX_ROOM];

ROUTINE_EXPORT void ROUTINE_CALL sumdll(int16_t *a, int16_t *b, int16_t *c)
{
    if (callCount < RECORDING_PETTRIX_ROOM) {
        calls[callCount].a = *a;
        calls[callCount].b = *b;
        calls[callCount].cOnEntry = *c;
    }
    ++callCount;

    /* A sum outside 16 bits leaves c alone too: no test asks the stand-in for one. */
    int32_t sum = (int32_t)*a + (int32_t)*b;
    if (behaviour == RECORDING_STORES_SUM && sum >= INT16_MIN && sum <= INT16_MAX)
        *c = (int16_t)sum;
}

ROUTINE_EXPORT void recordingPettrixReset(int32_t newBehaviour)
{
    behaviour = newBehaviour;
    callCount = 0;
}

ROUTINE_EXPORT int32_t recordingPettrixCallCount(void)
{
    return callCount;
}

ROUTINE_EXPORT SumdllCall recordingPettrixCall(int32_t index)
{
    SumdllCall none = {0, 0, 0};
    return index >= 0 && index < callCount && index < RECORDING_PETTRIX_ROOM ? calls[index] : none;
}
