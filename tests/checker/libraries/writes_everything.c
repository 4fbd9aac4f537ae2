/* An Ostrum that writes every byte it may write, and nothing else. */
#include "ostrum.h"
#include <string.h>

ROUTINE_EXPORT void ROUTINE_CALL chara(char *textA, int32_t *lengthA, char *textB, int32_t *lengthB)
{
    memset(textA, 'A', 20);
    textA[20] = '\0';
    memset(textB, 'B', 20);
    textB[20] = '\0';
    *lengthA = 20;
    *lengthB = 20;
}

static void storeReal(VARIANT *element, double value)
{
    memset(element, 0, sizeof *element);
    element->kind = VT_R8;
    element->value.r8 = value;
}

ROUTINE_EXPORT void ROUTINE_CALL xArray(int16_t *count, VARIANT *x, VARIANT *y)
{
    int16_t i;
    for (i = 0; i < *count; ++i) {
        storeReal(&x[i], i + 1);
        storeReal(&y[i], (i + 1) * (i + 1));
    }
    *count = 10;
}

ROUTINE_EXPORT float ROUTINE_CALL square(float *x)
{
    *x = 5.0f;
    return 25.0f;
}

ROUTINE_EXPORT void ROUTINE_CALL transnumber(int16_t *a, int16_t *b)
{
    *a = 1;
    *b = 2;
}

ROUTINE_EXPORT void ROUTINE_CALL yArray(int16_t *count, SAFEARRAY **array)
{
    uint32_t i;
    for (i = 0; i < (*array)->bounds[0].elementCount; ++i)
        storeReal((VARIANT *)(*array)->data + i, i);
    *count = 3;
}

ROUTINE_EXPORT void ROUTINE_CALL zArray(VARIANT *array)
{
    SAFEARRAY *descriptor = *array->value.arrayRef;
    uint32_t i;
    for (i = 0; i < descriptor->bounds[0].elementCount; ++i)
        storeReal((VARIANT *)descriptor->data + i, -1.5);
}
