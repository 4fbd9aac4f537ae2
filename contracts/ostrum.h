/*
 * ostrum.h: the routines of the routine library Ostrum, as the console calls them.
 *
 * Every argument is an address; the console owns all storage. A text goes as the address of
 * the first byte of a zero-terminated 8-bit copy, an array by reference as the address of
 * the variable that holds the address of its descriptor (one dimension, index 1 to 10,
 * Variant elements). A library that implements these routines, in C against routine_abi.h,
 * serves the console.
 */
#ifndef OSTRUM_H
#define OSTRUM_H

#include "routine_abi.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Text A (20 characters) with its length, text B (20 characters) with its length. The
   routine may rewrite text B in place, its length unchanged. */
ROUTINE_EXPORT void ROUTINE_CALL chara(char *textA, int32_t *lengthA, char *textB, int32_t *lengthB);

/* The count, and the first Variant element of each of two arrays: `count` elements of x
   lie from `x` on, and as many of y from `y` on. */
ROUTINE_EXPORT void ROUTINE_CALL xArray(int16_t *count, VARIANT *x, VARIANT *y);

/* A 32-bit real; the result is a 32-bit real. */
ROUTINE_EXPORT float ROUTINE_CALL square(float *x);

/* Two 16-bit integers. */
ROUTINE_EXPORT void ROUTINE_CALL transnumber(int16_t *a, int16_t *b);

/* The element count, and the array by reference (elements: Variants that hold 16-bit
   integers). */
ROUTINE_EXPORT void ROUTINE_CALL yArray(int16_t *count, SAFEARRAY **array);

/* A Variant tagged VT_BYREF | VT_ARRAY | VT_VARIANT (0x600C) whose value is the array by
   reference (elements: Variants that hold 16-bit integers). */
ROUTINE_EXPORT void ROUTINE_CALL zArray(VARIANT *array);

#ifdef __cplusplus
}
#endif

#endif /* OSTRUM_H */
