/* A recording Morvane for the teaching pages: square keeps what it was given (recording.h),
   stores the square as Morvane does, rounded once to a 32-bit real, and keeps the same bytes
   again. It writes no trace. */
#include "recording.h"
#include "morvane.h"

ROUTINE_EXPORT int32_t ROUTINE_CALL square(double *n, double *x, double *y)
{
    Recording *call = recordingOfNewCall();
    recordingStart(call, "square");
    recordingKeep(call, "n", VALUE_REAL64, n, sizeof *n);
    recordingKeep(call, "x", VALUE_REAL64, x, sizeof *x);
    recordingKeep(call, "y", VALUE_REAL64, y, sizeof *y);

    *y = (double)(float)(*x * *x);
    recordingKeepAfterCall(call);
    return 0;
}
