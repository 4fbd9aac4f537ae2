/* A recording Ostrum for the teaching pages: each routine keeps what it was given
   (recording.h) and changes nothing; square returns the square of its argument. */
#include "recording.h"
#include "ostrum.h"

ROUTINE_EXPORT void ROUTINE_CALL chara(char *textA, int32_t *lengthA, char *textB, int32_t *lengthB)
{
    Recording *call = recordingOfNewCall();
    recordingStart(call, "chara");
    /* Each text is as long as its length says, and a terminating zero follows it. */
    recordingKeep(call, "textA", REGION_TEXT, textA, (size_t)*lengthA + 1);
    recordingKeep(call, "lengthA", REGION_INT32, lengthA, sizeof *lengthA);
    recordingKeep(call, "textB", REGION_TEXT, textB, (size_t)*lengthB + 1);
    recordingKeep(call, "lengthB", REGION_INT32, lengthB, sizeof *lengthB);
}

ROUTINE_EXPORT void ROUTINE_CALL xArray(int16_t *count, VARIANT *x, VARIANT *y)
{
    Recording *call = recordingOfNewCall();
    recordingStart(call, "xArray");
    recordingKeep(call, "count", REGION_INT16, count, sizeof *count);
    recordingKeep(call, "x", REGION_VARIANTS, x, (size_t)*count * sizeof *x);
    recordingKeep(call, "y", REGION_VARIANTS, y, (size_t)*count * sizeof *y);
}

ROUTINE_EXPORT float ROUTINE_CALL square(float *x)
{
    const float result = *x * *x;
    Recording *call = recordingOfNewCall();
    recordingStart(call, "square");
    recordingKeep(call, "x", REGION_REAL32, x, sizeof *x);
    recordingKeepResult(call, REGION_REAL32, &result, sizeof result);
    return result;
}

ROUTINE_EXPORT void ROUTINE_CALL transnumber(int16_t *a, int16_t *b)
{
    Recording *call = recordingOfNewCall();
    recordingStart(call, "transnumber");
    recordingKeep(call, "a", REGION_INT16, a, sizeof *a);
    recordingKeep(call, "b", REGION_INT16, b, sizeof *b);
}

ROUTINE_EXPORT void ROUTINE_CALL yArray(int16_t *count, SAFEARRAY **array)
{
    Recording *call = recordingOfNewCall();
    recordingStart(call, "yArray");
    recordingKeep(call, "count", REGION_INT16, count, sizeof *count);
    recordingKeepArray(call, "array", "*array", "(*array)->data", array);
}

ROUTINE_EXPORT void ROUTINE_CALL zArray(VARIANT *array)
{
    Recording *call = recordingOfNewCall();
    recordingStart(call, "zArray");
    recordingKeep(call, "array", REGION_VARIANT, array, sizeof *array);
    if (array->kind == (VT_BYREF | VT_ARRAY | VT_VARIANT))
        recordingKeepArray(call, "array->value.arrayRef", "*array->value.arrayRef", "(*array->value.arrayRef)->data",
                           array->value.arrayRef);
}
