// What each program shows from a routine's results, made by the programs' own display functions
// (window_texts.h) and Morvane's own trace records (trace_records.h), so that a finding can say
// what the window will read.
#pragma once

#include "routine_abi.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A text of the programs in 8-bit characters (UTF-8), as the checker prints it.
std::string utf8(std::u16string_view text);

// Tolvan's first message box ("a+b=") and its second: c as decimal text ("30").
std::string tolvanHeading();
std::string tolvanShows(int16_t c);

// Vandrel's lblresult: y by the explicit number-to-text conversion (" 9", " 1.21000003814697").
std::string vandrelShows(double y);

// Korvik's Label1 after test 3: "xx = 5, xx^2 = 25".
std::string korvikSquareShows(float x, float result);
// The same caption up to the result: "xx = 5, xx^2 = ".
std::string korvikSquareShowsBeforeResult(float x);

// Korvik's Label2 after test 5: "15  0".
std::string korvikTransnumberShows(int16_t a, int16_t b);
// One number of it, as Korvik joins it to text: "15".
std::string korvikNumberShows(int16_t number);

// Korvik's Label3 after test 6 ("OKey") and Label4 after test 7 ("O-Key").
std::string korvikYArrayShows();
std::string korvikZArrayShows();

// A line of Korvik's first listing in Text1, for the element x(i) = i: "x(i) = 1".
std::string korvikFirstListingLine(int16_t element);

// The records of square.dat that a call of Morvane's square leaves: the whole part of n
// without the leading blanks, which are free, and "x = " and "   y = " each followed by a
// whole part in a field of width 5.
std::string traceRecord1(double n);
std::string traceRecord2(double x, double y);

// A 64-bit real in the fewest digits that read back as the same value ("1.2100000000000002").
std::string shortestText(double value);

// Korvik's lblindex2 after test 1: the 20 bytes of text B turned back into text, as the
// program turns its copy back.
std::string korvikCharaShows(const char* textB);

// Korvik's Text1 after test 2: the second listing, built from the count and the elements as
// xArray left them, or the runtime error that ends the program instead ("Subscript out of
// range"). Empty when an element holds a kind that only the program may make.
struct ListingShown {
    std::vector<std::string> lines; // each without its CR LF
    std::string error;              // the runtime error's words, when the listing ends in one
};
std::optional<ListingShown> korvikListingShows(int16_t count, const VARIANT* x, const VARIANT* y);

// A text of a window or of a file as a finding quotes it: in double quotes, with the control
// characters a routine may have put there escaped ("\x1b"), so that none reaches the terminal.
std::string quoted(const std::string& text);

// An element of Korvik's arrays as its listing joins it to text ("100"); nothing for a kind
// only the program may make.
std::optional<std::string> korvikElementShows(const VARIANT& element);

// A multi-line text as a finding quotes it: each line quoted, separated by commas.
std::string quotedLines(const std::vector<std::string>& lines);
