/* A sound Ostrum whose start-up code and every routine print, on standard output and on
   standard error, chara a sequence that would clear the terminal, which it also leaves in
   text B for Korvik to show. */
#include "ostrum.h"
#include <stdio.h>
#include <string.h>

__attribute__((constructor)) static void startUp(void)
{
    printf("Ostrum is loaded\n");
}

ROUTINE_EXPORT void ROUTINE_CALL chara(char *textA, int32_t *lengthA, char *textB, int32_t *lengthB)
{
    (void)textA, (void)lengthA, (void)lengthB;
    fprintf(stderr, "chara \x1b[2J\r\n");
    memcpy(textB, "\x1b[2J clear\r         ", 20);
}

ROUTINE_EXPORT void ROUTINE_CALL xArray(int16_t *count, VARIANT *x, VARIANT *y)
{
    (void)count, (void)x, (void)y;
    printf("xArray\n");
}

ROUTINE_EXPORT float ROUTINE_CALL square(float *x)
{
    printf("square of %g", *x); /* no line end: the next line of the report is its own */
    return *x * *x;
}

ROUTINE_EXPORT void ROUTINE_CALL transnumber(int16_t *a, int16_t *b)
{
    (void)a, (void)b;
    fprintf(stderr, "transnumber\n");
}

ROUTINE_EXPORT void ROUTINE_CALL yArray(int16_t *count, SAFEARRAY **array)
{
    (void)count, (void)array;
    printf("yArray\n");
}

ROUTINE_EXPORT void ROUTINE_CALL zArray(VARIANT *array)
{
    (void)array;
    printf("zArray\n");
}
