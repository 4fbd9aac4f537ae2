// What Morvane's squares and traces must be, judged from what the calls left: pure functions
// of the values, apart from the calls that made them.
#pragma once

#include "finding.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

// A rounding direction the caller may set (FE_TONEAREST...), and how a finding names it.
struct Rounding {
    int direction;
    const char* words;
};

// Each truncation of the trace must hold whatever direction the caller has set, and the call
// must put the caller's direction back. The square itself is judged with rounding to nearest
// alone: every program calls square with that setting, so y under another one is never shown.
std::span<const Rounding> squareRoundings();

// The n and x of the calls the checker makes, each under each rounding direction.
struct SquareCase {
    double n, x;
};
std::span<const SquareCase> squareCases();

// One call: what it was given, what it left in y, the rounding direction it returned with, and
// the last two lines of square.dat (none when there is no such file).
struct SquareMade {
    SquareCase given;
    Rounding rounding;
    double y = 0;
    int roundingAfter = 0;
    bool traced = false;
    std::vector<std::string> lines;
};

// What the calls of one check left: Vandrel's first click (y and the trace), a second click
// with the same texts (y), and each case under each rounding direction.
struct SquareCalls {
    double y = 0;
    bool traced = false;
    std::vector<std::string> trace;
    double again = 0;
    std::vector<SquareMade> made;
};

// What Vandrel's lblresult and square.dat show after the first click: said as soon as it is
// known, before the calls that may end the process.
std::string squaresShow(double y, bool traced, const std::vector<std::string>& trace);

// What the checker's code sees of a click right after it returns, recorded in the storage the
// checker shares: the rounding direction the routine left, and the last two lines of
// square.dat, each cut to traceLineRoom bytes.
inline constexpr std::size_t traceLineRoom = 240;
struct TraceRecord {
    int32_t roundingAfter;
    uint8_t traced;
    uint8_t lineCount;
    uint16_t lengths[2];
    char lines[2][traceLineRoom];
};

TraceRecord traceRecordOf(int roundingAfter, bool traced, const std::vector<std::string>& lines);

// The lines a record holds.
std::vector<std::string> linesOf(const TraceRecord& record);

// y holds the nearest 32-bit real of x * x, widened, and square.dat ends with the call's two
// records, for each case under each rounding direction; the caller's direction is put back;
// a second click that shows something else is a note.
std::vector<Finding> judgeSquares(const SquareCalls& calls);

// Its two halves: what y holds after each call (and after the second click), which the checker
// reads itself; and the trace and the rounding direction after each call, which only the
// routine's process sees.
std::vector<Finding> judgeSquareValues(const SquareCalls& calls);
std::vector<Finding> judgeTraces(const SquareCalls& calls);
