// Arithmetic with the range checks of the value kinds: 16-bit integers, the power operator, and
// a 32-bit real scaled in double precision. A result that does not fit raises a runtime error.
#pragma once

#include <cstdint>

// 16-bit integer arithmetic; a result outside -32768 to 32767 raises Overflow.
int16_t add16(int16_t a, int16_t b);
int16_t subtract16(int16_t a, int16_t b);
int16_t multiply16(int16_t a, int16_t b);

// The power operator: always a 64-bit real. A result that is not a number raises an invalid
// floating-point operation, an infinite one from finite operands Division by zero (zero to a
// negative power) or Floating-point overflow.
double power(double base, double exponent);

// value × multiplier / divisor, multiplied and divided in double precision and rounded once to
// a 32-bit real. An invalid operation, a division by zero or an overflow (the rounding to 32
// bits included) that the computation signals raises the matching floating-point error.
float scaledSingle(float value, int multiplier, int divisor);
