/* A recording Morvane for the teaching pages: square keeps what it was given (recording.h),
   stores nothing and writes no trace. */
#include "latest_call.h"
#include "morvane.h"

ROUTINE_EXPORT int32_t ROUTINE_CALL square(double *n, double *x, double *y)
{
    recordingStart(&latestCall, "square");
    recordingKeep(&latestCall, "n", REGION_REAL64, n, sizeof *n);
    recordingKeep(&latestCall, "x", REGION_REAL64, x, sizeof *x);
    recordingKeep(&latestCall, "y", REGION_REAL64, y, sizeof *y);
    return 0;
}
