/* Keeping the regions of a call (recording.h). */
#include "recording.h"

#include <string.h>

void recordingStart(Recording *call, const char *routine)
{
    memset(call, 0, sizeof *call);
    strncpy(call->routine, routine, sizeof call->routine - 1);
}

void recordingKeep(Recording *call, const char *reachedThrough, ValueKind layout, const void *address, size_t size)
{
    RecordedRegion *region;
    if (call->regionCount++ >= RECORDING_REGIONS)
        return;
    region = &call->regions[call->regionCount - 1];
    strncpy(region->reachedThrough, reachedThrough, sizeof region->reachedThrough - 1);
    region->layout = layout;
    region->address = address;
    if (size <= RECORDING_REGION_ROOM) {
        region->size = (uint32_t)size;
        memcpy(region->bytes, address, size);
    }
}

void recordingKeepResult(Recording *call, ValueKind layout, const void *value, size_t size)
{
    recordingKeep(call, "returned", layout, value, size);
    if (call->regionCount <= RECORDING_REGIONS)
        call->regions[call->regionCount - 1].address = NULL;
}

void recordingKeepAfterCall(Recording *call)
{
    int i;
    for (i = 0; i < call->regionCount && i < RECORDING_REGIONS; ++i) {
        RecordedRegion *region = &call->regions[i];
        /* A result lies in no storage of the caller's: it comes back as it was returned. */
        memcpy(region->bytesAfter, region->address ? (const unsigned char *)region->address : region->bytes,
               region->size);
    }
    call->keptAfterCall = 1;
}

void recordingKeepArray(Recording *call, const char *variableThrough, const char *descriptorThrough,
                        const char *elementsThrough, SAFEARRAY *const *variable)
{
    const SAFEARRAY *descriptor;
    recordingKeep(call, variableThrough, VALUE_DESCRIPTOR_ADDRESS, variable, sizeof *variable);
    descriptor = *variable;
    if (!descriptor)
        return;
    recordingKeep(call, descriptorThrough, VALUE_DESCRIPTOR, descriptor, sizeof *descriptor);
    recordingKeep(call, elementsThrough, VALUE_VARIANTS, descriptor->data,
                  (size_t)descriptor->bounds[0].elementCount * descriptor->elementSize);
}
