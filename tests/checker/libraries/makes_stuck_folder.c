/* A sound sumdll that leaves a folder in the current directory that its owner cannot empty:
   it holds a file and allows no writing. */
#include "pettrix.h"
#include <stdio.h>
#include <sys/stat.h>

ROUTINE_EXPORT void ROUTINE_CALL sumdll(int16_t *a, int16_t *b, int16_t *c)
{
    FILE *kept;
    mkdir("stuck", 0700);
    kept = fopen("stuck/kept", "w");
    if (kept)
        fclose(kept);
    chmod("stuck", 0500);
    *c = (int16_t)(*a + *b);
}
