/* A sound sumdll that prints a line of 300 characters and then a megabyte at every call. */
#include "pettrix.h"
#include <stdio.h>
#include <string.h>

ROUTINE_EXPORT void ROUTINE_CALL sumdll(int16_t *a, int16_t *b, int16_t *c)
{
    char line[301];
    int i;
    memset(line, 'x', 300);
    line[300] = '\0';
    printf("%s\n", line);
    for (i = 0; i < 20000; ++i)
        printf("line %5d of the megabyte that sumdll prints at every call...\n", i);
    *c = (int16_t)(*a + *b);
}
