/* The calls the recording doubles keep (recording.h): one record per call since the last
   forget, as far as there is room. */
#include "recording.h"

#include <string.h>

static Recording calls[RECORDING_CALLS];
static Recording overflow; /* the latest call beyond the room, which is not kept */
static const Recording none;
static int32_t callCount = 0;
static int32_t leaveStorageAlone = 0;

Recording *recordingOfNewCall(void)
{
    Recording *call = callCount < RECORDING_CALLS ? &calls[callCount] : &overflow;
    if (callCount < INT32_MAX)
        ++callCount;
    return call;
}

int32_t recordingCallCount(void)
{
    return callCount;
}

const Recording *recordingOfCall(int32_t index)
{
    return index >= 0 && index < callCount && index < RECORDING_CALLS ? &calls[index] : NULL;
}

const Recording *recordingOfLatestCall(void)
{
    if (callCount > RECORDING_CALLS)
        return &overflow;
    return callCount > 0 ? &calls[callCount - 1] : &none;
}

void recordingForget(void)
{
    memset(calls, 0, sizeof calls);
    callCount = 0;
    leaveStorageAlone = 0;
}

void recordingLeaveStorageAlone(int32_t leaveAlone)
{
    leaveStorageAlone = leaveAlone;
}

int32_t recordingLeavesStorageAlone(void)
{
    return leaveStorageAlone;
}
