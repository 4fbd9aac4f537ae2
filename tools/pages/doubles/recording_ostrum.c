/* A recording Ostrum for the teaching pages: each routine keeps what it was given
   (recording.h), does what the sample Ostrum does (routines/ostrum/), and keeps the same bytes
   again as it leaves them. */
#include "recording.h"
#include "ostrum.h"

ROUTINE_EXPORT void ROUTINE_CALL chara(char *textA, int32_t *lengthA, char *textB, int32_t *lengthB)
{
    Recording *call = recordingOfNewCall();
    int32_t i, reach, trimmed;
    recordingStart(call, "chara");
    /* Each text is as long as its length says, and a terminating zero follows it. */
    recordingKeep(call, "textA", VALUE_TEXT, textA, (size_t)*lengthA + 1);
    recordingKeep(call, "lengthA", VALUE_INT32, lengthA, sizeof *lengthA);
    recordingKeep(call, "textB", VALUE_TEXT, textB, (size_t)*lengthB + 1);
    recordingKeep(call, "lengthB", VALUE_INT32, lengthB, sizeof *lengthB);

    /* A, upper-cased, over B as far as both reach; length A without A's trailing blanks. */
    reach = *lengthA < *lengthB ? *lengthA : *lengthB;
    for (i = 0; i < reach; ++i)
        textB[i] = textA[i] >= 'a' && textA[i] <= 'z' ? (char)(textA[i] - 'a' + 'A') : textA[i];
    for (trimmed = *lengthA; trimmed > 0 && textA[trimmed - 1] == ' '; --trimmed)
        ;
    *lengthA = trimmed;
    recordingKeepAfterCall(call);
}

/* The number an element holds as a 64-bit real; 0 when it holds none. */
static int numberIn(const VARIANT *element, double *number)
{
    switch (element->kind) {
    case VT_I2: *number = element->value.i2; return 1;
    case VT_I4: *number = element->value.i4; return 1;
    case VT_R4: *number = element->value.r4; return 1;
    case VT_R8: *number = element->value.r8; return 1;
    default: return 0;
    }
}

ROUTINE_EXPORT void ROUTINE_CALL xArray(int16_t *count, VARIANT *x, VARIANT *y)
{
    Recording *call = recordingOfNewCall();
    int16_t i;
    double number;
    recordingStart(call, "xArray");
    recordingKeep(call, "count", VALUE_INT16, count, sizeof *count);
    recordingKeep(call, "x", VALUE_VARIANTS, x, (size_t)*count * sizeof *x);
    recordingKeep(call, "y", VALUE_VARIANTS, y, (size_t)*count * sizeof *y);

    /* y(i) := x(i) squared, a 64-bit real, where y(i) holds a number or nothing. */
    for (i = 0; i < *count; ++i) {
        double held;
        if (!numberIn(&x[i], &number) || (y[i].kind != VT_EMPTY && !numberIn(&y[i], &held)))
            continue;
        y[i].kind = VT_R8;
        y[i].value.r8 = number * number;
    }
    recordingKeepAfterCall(call);
}

ROUTINE_EXPORT float ROUTINE_CALL square(float *x)
{
    Recording *call = recordingOfNewCall();
    const float result = *x * *x;
    recordingStart(call, "square");
    recordingKeep(call, "x", VALUE_REAL32, x, sizeof *x);
    recordingKeepResult(call, VALUE_REAL32, &result, sizeof result);
    recordingKeepAfterCall(call);
    return result;
}

ROUTINE_EXPORT void ROUTINE_CALL transnumber(int16_t *a, int16_t *b)
{
    Recording *call = recordingOfNewCall();
    int16_t held;
    recordingStart(call, "transnumber");
    recordingKeep(call, "a", VALUE_INT16, a, sizeof *a);
    recordingKeep(call, "b", VALUE_INT16, b, sizeof *b);

    held = *a;
    *a = *b;
    *b = held;
    recordingKeepAfterCall(call);
}

/* The number of leading elements that are 16-bit integers, at most limit. */
static int16_t leadingSmallIntegers(const SAFEARRAY *descriptor, int16_t limit)
{
    const VARIANT *elements;
    int16_t counted = 0;
    if (!descriptor || descriptor->dimensions != 1 || descriptor->elementSize != sizeof(VARIANT))
        return 0;
    elements = (const VARIANT *)descriptor->data;
    while (counted < limit && (uint32_t)counted < descriptor->bounds[0].elementCount &&
           elements[counted].kind == VT_I2)
        ++counted;
    return counted;
}

ROUTINE_EXPORT void ROUTINE_CALL yArray(int16_t *count, SAFEARRAY **array)
{
    Recording *call = recordingOfNewCall();
    recordingStart(call, "yArray");
    recordingKeep(call, "count", VALUE_INT16, count, sizeof *count);
    recordingKeepArray(call, "array", "*array", "(*array)->data", array);

    /* The count comes back as the number of leading 16-bit integers; the array stays. */
    *count = leadingSmallIntegers(array ? *array : NULL, *count);
    recordingKeepAfterCall(call);
}

ROUTINE_EXPORT void ROUTINE_CALL zArray(VARIANT *array)
{
    Recording *call = recordingOfNewCall();
    recordingStart(call, "zArray");
    recordingKeep(call, "array", VALUE_VARIANT, array, sizeof *array);
    if (array->kind == (VT_BYREF | VT_ARRAY | VT_VARIANT))
        recordingKeepArray(call, "array->value.arrayRef", "*array->value.arrayRef",
                           "(*array->value.arrayRef)->data", array->value.arrayRef);
    /* The sample only looks at the Variant and leaves it and the array as they were. */
    recordingKeepAfterCall(call);
}
