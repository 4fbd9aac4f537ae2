/* The record of the latest call, as each recording double keeps and exports it. */
#include "latest_call.h"

#include <string.h>

Recording latestCall;

ROUTINE_EXPORT const Recording *recordingOfLatestCall(void)
{
    return &latestCall;
}

ROUTINE_EXPORT void recordingForget(void)
{
    memset(&latestCall, 0, sizeof latestCall);
}
