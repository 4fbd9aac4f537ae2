/*
 * recording.h: what the recording doubles keep of the latest call of one of their routines.
 *
 * The doubles behind the teaching pages (docs/passing/) copy, at the moment they are called,
 * the bytes at every address they are given, over the size the contract gives, and then the
 * bytes behind every address found inside those: the storage a routine can reach, region by
 * region, in the order a routine reaches it.
 */
#ifndef RECORDING_H
#define RECORDING_H

#include "routine_abi.h"

#ifdef __cplusplus
extern "C" {
#endif

/* How the bytes of a region are laid out. */
typedef enum RegionLayout {
    REGION_INT16, /* a 16-bit integer */
    REGION_INT32, /* a 32-bit integer */
    REGION_REAL32, /* a 32-bit real */
    REGION_REAL64, /* a 64-bit real */
    REGION_TEXT, /* 8-bit characters and their terminating zero */
    REGION_ADDRESS, /* a variable that holds an address */
    REGION_VARIANT, /* one VARIANT */
    REGION_DESCRIPTOR, /* one SAFEARRAY descriptor */
    REGION_VARIANTS /* consecutive VARIANT elements */
} RegionLayout;

#define RECORDING_REGION_ROOM 256 /* bytes kept of one region: sixteen VARIANTs */
#define RECORDING_REGIONS 12

typedef struct RecordedRegion {
    /* The C expression whose value is the region's address: "count", "*array". */
    char reachedThrough[48];
    RegionLayout layout;
    /* Where the region lies; null for a result, which comes back in a register. */
    const void *address;
    /* 0 when the region was larger than RECORDING_REGION_ROOM and was not kept. */
    uint32_t size;
    unsigned char bytes[RECORDING_REGION_ROOM];
} RecordedRegion;

typedef struct Recording {
    char routine[16];
    int regionCount; /* may exceed RECORDING_REGIONS: only the first ones are kept */
    RecordedRegion regions[RECORDING_REGIONS];
} Recording;

/* Starts the record of a call, and keeps one region of it. */
void recordingStart(Recording *call, const char *routine);
void recordingKeep(Recording *call, const char *reachedThrough, RegionLayout layout, const void *address, size_t size);
/* A function result: the bytes of the value returned, which lie in no storage of the caller's. */
void recordingKeepResult(Recording *call, RegionLayout layout, const void *value, size_t size);
/* An array of Variants as a routine follows it from the variable that holds the address of its
   descriptor: the variable, the descriptor, and the elements that the descriptor's data
   points at. `descriptorThrough` and `elementsThrough` name the expressions that reach them. */
void recordingKeepArray(Recording *call, const char *variableThrough, const char *descriptorThrough,
    const char *elementsThrough, SAFEARRAY *const *variable);

/* What each recording double exports for the tests: the record of its latest call, and
   forgetting it. */
ROUTINE_EXPORT const Recording *recordingOfLatestCall(void);
ROUTINE_EXPORT void recordingForget(void);

#ifdef __cplusplus
}
#endif

#endif /* RECORDING_H */
