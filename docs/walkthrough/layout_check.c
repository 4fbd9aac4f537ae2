/* Layouts checked where they are compiled: a size or an offset that differs stops the build. */
#include <stddef.h>

#define ROUTINE_ABI_OWN_TYPES /* the contract's field names (value), on 32-bit Windows too */
#include "routine_abi.h"

_Static_assert(sizeof(VARIANT) == 16, "a VARIANT is 16 bytes");
_Static_assert(offsetof(VARIANT, value) == 8, "its payload starts at +8");

/* A struct of one's own that leaves the gap before its double to the alignment. */
struct Reading {
    char unit;
    double value;
};
_Static_assert(offsetof(struct Reading, value) == 8, "the value of a Reading starts at +8");
