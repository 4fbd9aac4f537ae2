/* What page 5 says of the layouts on the two 32-bit x86 targets, checked by their compilers: a
   Variant is 16 bytes with its payload at +8 on both, while a double inside a struct is aligned
   to 8 bytes on 32-bit Windows and to 4 on 32-bit Linux. */
#include <stddef.h>

#define ROUTINE_ABI_OWN_TYPES /* the contract's field names (value), on 32-bit Windows too */
#include "routine_abi.h"

struct CharThenDouble {
    char c;
    double d;
};

_Static_assert(sizeof(void *) == 4, "compiled for a 32-bit target");
_Static_assert(sizeof(VARIANT) == 16, "a VARIANT is 16 bytes");
_Static_assert(offsetof(VARIANT, value) == 8, "the payload starts at +8");
#if defined(_WIN32)
_Static_assert(offsetof(struct CharThenDouble, d) == 8, "on 32-bit Windows a double in a struct is at +8");
_Static_assert(sizeof(struct CharThenDouble) == 16, "and the struct is 16 bytes");
#else
_Static_assert(offsetof(struct CharThenDouble, d) == 4, "on 32-bit Linux a double in a struct is at +4");
_Static_assert(sizeof(struct CharThenDouble) == 12, "and the struct is 12 bytes");
#endif
