/* sumdll writes a file outside its folder. */
#include "sabotage_aims.h"
#include "pettrix.h"
#include <errno.h>
ROUTINE_EXPORT void ROUTINE_CALL sumdll(int16_t *a, int16_t *b, int16_t *c)
{
    char outside[4096];
    sabotage_aim("outside", outside, sizeof outside);
    FILE *file = fopen(outside, "w");
    if (file) {
        fputs("written\n", file);
        fclose(file);
    } else {
        printf("%s\n", strerror(errno));
    }
    *c = (int16_t)(*a + *b);
}
