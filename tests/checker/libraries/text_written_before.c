/* chara writes a byte just before text B. */
#include "ostrum.h"

ROUTINE_EXPORT void ROUTINE_CALL chara(char *textA, int32_t *lengthA, char *textB, int32_t *lengthB)
{
    (void)textA, (void)lengthA, (void)lengthB;
    textB[-1] = '!';
}
