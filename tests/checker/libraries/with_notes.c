/* An Ostrum that does what is allowed but may surprise: lengthB changed, a count beyond the
   arrays, exception flags raised, an export beyond the contract. */
#include "ostrum.h"

ROUTINE_EXPORT int helper(void)
{
    return 1;
}

ROUTINE_EXPORT void ROUTINE_CALL chara(char *textA, int32_t *lengthA, char *textB, int32_t *lengthB)
{
    (void)textA, (void)lengthA, (void)textB;
    *lengthB = 12;
}

ROUTINE_EXPORT void ROUTINE_CALL xArray(int16_t *count, VARIANT *x, VARIANT *y)
{
    (void)x, (void)y;
    *count = 11;
}

ROUTINE_EXPORT float ROUTINE_CALL square(float *x)
{
    volatile float large = 1e30f;
    large = large * large;
    return *x * *x;
}

ROUTINE_EXPORT void ROUTINE_CALL transnumber(int16_t *a, int16_t *b)
{
    (void)a, (void)b;
}

ROUTINE_EXPORT void ROUTINE_CALL yArray(int16_t *count, SAFEARRAY **array)
{
    (void)count, (void)array;
}

ROUTINE_EXPORT void ROUTINE_CALL zArray(VARIANT *array)
{
    (void)array;
}
