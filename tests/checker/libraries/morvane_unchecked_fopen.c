/* A Morvane in C that writes to what fopen returned without looking whether the file opened:
   right wherever square.dat can be written, a crash where it cannot. */
#include "morvane.h"
#include <fenv.h>
#include <stdio.h>

/* The whole part in five columns, or five asterisks when it does not fit. */
static void wholePartField(FILE *trace, double value)
{
    if (value > -10000.0 && value < 100000.0)
        fprintf(trace, "%5d", (int)value);
    else
        fputs("*****", trace);
}

ROUTINE_EXPORT int32_t ROUTINE_CALL square(double *n, double *x, double *y)
{
    FILE *trace = fopen("square.dat", "a");
    const int callers = fegetround();
    volatile double product;
    fprintf(trace, "%d\n", (int)*n);
    fesetround(FE_TONEAREST);
    product = *x * *x;
    *y = (float)product;
    fesetround(callers);
    fputs("x = ", trace);
    wholePartField(trace, *x);
    fputs("   y = ", trace);
    wholePartField(trace, *y);
    fputc('\n', trace);
    fclose(trace);
    return 0;
}
