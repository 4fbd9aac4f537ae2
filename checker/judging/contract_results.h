// What the contracts fix about a routine's results, checked after the call that its program
// makes: each function calls the routine again with other arguments in fresh guarded storage,
// in the first call only, and names every result a window would show wrong. A second call
// with the program's own arguments that gives another result is a note: the routine keeps
// state, and a second click shows something else.
#pragma once

#include "call.h"

#include <cstdint>

// Pettrix: c holds a + b, for Tolvan's first click (a, b and c as that call left them) and
// for other pairs; a sum outside 16 bits is the routine's own affair, a note.
void checkSums(void* address, Call& call, const int16_t* a, const int16_t* b, int16_t c);

// Morvane: y holds the nearest 32-bit real of x * x, widened, and square.dat ends with the
// call's two records, for each edge case under each rounding direction the caller may set.
// `y` is what Vandrel's first click left.
void checkSquares(void* address, Call& call, double y);

// What a wrong y for x most likely came from: the square at 64-bit precision, or a 32-bit
// real in its first 4 bytes; no cause when it looks like nothing known.
CauseKind causeOfSquare(double x, double y);
