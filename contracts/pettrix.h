/*
 * pettrix.h: the routine of the routine library Pettrix, as Tolvan calls it.
 *
 * Every argument is the address of a 16-bit integer that the caller owns. A library that
 * implements this routine, in C against routine_abi.h, serves Tolvan.
 */
#ifndef PETTRIX_H
#define PETTRIX_H

#include "routine_abi.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Reads a and b and stores their sum into c, which holds 0 on entry. a and b are read only;
   nothing is returned. What c receives for a sum outside -32768 to 32767 is the library's
   own affair: the caller shows whatever c holds. */
ROUTINE_EXPORT void ROUTINE_CALL sumdll(int16_t *a, int16_t *b, int16_t *c);

#ifdef __cplusplus
}
#endif

#endif /* PETTRIX_H */
