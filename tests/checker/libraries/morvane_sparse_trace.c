/* Morvane whose square.dat is 64 GiB long: a hole, then the call's two records at its end. A
   checker that read the whole file would never finish; the records are right. */
#define _FILE_OFFSET_BITS 64
#include "morvane.h"
#include <stdio.h>
#include <unistd.h>

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
    if (!trace)
        return 0;
    if (ftruncate(fileno(trace), (off_t)64 << 30) == 0 && fseeko(trace, 0, SEEK_END) == 0)
        fputc('\n', trace);
    fprintf(trace, "%d\nx = ", (int)*n);
    wholePartField(trace, *x);
    fputs("   y = ", trace);
    wholePartField(trace, *y);
    fputc('\n', trace);
    fclose(trace);
    return 0;
}
