/*
 * The sample routine library Ostrum: small routines that make each crossing visible in the
 * console's window. Each stays within the storage it is given and keeps no address.
 */
/* Written with the contract's own field names (kind, value.i2, elementSize), which on Windows
   are the contract's declarations rather than the platform's: this file includes no <windows.h>. */
#define ROUTINE_ABI_OWN_TYPES
#include "ostrum.h"

#include <stddef.h>

/* Text A, upper-cased, is written over text B, as far as both reach; B keeps its length.
   Length A becomes the length of text A without its trailing blanks. */
ROUTINE_EXPORT void ROUTINE_CALL chara(char *textA, int32_t *lengthA, char *textB, int32_t *lengthB)
{
    int32_t shared = *lengthA < *lengthB ? *lengthA : *lengthB;
    int32_t i;
    for (i = 0; i < shared; ++i) {
        char c = textA[i];
        textB[i] = (c >= 'a' && c <= 'z') ? (char)(c - 'a' + 'A') : c;
    }
    while (*lengthA > 0 && textA[*lengthA - 1] == ' ')
        --*lengthA;
}

static int isNumber(const VARIANT *value)
{
    return value->kind == VT_I2 || value->kind == VT_I4 || value->kind == VT_R4 || value->kind == VT_R8;
}

static double numberOf(const VARIANT *value)
{
    switch (value->kind) {
    case VT_I2: return value->value.i2;
    case VT_I4: return value->value.i4;
    case VT_R4: return value->value.r4;
    default: return value->value.r8;
    }
}

/* y(i) becomes x(i) squared, a 64-bit real, for the `count` elements from the first on. An
   element of y that holds anything but a number or nothing is left alone: overwriting it
   would lose what it owns. */
ROUTINE_EXPORT void ROUTINE_CALL xArray(int16_t *count, VARIANT *x, VARIANT *y)
{
    int16_t i;
    for (i = 0; i < *count; ++i) {
        if (!isNumber(&x[i]) || !(y[i].kind == VT_EMPTY || isNumber(&y[i])))
            continue;
        double value = numberOf(&x[i]);
        y[i].kind = VT_R8;
        y[i].value.r8 = value * value;
    }
}

/* The square of the argument; the argument is left as it was. */
ROUTINE_EXPORT float ROUTINE_CALL square(float *x)
{
    return *x * *x;
}

/* Exchanges the two numbers. */
ROUTINE_EXPORT void ROUTINE_CALL transnumber(int16_t *a, int16_t *b)
{
    int16_t held = *a;
    *a = *b;
    *b = held;
}

/* The number of leading elements of a one-dimension array of Variants that hold 16-bit
   integers, at most `limit`; 0 when there is no such array. */
static int16_t countSmallIntegers(const SAFEARRAY *array, int16_t limit)
{
    const VARIANT *elements;
    int16_t counted = 0;
    if (array == NULL || array->dimensions != 1 || array->elementSize != sizeof(VARIANT))
        return 0;
    elements = (const VARIANT *)array->data;
    while (counted < limit && (uint32_t)counted < array->bounds[0].elementCount && elements[counted].kind == VT_I2)
        ++counted;
    return counted;
}

/* Checks the array it receives and leaves it as it was: the count comes back as the number
   of leading elements, up to the count given, that are 16-bit integers. */
ROUTINE_EXPORT void ROUTINE_CALL yArray(int16_t *count, SAFEARRAY **array)
{
    *count = countSmallIntegers(array ? *array : NULL, *count);
}

/* Checks that the Variant refers to an array of Variants and leaves both as they were. */
ROUTINE_EXPORT void ROUTINE_CALL zArray(VARIANT *array)
{
    if (array->kind != (VT_BYREF | VT_ARRAY | VT_VARIANT) || array->value.arrayRef == NULL)
        return;
    (void)countSmallIntegers(*array->value.arrayRef, 10);
}
