/* A learner's first routine library for Korvik: only `square`, written against ostrum.h, and
   off by a half, so that a result shows which library answered. */
#include "ostrum.h"

ROUTINE_EXPORT float ROUTINE_CALL square(float *x)
{
    return *x * *x + 0.5f;
}
