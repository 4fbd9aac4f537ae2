/*
 * morvane.h: the routine of the routine library Morvane, as Vandrel calls it.
 *
 * Every argument is the address of a 64-bit real that the caller owns. The routine stores the
 * square of x, rounded to a 32-bit real and widened back, into y, and leaves a two-record
 * trace of the call in "square.dat" in the current directory. Its result is always 0.
 */
#ifndef MORVANE_H
#define MORVANE_H

#include "routine_abi.h"

#ifdef __cplusplus
extern "C" {
#endif

/* n is the whole number recorded in the trace, x the number to square, y the result. n and x
   are read only; y is written once, after the trace's first record. */
ROUTINE_EXPORT int32_t ROUTINE_CALL square(double *n, double *x, double *y);

#ifdef __cplusplus
}
#endif

#endif /* MORVANE_H */
