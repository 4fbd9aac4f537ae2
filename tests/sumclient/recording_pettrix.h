/*
 * recording_pettrix.h: a stand-in for Pettrix that keeps every call of sumdll, for Tolvan's
 * window tests. Besides sumdll it exports the functions below; the test program links the
 * very library file beside it that the window binds, so both reach the same record.
 */
#ifndef RECORDING_PETTRIX_H
#define RECORDING_PETTRIX_H

#include "routine_abi.h"

#ifdef __cplusplus
extern "C" {
#endif

/* What sumdll found behind its three addresses when it was called. */
typedef struct SumdllCall {
    int16_t a;
    int16_t b;
    int16_t cOnEntry;
} SumdllCall;

/* What sumdll does with c. */
enum {
    RECORDING_STORES_SUM = 0, /* c becomes a + b (the tests keep the sum within 16 bits) */
    RECORDING_LEAVES_C_ALONE = 1
};

/* Forgets every call and behaves as told from then on. */
ROUTINE_EXPORT void recordingPettrixReset(int32_t behaviour);

/* The number of calls since the last reset, and the call with index 0, 1, ... (the first
   RECORDING_PETTRIX_ROOM are kept). */
#define RECORDING_PETTRIX_ROOM 16
ROUTINE_EXPORT int32_t recordingPettrixCallCount(void);
ROUTINE_EXPORT SumdllCall recordingPettrixCall(int32_t index);

#ifdef __cplusplus
}
#endif

#endif /* RECORDING_PETTRIX_H */
