/* A sound sumdll that crashes when its process has no limit of processor time, or, where the
   checker sets one (SPACE_LIMITED), of address space. */
#include "pettrix.h"
#include <stdlib.h>
#include <sys/resource.h>

static int limited(int resource)
{
    struct rlimit limit;
    return getrlimit(resource, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY;
}

ROUTINE_EXPORT void ROUTINE_CALL sumdll(int16_t *a, int16_t *b, int16_t *c)
{
    if (!limited(RLIMIT_CPU) || (SPACE_LIMITED && !limited(RLIMIT_AS)))
        abort();
    *c = (int16_t)(*a + *b);
}
