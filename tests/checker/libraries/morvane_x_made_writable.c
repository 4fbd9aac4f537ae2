/* Morvane whose square and trace are right, but which then makes the page of x writable and
   sets x to 0: the write faults nowhere, and only the bytes of x show it. */
#include "morvane.h"
#include <stdint.h>
#include <stdio.h>
#include <sys/mman.h>

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
    if (mprotect((void *)((uintptr_t)x & ~(uintptr_t)4095), 4096, PROT_READ | PROT_WRITE) == 0)
        *x = 0;
    return 0;
}
