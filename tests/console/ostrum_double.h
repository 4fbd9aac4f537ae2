/* A stand-in for the routine library Ostrum that the console's tests build: it records what
   each routine was given and behaves as the test selects. */
#ifndef OSTRUM_DOUBLE_H
#define OSTRUM_DOUBLE_H

#include "routine_abi.h"

#ifdef __cplusplus
extern "C" {
#endif

/* What the routines do; by default nothing but record (square returns the true square). */
enum {
    DOUBLE_CHARA_WRITES_B = 1 << 0,          /* "abc" and a zero byte at the start of text B */
    DOUBLE_CHARA_CHANGES_A = 1 << 1,         /* "ZZZZ" over the start of text A */
    DOUBLE_CHARA_CHANGES_LENGTH_A = 1 << 2,  /* length A becomes 7 */
    DOUBLE_SQUARE_CHANGES_ARGUMENT = 1 << 3, /* the argument becomes 7 */
    DOUBLE_TRANSNUMBER_EXCHANGES = 1 << 4,   /* the two numbers change places */
    DOUBLE_XARRAY_SQUARES = 1 << 5,          /* y(i) becomes x(i) squared, a 64-bit real */
    DOUBLE_CHANGES_COUNT = 1 << 6            /* xArray and yArray set the count to changedCount */
};

typedef struct OstrumDoubleRecord {
    int calls; /* routines called so far, in all */
    char lastRoutine[16];
    /* chara */
    char textA[21], textB[21]; /* the 20 bytes and the terminator */
    int32_t lengthA, lengthB;
    /* square and transnumber */
    float squareArgument;
    int16_t transA, transB;
    /* xArray: the count and ten elements from each address */
    int16_t xCount;
    VARIANT xElements[10], yElements[10];
    long long yOffsetFromX; /* address of y minus address of x, in bytes */
    /* yArray */
    int16_t yArrayCount;
    int yArrayGotDescriptor;
    SAFEARRAY yArrayDescriptor;
    VARIANT yArrayElements[10];
    /* zArray */
    VARIANT zWrapper;
    int zArrayGotDescriptor;
    SAFEARRAY zArrayDescriptor;
    VARIANT zArrayElements[10];
} OstrumDoubleRecord;

ROUTINE_EXPORT void ostrumDoubleReset(int behaviour, int16_t changedCount);
ROUTINE_EXPORT const OstrumDoubleRecord *ostrumDoubleRecord(void);
/* Called at the start of every routine with its name, so a test can look at the window
   while the routine runs. */
ROUTINE_EXPORT void ostrumDoubleListen(void (*listener)(const char *routine));

#ifdef __cplusplus
}
#endif

#endif
