/* A recording Ostrum for the teaching pages: each routine keeps what it was given
   (recording.h) and changes nothing; square returns the square of its argument. */
#include "latest_call.h"
#include "ostrum.h"

ROUTINE_EXPORT void ROUTINE_CALL chara(char *textA, int32_t *lengthA, char *textB, int32_t *lengthB)
{
    recordingStart(&latestCall, "chara");
    /* Each text is as long as its length says, and a terminating zero follows it. */
    recordingKeep(&latestCall, "textA", REGION_TEXT, textA, (size_t)*lengthA + 1);
    recordingKeep(&latestCall, "lengthA", REGION_INT32, lengthA, sizeof *lengthA);
    recordingKeep(&latestCall, "textB", REGION_TEXT, textB, (size_t)*lengthB + 1);
    recordingKeep(&latestCall, "lengthB", REGION_INT32, lengthB, sizeof *lengthB);
}

ROUTINE_EXPORT void ROUTINE_CALL xArray(int16_t *count, VARIANT *x, VARIANT *y)
{
    recordingStart(&latestCall, "xArray");
    recordingKeep(&latestCall, "count", REGION_INT16, count, sizeof *count);
    recordingKeep(&latestCall, "x", REGION_VARIANTS, x, (size_t)*count * sizeof *x);
    recordingKeep(&latestCall, "y", REGION_VARIANTS, y, (size_t)*count * sizeof *y);
}

ROUTINE_EXPORT float ROUTINE_CALL square(float *x)
{
    const float result = *x * *x;
    recordingStart(&latestCall, "square");
    recordingKeep(&latestCall, "x", REGION_REAL32, x, sizeof *x);
    recordingKeepResult(&latestCall, REGION_REAL32, &result, sizeof result);
    return result;
}

ROUTINE_EXPORT void ROUTINE_CALL transnumber(int16_t *a, int16_t *b)
{
    recordingStart(&latestCall, "transnumber");
    recordingKeep(&latestCall, "a", REGION_INT16, a, sizeof *a);
    recordingKeep(&latestCall, "b", REGION_INT16, b, sizeof *b);
}

ROUTINE_EXPORT void ROUTINE_CALL yArray(int16_t *count, SAFEARRAY **array)
{
    recordingStart(&latestCall, "yArray");
    recordingKeep(&latestCall, "count", REGION_INT16, count, sizeof *count);
    recordingKeepArray(&latestCall, "array", "*array", "(*array)->data", array);
}

ROUTINE_EXPORT void ROUTINE_CALL zArray(VARIANT *array)
{
    recordingStart(&latestCall, "zArray");
    recordingKeep(&latestCall, "array", REGION_VARIANT, array, sizeof *array);
    if (array->kind == (VT_BYREF | VT_ARRAY | VT_VARIANT))
        recordingKeepArray(&latestCall, "array->value.arrayRef", "*array->value.arrayRef",
                           "(*array->value.arrayRef)->data", array->value.arrayRef);
}
