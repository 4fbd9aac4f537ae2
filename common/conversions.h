// Conversions between numbers and text, with the exact rounding and range rules that every
// program of the set shares.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Reads a number from text the way a text box's contents are read: blanks, tabs and line
// feeds are skipped wherever they stand; then an optional sign, digits with at most one "."
// (whatever the locale), and an optional exponent (E, optional sign, digits). Reading stops at
// the first character that does not fit; no digit at all gives 0. Only a number too large
// for a 64-bit real is an error (Overflow).
double numberFromText(std::u16string_view text);

// Rounds to the nearest whole number, ties to the even neighbour: 2.5 gives 2, 3.5 gives 4,
// -2.5 gives -2.
double toNearestEven(double value);

// Rounds to nearest-even and checks the kind's range; outside it, or not a number: Overflow.
int16_t toInt16(double value);
int32_t toInt32(double value);

// Narrows to a 32-bit real (to nearest); a finite value beyond its range raises Overflow.
float toSingle(double value);

// Length of a text in UTF-16 code units.
int32_t textLength(std::u16string_view text);

// A number as it reads when joined to text: "-" before a negative number and no blank before
// any other; whole values without a decimal point; 32-bit reals to 7 significant digits and
// 64-bit reals to 15, trailing zeros dropped; exponent form ("1E+16", "1E-05") for very large
// or very small magnitudes. The decimal point is the user's (from the C locale settings) unless
// one is given.
std::u16string textForJoining(int16_t value);
std::u16string textForJoining(int32_t value);
std::u16string textForJoining(float value, char16_t decimalPoint = 0);
std::u16string textForJoining(double value, char16_t decimalPoint = 0);

// A number as a runtime error's message writes it: as joined to text, with "." for the decimal
// point ("32767.5", "1E+16"), in 8-bit characters.
std::string textForMessage(float value);
std::string textForMessage(double value);

// The explicit number-to-text conversion: as for joining, to 15 significant digits, but the
// decimal point is always ".", a value between -1 and 1 has no 0 before the point, and a
// number that is not negative gets one blank in front: " 9", " .25", "-.25".
std::u16string explicitNumberText(double value);

// The user's decimal point, as the C library's locale settings give it.
char16_t userDecimalPoint();
