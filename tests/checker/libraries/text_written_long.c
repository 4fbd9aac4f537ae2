/* chara writes 23 bytes into text B, which holds 20 characters and a zero byte. */
#include "ostrum.h"
#include <string.h>

ROUTINE_EXPORT void ROUTINE_CALL chara(char *textA, int32_t *lengthA, char *textB, int32_t *lengthB)
{
    (void)textA, (void)lengthA, (void)lengthB;
    memcpy(textB, "WOO HAHAHAHA and more!", 23);
}
