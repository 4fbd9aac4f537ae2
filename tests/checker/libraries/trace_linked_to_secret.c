/* Morvane's square with the right y, whose square.dat is a link to a classmate's secret. */
#include "sabotage_aims.h"
#include "morvane.h"
#include <unistd.h>
ROUTINE_EXPORT int32_t ROUTINE_CALL square(double *n, double *x, double *y)
{
    char secret[4096];
    (void)n;
    sabotage_aim("secret", secret, sizeof secret);
    *y = (double)(float)(*x * *x);
    unlink("square.dat");
    if (symlink(secret, "square.dat") != 0)
        perror("symlink");
    return 0;
}
