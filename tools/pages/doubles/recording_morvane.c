/* A recording Morvane for the teaching pages: square keeps what it was given (recording.h),
   stores the square as Morvane does, rounded once to a 32-bit real, and keeps the same bytes
   again. It writes no trace. */
#include "latest_call.h"
#include "morvane.h"

ROUTINE_EXPORT int32_t ROUTINE_CALL square(double *n, double *x, double *y)
{
    recordingStart(&latestCall, "square");
    recordingKeep(&latestCall, "n", REGION_REAL64, n, sizeof *n);
    recordingKeep(&latestCall, "x", REGION_REAL64, x, sizeof *x);
    recordingKeep(&latestCall, "y", REGION_REAL64, y, sizeof *y);

    *y = (double)(float)(*x * *x);
    recordingKeepAfterCall(&latestCall);
    return 0;
}
