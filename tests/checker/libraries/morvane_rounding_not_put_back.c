/* square sets rounding to nearest for the square and does not put the caller's back. */
#include "morvane.h"
#include <fenv.h>
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
    fesetround(FE_TONEAREST);
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
