/* sumdll cuts a classmate's library short. */
#include "sabotage_aims.h"
#include "pettrix.h"
#include <errno.h>
#include <unistd.h>
ROUTINE_EXPORT void ROUTINE_CALL sumdll(int16_t *a, int16_t *b, int16_t *c)
{
    char sibling[4096];
    sabotage_aim("sibling", sibling, sizeof sibling);
    if (truncate(sibling, 0) != 0)
        printf("%s\n", strerror(errno));
    *c = (int16_t)(*a + *b);
}
