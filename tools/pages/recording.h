/*
 * recording.h: what the recording doubles keep of the calls of their routines.
 *
 * The doubles behind the teaching pages (docs/passing/) copy, at the moment they are called,
 * the bytes at every address they are given, over the size the contract gives, and then the
 * bytes behind every address found inside those: the storage a routine can reach, region by
 * region, in the order a routine reaches it. Then each does what the sample library does and
 * copies the same regions again before it returns: the bytes the caller finds after the call.
 * The page tool (tools/pages/) reads the record back, names the regions as the caller knows
 * them and lists and draws them; the window tests read what the window passed.
 *
 * The record lies in a shared library of its own (call_recording), which the doubles and the
 * programs that read the record both link, so that they reach the same record.
 */
#ifndef RECORDING_H
#define RECORDING_H

#include "value_kind.h"
#include "routine_abi.h"

#ifdef __cplusplus
extern "C" {
#endif

#define RECORDING_REGION_ROOM 256 /* bytes kept of one region: sixteen VARIANTs */
#define RECORDING_REGIONS 12

typedef struct RecordedRegion {
    /* The C expression whose value is the region's address: "count", "*array". */
    char reachedThrough[48];
    ValueKind layout;
    /* Where the region lies; null for a result, which comes back in a register. */
    const void *address;
    /* 0 when the region was larger than RECORDING_REGION_ROOM and was not kept. */
    uint32_t size;
    unsigned char bytes[RECORDING_REGION_ROOM];
    /* The same bytes as the routine leaves them, once recordingKeepAfterCall has run. */
    unsigned char bytesAfter[RECORDING_REGION_ROOM];
} RecordedRegion;

typedef struct Recording {
    char routine[16];
    int regionCount; /* may exceed RECORDING_REGIONS: only the first ones are kept */
    int keptAfterCall; /* 1 once the bytes after the call are kept too */
    RecordedRegion regions[RECORDING_REGIONS];
} Recording;

/* Starts the record of a call, and keeps one region of it. */
ROUTINE_EXPORT void recordingStart(Recording *call, const char *routine);
ROUTINE_EXPORT void recordingKeep(Recording *call, const char *reachedThrough, ValueKind layout,
                                  const void *address, size_t size);
/* A function result: the bytes of the value returned, which lie in no storage of the caller's. */
ROUTINE_EXPORT void recordingKeepResult(Recording *call, ValueKind layout, const void *value, size_t size);
/* Keeps the bytes of every region kept so far again, as the routine leaves them: the last
   step of a recording routine, after it has done what the sample library does. */
ROUTINE_EXPORT void recordingKeepAfterCall(Recording *call);
/* An array of Variants as a routine follows it from the variable that holds the address of its
   descriptor: the variable, the descriptor, and the elements that the descriptor's data
   points at. `descriptorThrough` and `elementsThrough` name the expressions that reach them. */
ROUTINE_EXPORT void recordingKeepArray(Recording *call, const char *variableThrough, const char *descriptorThrough,
                                       const char *elementsThrough, SAFEARRAY *const *variable);

/* ---- The calls of the doubles ------------------------------------------------------- */

#define RECORDING_CALLS 16 /* calls kept since the last forget: the first ones */

/* A double's routine starts the record of its call here: the next free record, or one that
   is overwritten and not kept when RECORDING_CALLS are kept already. */
ROUTINE_EXPORT Recording *recordingOfNewCall(void);

/* The number of calls since the last forget (it may exceed RECORDING_CALLS), the call with
   index 0, 1, ... (null beyond those kept), and the latest call kept (an empty record, with
   no routine, when there is none). */
ROUTINE_EXPORT int32_t recordingCallCount(void);
ROUTINE_EXPORT const Recording *recordingOfCall(int32_t index);
ROUTINE_EXPORT const Recording *recordingOfLatestCall(void);

/* Forgets every call; from then on the doubles store their results again. */
ROUTINE_EXPORT void recordingForget(void);

/* Whether the recording Pettrix's sumdll stores its sum into c, as the library does, or leaves
   c alone (nonzero), so that a test sees what Tolvan shows when a routine stores nothing. The
   other doubles do what their sample library does in any case. */
ROUTINE_EXPORT void recordingLeaveStorageAlone(int32_t leaveAlone);
ROUTINE_EXPORT int32_t recordingLeavesStorageAlone(void);

#ifdef __cplusplus
}
#endif

#endif /* RECORDING_H */
