/* chara takes 8 bytes from the middle of text A for an address and writes through it. */
#include "ostrum.h"

#include <string.h>

ROUTINE_EXPORT void ROUTINE_CALL chara(char *textA, int32_t *lengthA, char *textB, int32_t *lengthB)
{
    char *target;
    memcpy(&target, textA + 8, sizeof target);
    *target = textB[0];
    (void)lengthA, (void)lengthB;
}
