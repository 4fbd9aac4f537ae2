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

// Tolvan's binding of the routine. An installed copy of this header has no
// routine_binding.h beside it and only declares the routine.
#if __has_include("routine_binding.h")
#include "routine_binding.h"

// Tolvan binds sumdll by its exported name in the library "Pettrix.dll" at the first click.
namespace Pettrix {
inline Routine<decltype(::sumdll)> sumdll{"Pettrix.dll", "sumdll"};
} // namespace Pettrix
#endif
#endif

#endif /* PETTRIX_H */
