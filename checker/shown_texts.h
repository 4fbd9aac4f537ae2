// What each program shows from a routine's results, written with the programs' own
// conversions, so that a finding can say what the window will read.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// A text of the programs in 8-bit characters (UTF-8), as the checker prints it.
std::string utf8(std::u16string_view text);

// Tolvan's second message box: c as decimal text ("30").
std::string tolvanShows(int16_t c);

// Vandrel's lblresult: y by the explicit number-to-text conversion (" 9", " 1.21000003814697").
std::string vandrelShows(double y);

// Korvik's Label1 after test 3: "xx = 5, xx^2 = 25".
std::string korvikSquareShows(float x, float result);

// Korvik's Label2 after test 5: "15  0".
std::string korvikTransnumberShows(int16_t a, int16_t b);

// The records of square.dat that a call of Morvane's square leaves: the whole part of n,
// and "x = " and "   y = " each followed by a whole part in a field of width 5.
std::string traceRecord1(double n);
std::string traceRecord2(double x, double y);

// A 64-bit real in the fewest digits that read back as the same value ("1.2100000000000002").
std::string shortestText(double value);
