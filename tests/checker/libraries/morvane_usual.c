/* Morvane as learners write it in C: the square narrowed to a 32-bit real in whatever rounding
   the caller has set, and a fresh square.dat of two records, closed before returning. */
#include "morvane.h"
#include <stdio.h>

static void wholePartField(FILE *trace, double value)
{
    if (value > -10000.0 && value < 100000.0)
        fprintf(trace, "%5d", (int)value);
    else
        fputs("*****", trace);
}

ROUTINE_EXPORT int32_t ROUTINE_CALL square(double *n, double *x, double *y)
{
    FILE *trace = fopen("square.dat", "w");
    *y = (double)(float)(*x * *x);
    if (trace) {
        fprintf(trace, "%d\nx = ", (int)*n);
        wholePartField(trace, *x);
        fputs("   y = ", trace);
        wholePartField(trace, *y);
        fputc('\n', trace);
        fclose(trace);
    }
    return 0;
}
