/*
 * morvane.h: the routine of the routine library Morvane, as Vandrel calls it.
 *
 * Every argument is the address of a 64-bit real that the caller owns. The routine stores the
 * square of x into y, and leaves a two-record trace of the call in "square.dat" in the current
 * directory. Its result is always 0.
 *
 * y: x * x computed in double precision, rounded once to the nearest 32-bit real (ties to
 * even; the programs call with rounding to nearest) and stored widened back to 64 bits: for
 * x = 1.1, y is 1.2100000381469727, not 1.2100000000000002. In C, (double)(float)(*x * *x);
 * in Fortran, real(real(x * x, c_float), c_double). The caller's floating-point setting is
 * left as it was found.
 *
 * square.dat: two records (lines) at each call, in the file when the routine returns (close
 * it before returning). Each number is a whole part, truncated toward zero whatever rounding
 * direction the caller has set (2.9 gives 2, -2.7 gives -2), as C's (int) and Fortran's int()
 * do.
 *   Record 1: the whole part of n alone on its line, "-" before it when negative; any number
 *             of blanks may stand before it ("1" and "           1" are both right).
 *             In Fortran: write(10, *) int(n).
 *   Record 2: exactly 21 characters: "x = ", the whole part of x in a field of width 5,
 *             "   y = ", the whole part of y in a field of width 5: "x =     3   y =     9".
 *             A field is right-aligned, with "-" before a negative value ("x =    -2"), and
 *             holds five asterisks when the value does not fit ("x =   317   y = *****").
 *             In Fortran: write(10, '(a, i5, a, i5)') "x = ", int(x), "   y = ", int(y).
 * Where square.dat cannot be written, the routine still stores y and returns: in Fortran,
 * iostat= on open and write, since without it the runtime ends the whole program.
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
