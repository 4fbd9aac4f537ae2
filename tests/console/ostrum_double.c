/* The Ostrum test double: records what crosses, behaves as selected (ostrum_double.h). */
#include "ostrum.h"
#include "ostrum_double.h"

#include <string.h>

static int behaviour;
static int16_t changedCount;
static OstrumDoubleRecord record;
static void (*listener)(const char *routine);

ROUTINE_EXPORT void ostrumDoubleReset(int selected, int16_t count)
{
    behaviour = selected;
    changedCount = count;
    memset(&record, 0, sizeof record);
    listener = NULL;
}

ROUTINE_EXPORT const OstrumDoubleRecord *ostrumDoubleRecord(void)
{
    return &record;
}

ROUTINE_EXPORT void ostrumDoubleListen(void (*newListener)(const char *routine))
{
    listener = newListener;
}

static void called(const char *routine)
{
    ++record.calls;
    strncpy(record.lastRoutine, routine, sizeof record.lastRoutine - 1);
    if (listener)
        listener(routine);
}

/* The descriptor and the first ten elements of an array, as far as it has them. */
static void copyArray(const SAFEARRAY *array, int *got, SAFEARRAY *descriptor, VARIANT *elements)
{
    *got = array != NULL;
    if (!array)
        return;
    *descriptor = *array;
    if (array->bounds[0].elementCount >= 10)
        memcpy(elements, array->data, 10 * sizeof(VARIANT));
}

ROUTINE_EXPORT void ROUTINE_CALL chara(char *textA, int32_t *lengthA, char *textB, int32_t *lengthB)
{
    called("chara");
    memcpy(record.textA, textA, sizeof record.textA);
    memcpy(record.textB, textB, sizeof record.textB);
    record.lengthA = *lengthA;
    record.lengthB = *lengthB;
    if (behaviour & DOUBLE_CHARA_WRITES_B)
        memcpy(textB, "abc", 4);
    if (behaviour & DOUBLE_CHARA_CHANGES_A)
        memcpy(textA, "ZZZZ", 4);
    if (behaviour & DOUBLE_CHARA_CHANGES_LENGTH_A)
        *lengthA = 7;
}

ROUTINE_EXPORT void ROUTINE_CALL xArray(int16_t *count, VARIANT *x, VARIANT *y)
{
    int i;
    called("xArray");
    record.xCount = *count;
    memcpy(record.xElements, x, sizeof record.xElements);
    memcpy(record.yElements, y, sizeof record.yElements);
    record.yOffsetFromX = (long long)((const char *)y - (const char *)x);
    if (behaviour & DOUBLE_XARRAY_SQUARES) {
        for (i = 0; i < *count && i < 10; ++i) {
            double value = x[i].kind == VT_I2 ? x[i].value.i2 : 0;
            y[i].kind = VT_R8;
            y[i].value.r8 = value * value;
        }
    }
    if (behaviour & DOUBLE_CHANGES_COUNT)
        *count = changedCount;
}

ROUTINE_EXPORT float ROUTINE_CALL square(float *x)
{
    float result = *x * *x;
    called("square");
    record.squareArgument = *x;
    if (behaviour & DOUBLE_SQUARE_CHANGES_ARGUMENT)
        *x = 7;
    return result;
}

ROUTINE_EXPORT void ROUTINE_CALL transnumber(int16_t *a, int16_t *b)
{
    called("transnumber");
    record.transA = *a;
    record.transB = *b;
    if (behaviour & DOUBLE_TRANSNUMBER_EXCHANGES) {
        int16_t held = *a;
        *a = *b;
        *b = held;
    }
}

ROUTINE_EXPORT void ROUTINE_CALL yArray(int16_t *count, SAFEARRAY **array)
{
    called("yArray");
    record.yArrayCount = *count;
    copyArray(*array, &record.yArrayGotDescriptor, &record.yArrayDescriptor, record.yArrayElements);
    if (behaviour & DOUBLE_CHANGES_COUNT)
        *count = changedCount;
}

ROUTINE_EXPORT void ROUTINE_CALL zArray(VARIANT *array)
{
    called("zArray");
    record.zWrapper = *array;
    if (array->kind == (VT_BYREF | VT_ARRAY | VT_VARIANT))
        copyArray(*array->value.arrayRef, &record.zArrayGotDescriptor, &record.zArrayDescriptor, record.zArrayElements);
}
